#include "model/Importer.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <map>
#include <memory>
#include <set>

#include "ir/protocols/IrProtocol.h"
#include "model/ButtonStore.h"
#include "model/KeyNames.h"
#include "model/MemoryFs.h"
#include "platform/HandheldFs.h"
#include "store/formats/TextLines.h"

namespace {

QString Cut(const QString& name) {
    return name.left(kMaxImportedButtonName);
}

// One remote as it will be stored.
struct Plan {
    const ImportedRemote* remote = nullptr;
    QString remoteName;
    int category = kCategoryUnknown;
    QString deviceName;
    QString target;     // where the codebase goes
    QString temporary;  // where it is built
    bool replacing = false;
    bool built = false;
    bool moved = false;
    ImportedCodebase made;
};

QString Lower(const QString& text) {
    return text.toLower();
}

// Makes the folders on the way to `folder` ("\A\B\"); those that exist stay as they are.
void MakeFolders(HandheldFs& fs, const QString& folder) {
    const QStringList parts = folder.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    QString path;
    for (const QString& part : parts) {
        path += QLatin1Char('\\') + part;
        fs.CreateFolder(path.toStdString());
    }
}

// The codebases are built in the program folder, which is never searched for codebases
// (unless the program lies in the root, where they go into a folder of their own).
QString WorkFolder(const HandheldFolders& folders) {
    const auto& search = folders.searchFolders;
    if (std::find(search.begin(), search.end(), folders.programFolder) == search.end()) {
        return folders.programFolder;
    }
    return folders.defaultCodebaseFolder + QStringLiteral("Import\\");
}

StoreResult StoreButton(HandheldFs& fs, const QString& path, const QString& name,
                        const ImportedButton& button) {
    if (button.irSignals.size() >= 2) {
        StoreResult result =
            StoreButtonSignal(fs, path, name, button.irSignals[0], 1, LearnMode::Double);
        if (result == kStoreOk) {
            result = StoreButtonSignal(fs, path, name, button.irSignals[1], 2, LearnMode::Double);
        }
        return result;
    }
    // A button of a toggle protocol alternates its toggle bit, as a learnt one does.
    return StoreWholeButton(fs, path, name, button.irSignals.front());
}

// Builds the codebase of `plan` in memory and writes it to its temporary file.
bool Build(HandheldFs& device, Plan& plan, std::vector<SkippedButton>& skipped) {
    CMemoryFs fs(device);
    bool created = false;
    if (EnsureCodebase(fs, plan.temporary, created) != kStoreOk) {
        return false;
    }
    std::set<QString> own;
    for (const ImportedButton& button : plan.remote->buttons) {
        if (!button.irSignals.empty()) {
            own.insert(Cut(button.name));
        }
    }
    std::set<QString> stored;
    for (const ImportedButton& button : plan.remote->buttons) {
        if (button.irSignals.empty()) {
            continue;
        }
        const QString name = Cut(button.name);
        if (name.trimmed().isEmpty()) {
            skipped.push_back(
                {plan.remoteName, button.name, button.line, QStringLiteral("no name")});
            continue;
        }
        if (!stored.insert(name).second) {
            skipped.push_back({plan.remoteName, button.name, button.line,
                               QStringLiteral("an earlier button has the name '%1'").arg(name)});
            continue;
        }
        if (StoreButton(fs, plan.temporary, name, button) != kStoreOk) {
            return false;
        }
        ++plan.made.buttons;
        const QString alias = OnScreenButtonFor(button.name, plan.category);
        if (alias.isEmpty() || own.count(alias) > 0 || !stored.insert(alias).second) {
            continue;
        }
        if (StoreButton(fs, plan.temporary, alias, button) != kStoreOk) {
            return false;
        }
        ++plan.made.aliases;
    }
    const std::vector<uint8_t>* content = fs.Content(plan.temporary);
    plan.built = true;  // from here on the device may hold some of the temporary file
    return content && WriteWhole(device, plan.temporary, *content);
}

void Undo(HandheldFs& fs, std::vector<Plan>& plans) {
    for (Plan& plan : plans) {
        if (plan.built && !plan.moved) {
            fs.Remove(plan.temporary.toStdString());
        }
        if (plan.moved && !plan.replacing) {
            fs.Remove(plan.target.toStdString());
        }
    }
}

// Why the device name given for the import breaks the naming rules; empty if it does not.
QString DeviceNameProblem(const HandheldFolders& folders, const ImportOptions& options) {
    if (options.deviceName.isEmpty()) {
        return {};
    }
    // Without a category the name must fit the longest abbreviation the guess may give.
    const int category = IsDeviceCategory(options.category) ? options.category : kCategoryCabSat;
    QChar illegal;
    const std::vector<CodebaseNameCheck> problems = CodebaseNameProblems(
        nullptr, folders.defaultCodebaseFolder, category, options.deviceName, &illegal);
    if (problems.empty()) {
        return {};
    }
    return problems.front() == kNameIllegalCharacter
               ? QStringLiteral(
                     "The name '%1' holds the character '%2', which no codebase name "
                     "may hold.")
                     .arg(options.deviceName, illegal)
               : QStringLiteral(
                     "The name '%1' is not a codebase name: at most %2 characters "
                     "with the category's abbreviation, not only blanks.")
                     .arg(options.deviceName)
                     .arg(kMaxDisplayNameLength);
}

// The buttons of a remote that the reader left out; false when none of its buttons is left.
bool NoteSkipped(const ImportedRemote& remote, const QString& remoteName,
                 std::vector<SkippedButton>& skipped) {
    bool any = false;
    for (const ImportedButton& button : remote.buttons) {
        if (button.irSignals.empty()) {
            skipped.push_back(
                {remoteName, button.name, button.line,
                 button.skipped.isEmpty() ? QStringLiteral("no signal") : button.skipped});
        } else {
            any = true;
        }
    }
    if (!any) {
        skipped.push_back({remoteName, QString(), remote.line,
                           QStringLiteral("no button that can be stored; no codebase made")});
    }
    return any;
}

// The device name of `plan`, numbered apart from the codebases planned before it.
void NameApart(Plan& plan, const QString& base, const std::set<QString>& planned) {
    plan.deviceName = base;
    for (int n = 2; planned.count(Lower(DisplayName(plan.category, plan.deviceName))) > 0; ++n) {
        const QString suffix = QStringLiteral(" %1").arg(n);
        plan.deviceName =
            DeviceNameFor(base, plan.category)
                .left(kMaxDisplayNameLength - int(qstrlen(CategoryAbbreviation(plan.category))) -
                      1 - int(suffix.size())) +
            suffix;
    }
}

// Where the codebase of `plan` goes, and whether it replaces one there.
void PlaceCodebase(HandheldFs& fs, const HandheldFolders& folders,
                   const std::vector<CodebaseEntry>& existing, Plan& plan) {
    plan.target = folders.defaultCodebaseFolder + CodebaseFileName(plan.category, plan.deviceName);
    for (const CodebaseEntry& entry : existing) {
        if (entry.category == plan.category &&
            entry.deviceName.compare(plan.deviceName, Qt::CaseInsensitive) == 0) {
            plan.target = entry.path;
            plan.replacing = true;
        }
    }
    if (!plan.replacing && fs.FileExists(plan.target.toStdString())) {
        plan.replacing = true;
    }
    plan.temporary = WorkFolder(folders) + CodebaseFileName(plan.category, plan.deviceName);
}

// A remote named like a codebase ("TV_Sony", as exports name them) says its category and
// device name; Unknown and the name as it is otherwise.
int CategoryInName(QString& name) {
    int named = kCategoryUnknown;
    QString device;
    if (ParseHeaderName(name, named, device) && IsDeviceCategory(named) && !device.isEmpty()) {
        name = device;
        return named;
    }
    return kCategoryUnknown;
}

ImportReport Failed(ImportError result, const QString& error) {
    ImportReport report;
    report.result = result;
    report.error = error;
    return report;
}

// Builds every planned codebase beside the codebase folder and moves them into place; on a
// failure undoes what it did and says why.
ImportReport Commit(HandheldFs& fs, const HandheldFolders& folders, std::vector<Plan>& plans,
                    ImportReport report) {
    MakeFolders(fs, folders.defaultCodebaseFolder);
    MakeFolders(fs, WorkFolder(folders));
    std::vector<SkippedButton> duplicates;
    for (Plan& plan : plans) {
        if (!Build(fs, plan, duplicates)) {
            Undo(fs, plans);
            return Failed(kImportNotWritten, QStringLiteral("The codebase '%1' could not be "
                                                            "written; nothing was imported.")
                                                 .arg(plan.made.displayName));
        }
    }
    // New codebases first: a failure among them leaves no codebase replaced.
    std::stable_partition(plans.begin(), plans.end(),
                          [](const Plan& plan) { return !plan.replacing; });
    for (Plan& plan : plans) {
        if (fs.Rename(plan.temporary.toStdString(), plan.target.toStdString(), plan.replacing) !=
            FsError::None) {
            Undo(fs, plans);
            return Failed(kImportNotWritten,
                          QStringLiteral("The codebase '%1' could not be put in place at '%2'; "
                                         "nothing was imported.")
                              .arg(plan.made.displayName, plan.target));
        }
        plan.moved = true;
    }
    for (const Plan& plan : plans) {
        report.codebases.push_back(plan.made);
    }
    report.skipped.insert(report.skipped.end(), duplicates.begin(), duplicates.end());
    return report;
}

}  // namespace

