#include "PreferenceSets.h"

#include <QApplication>
#include <algorithm>

#include "CDUWnd.h"
#include "CLoadPreferenceDlg.h"
#include "CSavePreferenceDlg.h"
#include "Modal.h"
#include "PrefFile.h"

namespace {

// The wait cursor for the time the files are worked on; taken down before a message.
class WaitCursor {
  public:
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { Restore(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

    void Restore() {
        if (shown_) {
            shown_ = false;
            QApplication::restoreOverrideCursor();
        }
    }

  private:
    bool shown_ = true;
};

// Applies the set in `fileName` and makes it the default state. A set whose file is gone
// (or is no preference file) is not applied: reading it would find no records and leave
// every form without its hot codebase.
void ApplySet(CDUWnd& window, HandheldFs* fs, const QString& fileName, WaitCursor& wait) {
    const QString setFile = PreferencesFolderName() + fileName;
    CPrefFile file(fs);
    const bool usable = file.Open(window.BaseFolder() + setFile, CPdbFile::kModeRead) == kPdbOk &&
                        file.IsPrefFile();
    file.Close();
    if (!usable) {
        wait.Restore();
        ShowMessage(&window, "Cannot load preferences from the file '" + window.BaseFolder() +
                                 setFile + "'.");
        return;
    }
    const QString previous = window.PreferenceFileName();
    window.SwitchPreferenceFile(setFile);
    window.LoadState();
    window.SwitchPreferenceFile(previous);
    if (!window.SaveState()) {
        wait.Restore();
        ReportNotSaved(window, previous);
    }
}

}  // namespace

void ReportNotSaved(CDUWnd& window, const QString& fileName) {
    ShowMessage(&window, "Cannot save current preferences in the file '" + window.BaseFolder() +
                             fileName + "'.");
}

const QString& PreferencesFolderName() {
    static const QString name = QStringLiteral("Preferences\\");
    return name;
}

bool AddUsedName(std::vector<QString>& used, const QString& fileName) {
    for (const QString& name : used) {
        if (name.compare(fileName, Qt::CaseInsensitive) == 0) {
            return false;
        }
    }
    used.insert(used.begin(), fileName);
    if (used.size() > size_t(kMaxUsedNames)) {
        used.resize(size_t(kMaxUsedNames));
    }
    return true;
}

bool CleanUsedList(std::vector<QString>& used, const std::vector<QString>& setNames) {
    const auto listed = [&setNames](const QString& name) {
        return std::any_of(setNames.begin(), setNames.end(), [&name](const QString& set) {
            return name.compare(set + ".PDB", Qt::CaseInsensitive) == 0;
        });
    };
    return std::erase_if(used, [&listed](const QString& name) { return !listed(name); }) > 0;
}

void SavePreferenceSet(CDUWnd& window, HandheldFs& fs) {
    const QString folder = window.BaseFolder() + PreferencesFolderName();
    CSavePreferenceDlg dialog(&fs, &window);
    dialog.folder = folder;
    if (RunModal(dialog) != kIdOk || dialog.fileName.isEmpty()) {
        return;
    }
    const QString fileName = dialog.fileName;
    WaitCursor wait;
    if (AddUsedName(window.UsedList(), fileName)) {
        window.RebuildPreferenceEntries();
        window.SaveUsedList();
    }
    // A fresh installation has no folder for the sets yet.
    fs.CreateFolder(folder.chopped(1).toStdString());
    const QString previous = window.PreferenceFileName();
    window.SwitchPreferenceFile(PreferencesFolderName() + fileName);
    const bool saved = window.SaveState();
    // Back before any message, so that nothing done meanwhile can write into the set.
    window.SwitchPreferenceFile(previous);
    if (!saved) {
        wait.Restore();
        ReportNotSaved(window, PreferencesFolderName() + fileName);
    }
}

void LoadPreferenceSet(CDUWnd& window, HandheldFs& fs) {
    CLoadPreferenceDlg dialog(&fs, &window);
    dialog.folder = window.BaseFolder() + PreferencesFolderName();
    const int result = RunModal(dialog);
    WaitCursor wait;
    if (dialog.deleted) {
        std::vector<QString> names;
        for (const PreferenceSetEntry& set : dialog.Sets()) {
            names.push_back(set.name);
        }
        CleanUsedList(window.UsedList(), names);
        window.RebuildPreferenceEntries();
        window.SaveUsedList();
    }
    if (result == kIdOk && !dialog.fileName.isEmpty()) {
        ApplySet(window, &fs, dialog.fileName, wait);
    }
}

void ApplyUsedEntry(CDUWnd& window, int index, HandheldFs* fs) {
    if (index < 0 || size_t(index) >= window.UsedList().size()) {
        return;
    }
    const QString fileName = window.UsedList()[size_t(index)];
    WaitCursor wait;
    ApplySet(window, fs, fileName, wait);
}
