#include "remote/CHandheldRemoteFiles.h"

#include "platform/HandheldFs.h"
#include "store/CCodebaseFile.h"
#include "store/FormTables.h"
#include "store/PrefFile.h"

namespace {

class CFileCodebaseReader : public CodebaseReader {
  public:
    explicit CFileCodebaseReader(HandheldFs& fs) : file(&fs) {}

    QString HeaderName() override { return file.GetName(); }
    bool HasButton(const QString& name) override { return file.FindButton(name) >= 1; }

    CCodebaseFile file;
};

}  // namespace

bool CHandheldRemoteFiles::ReadFile(const QString& path, QByteArray& bytes) {
    FsError error = FsError::None;
    std::unique_ptr<HandheldFile> file = fs_.Open(path.toStdString(), FsOpen::Read, error);
    if (!file) {
        return false;
    }
    const uint64_t length = file->Length();
    if (length > kMaxFileSize) {
        return false;
    }
    bytes.resize(static_cast<qsizetype>(length));
    return length == 0 || file->Read(0, bytes.data(), static_cast<size_t>(length));
}

std::string CHandheldRemoteFiles::PlayablePath(const QString& path) {
    return fs_.HostPath(path.toStdString());
}

std::unique_ptr<CodebaseReader> CHandheldRemoteFiles::OpenCodebase(const QString& path) {
    auto reader = std::make_unique<CFileCodebaseReader>(fs_);
    if (reader->file.Open(path, CPdbFile::kModeRead) != 0 || !reader->file.IsCodebase()) {
        return nullptr;
    }
    return reader;
}