QString DeviceNameFor(const QString& remoteName, int category) {
    QString name;
    for (QChar c : remoteName.simplified()) {
        const bool allowed = c.unicode() >= 0x20 && c.unicode() <= 0x7F &&
                             !QByteArray(kIllegalNameCharacters).contains(char(c.unicode()));
        name += allowed ? c : QLatin1Char('-');
    }
    const int abbreviation =
        int(qstrlen(CategoryAbbreviation(category) ? CategoryAbbreviation(category) : ""));
    name = name.left(std::min(kMaxDeviceNameLength, kMaxDisplayNameLength - abbreviation - 1))
               .trimmed();
    return name.isEmpty() ? QStringLiteral("Imported") : name;
}

int CategoryByName(const QString& name) {
    for (int category = kCategoryTv; category <= kCategoryTiVo; ++category) {
        if (name.compare(QLatin1String(CategoryName(category)), Qt::CaseInsensitive) == 0 ||
            name.compare(QLatin1String(CategoryAbbreviation(category)), Qt::CaseInsensitive) == 0) {
            return category;
        }
    }
    return kCategoryUnknown;
}

int ImportCategoryOf(const ImportedRemote& remote, const QString& fileName) {
    QString name = remote.name.isEmpty() ? BaseNameOf(fileName) : remote.name;
    const int named = CategoryInName(name);
    if (named != kCategoryUnknown) {
        return named;
    }
    CategoryHints hints{fileName, remote.name, remote.comments, {}};
    for (const ImportedButton& button : remote.buttons) {
        hints.buttonNames.push_back(button.name);
    }
    return GuessCategory(hints);
}

