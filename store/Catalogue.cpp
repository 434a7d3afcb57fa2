#include "store/Catalogue.h"

#include "store/CCodebaseFile.h"

namespace {

const QString kStartMenuFolder = QStringLiteral("\\Windows\\Start menu\\");
const QString kMyDocuments = QStringLiteral("\\My Documents\\");
const QString kCodebaseSubfolder = QStringLiteral("CodeBases\\");
const QString kPdbExtension = QStringLiteral(".PDB");

QString Abbreviation(int category) {
    return QString::fromLatin1(CategoryAbbreviation(category));
}

// Handheld paths go to the file system as UTF-8.
std::string FsPath(const QString& path) {
    return path.toStdString();
}

// Two passes of an exchange sort over all pairs i < j: first by category, then by device
// name within a category. For 500 entries this is far below the cost of opening the files.
template <typename Greater>
void ExchangeSort(std::vector<CodebaseEntry>& entries, Greater greater) {
    for (size_t i = 0; i < entries.size(); ++i) {
        for (size_t j = i + 1; j < entries.size(); ++j) {
            if (greater(entries[i], entries[j])) {
                std::swap(entries[i], entries[j]);
            }
        }
    }
}

// The earliest reserved character of the name, or -1.
qsizetype IndexOfReserved(const QString& name) {
    qsizetype cut = -1;
    for (const char* c = kIllegalNameCharacters; *c; ++c) {
        const qsizetype at = name.indexOf(QLatin1Char(*c));
        if (at >= 0 && (cut < 0 || at < cut)) {
            cut = at;
        }
    }
    return cut;
}

// The first character outside 0x20..0x7F, or -1.
qsizetype IndexOfOutside(const QString& name) {
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name[i].unicode() < 0x20 || name[i].unicode() > 0x7F) {
            return i;
        }
    }
    return -1;
}

}  // namespace

HandheldFolders FoldersFor(const QString& programPath) {
    HandheldFolders folders;
    const int slash = programPath.lastIndexOf(QLatin1Char('\\'));
    folders.programFolder = programPath.left(slash + 1);
    folders.programName = programPath.mid(slash + 1);
    if (folders.programName.endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive)) {
        folders.programName.chop(4);
    }
    if (folders.programFolder.isEmpty()) {
        folders.programFolder = QStringLiteral("\\");
    }
    folders.startMenu = folders.programFolder.compare(kStartMenuFolder, Qt::CaseInsensitive) == 0;
    folders.baseFolder = folders.startMenu ? kMyDocuments : folders.programFolder;
    folders.defaultCodebaseFolder =
        folders.startMenu ? kMyDocuments : folders.programFolder + kCodebaseSubfolder;
    folders.searchFolders = {kMyDocuments, QStringLiteral("\\")};
    if (!folders.startMenu) {
        folders.searchFolders.push_back(folders.programFolder + kCodebaseSubfolder);
    }
    return folders;
}

void SetHotCodebase(HotSlots& hotSlots, int category, const QString& path) {
    if (!IsDeviceCategory(category)) {
        return;
    }
    hotSlots[FirstFormOf(category)] = path;
    hotSlots[SecondFormOf(category)] = path;
}

bool ParseHeaderName(const QString& headerName, int& category, QString& deviceName) {
    const int underscore = headerName.indexOf(QLatin1Char('_'));
    if (underscore < 0) {
        return false;
    }
    const QString prefix = headerName.left(underscore);
    category = kCategoryUnknown;
    for (int c = kCategoryTv; c < kCategoryCount; ++c) {
        if (prefix.compare(Abbreviation(c), Qt::CaseInsensitive) == 0) {
            category = c;
            break;
        }
    }
    deviceName = headerName.mid(underscore + 1);
    return true;
}

QString DisplayName(int category, const QString& deviceName) {
    return Abbreviation(category) + QLatin1Char('_') + deviceName;
}

QString CodebaseFileName(int category, const QString& deviceName) {
    return DisplayName(category, deviceName) + kPdbExtension;
}

void ScanCodebases(HandheldFs& fs, const HandheldFolders& folders,
                   std::vector<CodebaseEntry>& entries, const HotSlots* hot) {
    entries.clear();
    for (const QString& folder : folders.searchFolders) {
        // Only the headers are read, all of a folder's in one go.
        for (const HandheldFs::FileHead& head :
             fs.ReadFileHeads(FsPath(folder), "*.PDB", CPdbFile::kHeaderSize)) {
            if (entries.size() >= size_t(kMaxCatalogueEntries)) {
                return SortCodebases(entries);
            }
            const QString name = QString::fromStdString(head.name);
            // A host file whose name holds a backslash would stand for another path.
            if (name.contains(QLatin1Char('\\')) || !head.readable) {
                continue;
            }
            CodebaseEntry entry;
            entry.path = folder + name;
            const CPdbFile::HeaderFields header = CPdbFile::ParseHeader(head.bytes, head.length);
            if (!CCodebaseFile::IsCodebaseHeader(header) ||
                !ParseHeaderName(header.name, entry.category, entry.deviceName)) {
                continue;
            }
            if (hot && IsDeviceCategory(entry.category) &&
                (*hot)[FirstFormOf(entry.category)] == entry.path) {
                entry.mark = 1;
            }
            entries.push_back(std::move(entry));
        }
    }
    SortCodebases(entries);
}

