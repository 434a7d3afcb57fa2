// Putting remotes read from foreign remote files into codebases: one codebase per remote,
// named after it by the catalogue's rules, in the category given or guessed, every button
// under its own name and well-known key names also under the on-screen button they stand
// for. A codebase appears whole or not at all: it is built beside the codebase folders and
// moved into place when complete, and an existing codebase is replaced only when the caller
// says so.
#pragma once

#include <QString>
#include <functional>
#include <vector>

#include "model/CategoryGuess.h"
#include "model/KeyNames.h"
#include "store/Catalogue.h"
#include "store/formats/ImportedRemote.h"

class HandheldFs;

// The longest button name a codebase record is given; longer names are cut.
constexpr int kMaxImportedButtonName = 15;

struct ImportOptions {
    int category = kCategoryUnknown;  // a device category, or Unknown to guess one
    QString deviceName;               // empty: from the remote's name, else the file's
    // Asked for every codebase whose name is taken, with its display name and path; true
    // replaces it. Without it nothing is replaced.
    std::function<bool(const QString& displayName, const QString& path)> replace;
};

enum ImportError : int {
    kImportOk = 0,
    kImportUnreadable,  // the file could not be read (its error says why)
    kImportNothing,     // no button of the file can be stored
    kImportBadName,     // the device name given breaks the naming rules
    kImportNameTaken,   // a codebase of that name exists and is not to be replaced
    kImportNotWritten,  // the device root refused a file; nothing is left half-made
};

struct ImportedCodebase {
    QString path;         // handheld path
    QString displayName;  // "TV_Sony"
    int category = kCategoryUnknown;
    int buttons = 0;  // buttons of the file stored
    int aliases = 0;  // of them, also stored under the on-screen button they stand for
};

struct SkippedButton {
    QString remote;
    QString button;
    int line = 0;
    QString reason;
};

struct ImportReport {
    ImportError result = kImportOk;
    QString error;  // the message when result is not kImportOk
    std::vector<ImportedCodebase> codebases;
    std::vector<SkippedButton> skipped;
    std::vector<QString> notes;  // what the reader noted about the file as a whole
};

// Stores the remotes of `read` (from `fileName`, which names remotes that name themselves
// nowhere) as codebases in the default codebase folder. Nothing is written unless every
// remote can be; on any failure the device root is as it was, but for codebases that the
// caller agreed to replace and that were replaced before the failure.
ImportReport ImportRemotes(HandheldFs& fs, const HandheldFolders& folders, const ImportResult& read,
                           const QString& fileName, const ImportOptions& options);

// The category an import gives a remote of the file at `fileName` when none is chosen: the
// category its codebase-like name says ("TV_Sony"), else the guess from every hint of the
// file (its folders, comments, names, brand and buttons).
int ImportCategoryOf(const ImportedRemote& remote, const QString& fileName);

// A device name for a remote's name that the naming rules accept in `category`: characters
// that no name may hold become "-", and the name is cut to fit. "Imported" for a name that
// leaves nothing.
QString DeviceNameFor(const QString& remoteName, int category);

// A category by its full name or abbreviation ("Cab/Sat", "CAB"), letter case ignored;
// Unknown for another text.
int CategoryByName(const QString& name);