ImportReport ImportRemotes(HandheldFs& fs, const HandheldFolders& folders, const ImportResult& read,
                           const QString& fileName, const ImportOptions& options) {
    if (!read.error.isEmpty()) {
        ImportReport report = Failed(kImportUnreadable, read.error);
        report.notes = read.notes;
        return report;
    }
    if (const QString problem = DeviceNameProblem(folders, options); !problem.isEmpty()) {
        ImportReport report = Failed(kImportBadName, problem);
        report.notes = read.notes;
        return report;
    }
    ImportReport report;
    report.notes = read.notes;
    std::vector<CodebaseEntry> existing;
    ScanCodebases(fs, folders, existing);
    std::vector<Plan> plans;
    std::set<QString> planned;  // display names, lower case
    for (const ImportedRemote& remote : read.remotes) {
        Plan plan;
        plan.remote = &remote;
        plan.remoteName = remote.name.isEmpty() ? BaseNameOf(fileName) : remote.name;
        if (!NoteSkipped(remote, plan.remoteName, report.skipped)) {
            continue;
        }
        QString ownName = plan.remoteName;
        CategoryInName(ownName);
        plan.category = IsDeviceCategory(options.category) ? options.category
                                                           : ImportCategoryOf(remote, fileName);
        NameApart(plan,
                  options.deviceName.isEmpty() ? DeviceNameFor(ownName, plan.category)
                                               : options.deviceName,
                  planned);
        const QString display = DisplayName(plan.category, plan.deviceName);
        planned.insert(Lower(display));
        PlaceCodebase(fs, folders, existing, plan);
        if (plan.replacing && !(options.replace && options.replace(display, plan.target))) {
            ImportReport taken =
                Failed(kImportNameTaken,
                       QStringLiteral("A codebase named '%1' exists already ('%2'); nothing was "
                                      "imported.")
                           .arg(display, plan.target));
            taken.notes = read.notes;
            return taken;
        }
        plan.made.path = plan.target;
        plan.made.displayName = display;
        plan.made.category = plan.category;
        plans.push_back(plan);
    }
    if (plans.empty()) {
        report.result = kImportNothing;
        report.error =
            QStringLiteral("%1: no button of the file can be stored; nothing was imported.")
                .arg(fileName);
        return report;
    }
    return Commit(fs, folders, plans, std::move(report));
}
