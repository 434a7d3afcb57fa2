#include "shell/PreferenceSets.h"

#include <QApplication>
#include <algorithm>

#include "platform/Modal.h"
#include "remote/CDUWnd.h"
#include "resources/StringText.h"
#include "store/PrefFile.h"
#include "store/dialogs/CLoadPreferenceDlg.h"
#include "store/dialogs/CSavePreferenceDlg.h"

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
void ApplySet(CDUWnd& window, ModalRunner& modal, const QString& fileName, WaitCursor& wait) {
    CRemoteModel& model = window.Model();
    const QString setFile = PreferencesFolderName() + fileName;
    CPrefFile file(&model.Fs());
    const bool usable =
        file.Open(model.BaseFolder() + setFile, CPdbFile::kModeRead) == kPdbOk && file.IsPrefFile();
    file.Close();
    if (!usable) {
        wait.Restore();
        modal.ShowMessage(&window,
                          StringText(kStrCannotLoadPreferences, {model.BaseFolder() + setFile}));
        return;
    }
    if (!model.ApplyStateFrom(setFile)) {
        wait.Restore();
        ReportNotSaved(window, modal, model.PreferenceFileName());
    }
}

}  // namespace

void ReportNotSaved(CDUWnd& window, ModalRunner& modal, const QString& fileName) {
    modal.ShowMessage(
        &window, StringText(kStrCannotSavePreferences, {window.Model().BaseFolder() + fileName}));
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

void SavePreferenceSet(CDUWnd& window, ModalRunner& modal) {
    CRemoteModel& model = window.Model();
    HandheldFs& fs = model.Fs();
    const QString folder = model.BaseFolder() + PreferencesFolderName();
    CSavePreferenceDlg dialog(modal, &fs, &window);
    dialog.folder = folder;
    if (modal.RunDialog(dialog) != kIdOk || dialog.fileName.isEmpty()) {
        return;
    }
    const QString fileName = dialog.fileName;
    WaitCursor wait;
    if (AddUsedName(model.UsedList(), fileName)) {
        window.RebuildPreferenceEntries();
        model.SaveUsedList();
    }
    // A fresh installation has no folder for the sets yet.
    fs.CreateFolder(folder.chopped(1).toStdString());
    // The model is back on its own file before any message, so that nothing done meanwhile
    // can write into the set.
    if (!model.SaveStateAs(PreferencesFolderName() + fileName)) {
        wait.Restore();
        ReportNotSaved(window, modal, PreferencesFolderName() + fileName);
    }
}

void LoadPreferenceSet(CDUWnd& window, ModalRunner& modal) {
    CRemoteModel& model = window.Model();
    CLoadPreferenceDlg dialog(model, modal, &window);
    dialog.folder = model.BaseFolder() + PreferencesFolderName();
    const int result = modal.RunDialog(dialog);
    WaitCursor wait;
    if (dialog.deleted) {
        std::vector<QString> names;
        for (const PreferenceSetEntry& set : dialog.Sets()) {
            names.push_back(set.name);
        }
        CleanUsedList(model.UsedList(), names);
        window.RebuildPreferenceEntries();
        model.SaveUsedList();
    }
    if (result == kIdOk && !dialog.fileName.isEmpty()) {
        ApplySet(window, modal, dialog.fileName, wait);
    }
}

void ApplyUsedEntry(CDUWnd& window, ModalRunner& modal, int index) {
    const std::vector<QString>& used = window.Model().UsedList();
    if (index < 0 || size_t(index) >= used.size()) {
        return;
    }
    const QString fileName = used[size_t(index)];
    WaitCursor wait;
    ApplySet(window, modal, fileName, wait);
}