void SortCodebases(std::vector<CodebaseEntry>& entries) {
    ExchangeSort(entries, [](const CodebaseEntry& a, const CodebaseEntry& b) {
        return a.category > b.category;
    });
    ExchangeSort(entries, [](const CodebaseEntry& a, const CodebaseEntry& b) {
        return a.category == b.category && a.deviceName > b.deviceName;
    });
}

NameCorrection CutIllegalCharacters(const QString& typed) {
    NameCorrection result{typed, QString()};
    for (auto find : {IndexOfReserved, IndexOfOutside}) {
        const qsizetype at = find(result.name);
        if (at >= 0) {
            result.refused.push_back(result.name.at(at));
            result.name.truncate(at);
        }
    }
    return result;
}

NameCorrection CorrectTypedCodebaseName(const QString& typed, int category, bool cutLength) {
    QString name = typed;
    if (cutLength) {
        const qsizetype keep = IsDeviceCategory(category)
                                   ? kMaxDisplayNameLength - DisplayName(category, {}).size()
                                   : kMaxDeviceNameWithoutCategory;
        if (name.size() > keep) {
            name.truncate(keep);
        }
    }
    return CutIllegalCharacters(name);
}

std::vector<CodebaseNameCheck> CodebaseNameProblems(HandheldFs* fs, const QString& folder,
                                                    int category, const QString& name,
                                                    QChar* illegal, CodebaseNameUse use) {
    const bool keepsUnknown = use == CodebaseNameUse::Rename && category == kCategoryUnknown;
    if (!IsDeviceCategory(category) && !keepsUnknown) {
        return {kNameNoCategory};
    }
    if (name.simplified().isEmpty()) {
        return {kNameEmpty};
    }
    const NameCorrection cut = CutIllegalCharacters(name);
    if (!cut.refused.isEmpty()) {
        if (illegal) {
            *illegal = cut.refused.front();
        }
        return {kNameIllegalCharacter};
    }
    std::vector<CodebaseNameCheck> problems;
    if (name.size() > kMaxDeviceNameLength ||
        DisplayName(category, name).size() > kMaxDisplayNameLength) {
        problems.push_back(kNameTooLong);
    }
    if (fs && fs->FileExists(FsPath(folder + CodebaseFileName(category, name)))) {
        problems.push_back(kNameExists);
    }
    return problems;
}

CodebaseNameCheck CheckCodebaseName(HandheldFs& fs, const QString& folder, int category,
                                    const QString& name, QChar* illegal, CodebaseNameUse use) {
    const std::vector<CodebaseNameCheck> problems =
        CodebaseNameProblems(&fs, folder, category, name, illegal, use);
    return problems.empty() ? kNameOk : problems.front();
}

QString StartNewCodebase(HotSlots& hotSlots, const HandheldFolders& folders, int category,
                         const QString& deviceName) {
    const QString path = folders.defaultCodebaseFolder + CodebaseFileName(category, deviceName);
    SetHotCodebase(hotSlots, category, path);
    return path;
}

int RenameCodebase(HandheldFs& fs, const HandheldFolders& folders,
                   std::vector<CodebaseEntry>& entries, int index, const QString& newName,
                   HotSlots& hotSlots) {
    if (index < 0 || size_t(index) >= entries.size()) {
        return kCatalogueNoEntry;
    }
    const CodebaseEntry entry = entries[size_t(index)];
    CPdbFile file(&fs);
    if (file.Open(entry.path, CPdbFile::kModeReadWrite) != kPdbOk) {
        return kCatalogueCannotOpen;
    }
    const int renamed = file.Rename(DisplayName(entry.category, newName));
    const QString newPath = file.GetPath();
    file.Close();
    if (renamed != kPdbOk) {
        return kCatalogueRenameFailed;
    }
    // A hot codebase stays hot under its new name.
    if (IsDeviceCategory(entry.category)) {
        for (int form : {FirstFormOf(entry.category), SecondFormOf(entry.category)}) {
            if (hotSlots[form] == entry.path) {
                hotSlots[form] = newPath;
            }
        }
    }
    ScanCodebases(fs, folders, entries, &hotSlots);
    return kCatalogueOk;
}

int DeleteCodebase(HandheldFs& fs, std::vector<CodebaseEntry>& entries, int index,
                   HotSlots& hotSlots) {
    if (index < 0 || size_t(index) >= entries.size()) {
        return kCatalogueNoEntry;
    }
    const CodebaseEntry& entry = entries[size_t(index)];
    if (!fs.FileExists(FsPath(entry.path))) {
        return kCatalogueCannotOpen;
    }
    if (fs.Remove(FsPath(entry.path)) != FsError::None) {
        return kCatalogueCannotRemove;
    }
    if (IsDeviceCategory(entry.category)) {
        for (int form : {FirstFormOf(entry.category), SecondFormOf(entry.category)}) {
            if (hotSlots[form] == entry.path) {
                hotSlots[form].clear();
            }
        }
    }
    entries.erase(entries.begin() + index);
    return kCatalogueOk;
}
