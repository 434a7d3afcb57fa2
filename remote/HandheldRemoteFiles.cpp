#include "HandheldRemoteFiles.h"

#include "CCodebaseFile.h"
#include "PrefFile.h"

namespace {

class CCodebaseReader : public CodebaseReader {
  public:
    explicit CCodebaseReader(HandheldFs& fs) : file(&fs) {}
    QString HeaderName() override { return file.GetName(); }
    bool HasButton(const QString& name) override { return file.FindButton(name) > 0; }

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
    if (length > 64u * 1024 * 1024) {
        return false;  // no skin picture is anywhere near this
    }
    bytes.resize(static_cast<qsizetype>(length));
    return length == 0 || file->Read(0, bytes.data(), static_cast<size_t>(length));
}

std::string CHandheldRemoteFiles::PlayablePath(const QString& path) {
    return fs_.HostPath(path.toStdString());
}

std::unique_ptr<CodebaseReader> CHandheldRemoteFiles::OpenCodebase(const QString& path) {
    auto reader = std::make_unique<CCodebaseReader>(fs_);
    if (reader->file.Open(path, CPdbFile::kModeRead) != kPdbOk || !reader->file.IsCodebase()) {
        return nullptr;
    }
    return reader;
}

bool CHandheldRemoteFiles::ReadSlotPath(const QString& prefFile, int slotId, QString& path) {
    std::vector<uint8_t> payload;
    if (!ReadPrefRecord(fs_, prefFile, static_cast<uint16_t>(slotId), payload)) {
        return false;
    }
    path = ReadPrefString(payload);
    return true;
}

int CHandheldRemoteFiles::WriteSlotPath(const QString& prefFile, int slotId, const QString& path) {
    return WritePrefRecord(fs_, prefFile, static_cast<uint16_t>(slotId), PrefString(path)) ? 0 : 1;
}
