#include "model/CRemoteModel.h"
#include "platform/HandheldFs.h"

int CRemoteModel::DeletePreferenceSet(const QString& path) {
    CPrefFile file(&Fs());
    const bool isSet = file.Open(path, CPdbFile::kModeRead) == kPdbOk && file.IsPrefFile();
    file.Close();
    if (!isSet) {
        return kCatalogueCannotOpen;
    }
    return Fs().Remove(path.toStdString()) == FsError::None ? kCatalogueOk : kCatalogueCannotRemove;
}
