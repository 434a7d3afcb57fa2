#include "model/MemoryFs.h"

bool WriteWhole(HandheldFs& fs, const QString& path, const std::vector<uint8_t>& bytes) {
    FsError error = FsError::None;
    std::unique_ptr<HandheldFile> file = fs.Open(path.toStdString(), FsOpen::Create, error);
    return file && file->Write(0, bytes.data(), bytes.size()) && file->Flush();
}
