// The catalogue of codebases. Nothing indexes the codebases: they are found by scanning a
// fixed list of folders for ".PDB" files that are codebases. A codebase's category and device
// name live only in its header name ("TV_Living room"), which its file name repeats
// ("TV_Living room.PDB"). This unit knows the folders, reads header names, scans and sorts,
// checks names typed for new codebases, and performs what the Home Devices dialog asks for:
// new codebase, relearn, rename and delete.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "platform/HandheldFs.h"
#include "store/FormTables.h"

// The folders that the program works in, all ending in a backslash.
struct HandheldFolders {
    QString programFolder;   // where the program file lies
    QString programName;     // the program file's name without ".exe"
    bool startMenu = false;  // the program lies in "\Windows\Start menu\"
    // Below it lie the preference files and the skin and sound folders: the program folder,
    // or "\My Documents\" when the program runs from the start menu.
    QString baseFolder;
    QString defaultCodebaseFolder;       // where new codebases are created
    std::vector<QString> searchFolders;  // scanned for codebases, in this order
};

HandheldFolders FoldersFor(const QString& programPath);

// The paths that the twelve forms' codebase slots name; empty for a form without a hot
// codebase. Both forms of a category always name the same path.
using HotSlots = std::array<QString, kFormCount>;

// Sets (or with an empty path, empties) the slots of both forms of `category`.
void SetHotCodebase(HotSlots& hotSlots, int category, const QString& path);

// What a header name says: "tv_Sony" is category TV with the device name "Sony"; text
// before the first "_" that is no abbreviation gives Unknown. False when there is no "_".
bool ParseHeaderName(const QString& headerName, int& category, QString& deviceName);

// The header name of a codebase, "TV_Sony", and its file name, "TV_Sony.PDB".
QString DisplayName(int category, const QString& deviceName);
QString CodebaseFileName(int category, const QString& deviceName);

struct CodebaseEntry {
    int category = kCategoryUnknown;
    QString deviceName;
    QString path;
    int position = -1;  // row in the list shown, -1 when the list's filter hides it
    uint8_t mark = 0;   // hot (Home Devices) or chosen (selector)
};

constexpr int kMaxCatalogueEntries = 500;

// Rebuilds `entries` from the search folders, sorted by category and then by device name
// (ordinal, so capitals come first). With `hot`, an entry is marked when the first form of
// its category names exactly its path. Files that do not open, are not codebases or have no
// "_" in their header name are left out.
void ScanCodebases(HandheldFs& fs, const HandheldFolders& folders,
                   std::vector<CodebaseEntry>& entries, const HotSlots* hot = nullptr);

// Orders entries by category, then device name. Entries that compare equal keep the order
// that the scan's exchange sort gives them.
void SortCodebases(std::vector<CodebaseEntry>& entries);

// Naming rules for a device name typed for a new codebase or a rename.
constexpr int kMaxDeviceNameLength = 30;  // what the name field takes
// A header holds 31 characters, but "\" + display name + ".PDB" must stay within the 35
// characters that the record-database layer creates, so display names stop at 30.
constexpr int kMaxDisplayNameLength = 30;
// While no category is chosen a typed name stops here, which leaves room for the longest
// abbreviation and its "_".
constexpr int kMaxDeviceNameWithoutCategory = 25;

// The characters that a device name may not hold, in the order in which they are looked for.
constexpr char kIllegalNameCharacters[] = "*\\/?><:\"|";

// The two character checks made on a typed name (of a codebase or a preference set) after
// every edit: the name is cut before the earliest reserved character, wherever it stands in
// the list (cutting at a later one could leave a path separator in the name), and then
// before the first character outside 0x20..0x7F. `refused` holds the characters that caused
// a cut, in that order, each to be reported.
struct NameCorrection {
    QString name;
    QString refused;
};
NameCorrection CutIllegalCharacters(const QString& typed);

// The correction of a codebase name after every edit in the codebase dialog. With
// `cutLength` the name is first cut back silently so that its display name stays within
// kMaxDisplayNameLength (kMaxDeviceNameWithoutCategory characters while `category` is no
// device category); then the character checks run, after a cut as well, so that a long
// pasted name cannot bring a path separator with it.
NameCorrection CorrectTypedCodebaseName(const QString& typed, int category, bool cutLength);

enum CodebaseNameCheck : int {
    kNameOk = 0,
    kNameNoCategory,        // "You must select a category."
    kNameEmpty,             // "You must type a codebase name."
    kNameIllegalCharacter,  // "Illegal character " + the character
    kNameTooLong,           // "Maximal codebase name length is exceeded."
    kNameExists,            // "A codebase with the name you specified already exists. ..."
};

// What a name is checked for. A new codebase needs a device category; a renamed one keeps
// the category it has, which may be Unknown (a file whose name carries no known category).
enum class CodebaseNameUse { New, Rename };

// The check made when a new name is confirmed: a device category (or Unknown for a rename),
// a name that is not only blanks, only allowed characters, a display name of at most 30
// characters, and no file of that name in `folder`. `illegal` receives the refused character.
CodebaseNameCheck CheckCodebaseName(HandheldFs& fs, const QString& folder, int category,
                                    const QString& name, QChar* illegal = nullptr,
                                    CodebaseNameUse use = CodebaseNameUse::New);

// The same check, with every rule that the name breaks in the order in which the user is
// told: a missing category, a blank name or a refused character ends the check (only one
// of them is listed); a name too long and a name already taken are both listed. Empty
// when the name is fine. Without a file system no name counts as taken.
std::vector<CodebaseNameCheck> CodebaseNameProblems(HandheldFs* fs, const QString& folder,
                                                    int category, const QString& name,
                                                    QChar* illegal = nullptr,
                                                    CodebaseNameUse use = CodebaseNameUse::New);

// New codebase: both forms of the category name the new path at once; the file itself is
// created when the first button is learnt. Returns the path.
QString StartNewCodebase(HotSlots& hotSlots, const HandheldFolders& folders, int category,
                         const QString& deviceName);

enum CatalogueResult : int {
    kCatalogueOk = 0,
    kCatalogueNoEntry = 1,       // the index names no entry
    kCatalogueCannotOpen = 2,    // rename: "Cannot rename codebase '<path>'."; delete: silent
    kCatalogueRenameFailed = 3,  // the file could not be moved to its new name
    kCatalogueCannotRemove = 4,  // "File <path> cannot be removed"
};

// Renames entry `index` to `newName`, keeping its category. When it was the hot codebase of
// its category, both forms follow it to the new path. On success the catalogue is scanned
// again (with hot marks).
int RenameCodebase(HandheldFs& fs, const HandheldFolders& folders,
                   std::vector<CodebaseEntry>& entries, int index, const QString& newName,
                   HotSlots& hotSlots);

// Deletes entry `index`'s file and removes the entry. A hot codebase that is deleted leaves
// its category without one. Nothing changes when the file cannot be removed.
int DeleteCodebase(HandheldFs& fs, std::vector<CodebaseEntry>& entries, int index,
                   HotSlots& hotSlots);
