// The remote model's codebase operations: what Home Devices, the preference-set dialogs and
// ardelctl do to codebases, with the hot codebases kept in step.
#include "model/CRemoteModel.h"
#include "store/CPdbFile.h"

std::vector<CodebaseEntry> CRemoteModel::Codebases(const HandheldFolders& folders) {
    HotSlots hot;
    for (int form = 0; form < kFormCount; ++form) {
        hot[static_cast<size_t>(form)] = HotCodebaseOfForm(form);
    }
    std::vector<CodebaseEntry> entries;
    ScanCodebases(Fs(), folders, entries, &hot);
    return entries;
}

QString CRemoteModel::NewCodebase(const HandheldFolders& folders, int category,
                                  const QString& deviceName) {
    // The file is created in this folder when the first button is learnt.
    Fs().CreateFolder(folders.defaultCodebaseFolder.toStdString());
    HotSlots hot;
    const QString path = StartNewCodebase(hot, folders, category, deviceName);
    MakeHot(category, path, false);
    emit CodebasesChanged();
    return path;
}

int CRemoteModel::RenameCodebase(const QString& path, int category, const QString& deviceName,
                                 QString* newPath) {
    CPdbFile file(&Fs());
    if (file.Open(path, CPdbFile::kModeReadWrite) != kPdbOk) {
        return kCatalogueCannotOpen;
    }
    int oldCategory = kCategoryUnknown;
    QString oldName;
    ParseHeaderName(file.GetName(), oldCategory, oldName);
    const int renamed = file.Rename(DisplayName(category, deviceName));
    const QString movedTo = file.GetPath();
    file.Close();
    if (renamed != kPdbOk) {
        return kCatalogueRenameFailed;
    }
    if (newPath) {
        *newPath = movedTo;
    }
    if (IsDeviceCategory(oldCategory) &&
        HotCodebase(oldCategory).compare(path, Qt::CaseInsensitive) == 0) {
        // A hot codebase stays hot under its new name; moved to another category it no
        // longer answers for the buttons of the old one.
        MakeHot(oldCategory, oldCategory == category ? movedTo : QString(), false);
    }
    emit CodebasesChanged();
    return kCatalogueOk;
}

int CRemoteModel::DeleteCodebase(const QString& path) {
    if (!Fs().FileExists(path.toStdString())) {
        return kCatalogueCannotOpen;
    }
    if (Fs().Remove(path.toStdString()) != FsError::None) {
        return kCatalogueCannotRemove;
    }
    // A category whose hot codebase this was has none now.
    for (int category = kCategoryTv; category <= kCategoryTiVo; ++category) {
        if (HotCodebase(category).compare(path, Qt::CaseInsensitive) == 0) {
            MakeHot(category, QString(), false);
        }
    }
    emit CodebasesChanged();
    return kCatalogueOk;
}

StoreResult CRemoteModel::DeleteButton(const QString& path, const QString& button) {
    const StoreResult result = DeleteButtonSignals(Fs(), path, button);
    if (result == kStoreOk) {
        emit ButtonLearnt(path, button);
    }
    return result;
}

ImportReport CRemoteModel::Import(const HandheldFolders& folders, const ImportResult& read,
                                  const QString& fileName, const ImportOptions& options) {
    const ImportReport report = ImportRemotes(Fs(), folders, read, fileName, options);
    if (!report.codebases.empty()) {
        emit CodebasesChanged();
    }
    return report;
}

ExportError CRemoteModel::Export(const QString& path, RemoteFormat format, const QString& button,
                                 int number, QByteArray& out) {
    return ExportCodebase(Fs(), path, format, button, number, out);
}
