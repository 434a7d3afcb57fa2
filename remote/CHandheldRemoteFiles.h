// The files of the skin forms on the handheld's file system: skin pictures and sounds by
// handheld path, codebases through CCodebaseFile, hot codebases in the preference file.
#pragma once

#include "remote/RemoteFiles.h"

class HandheldFs;

class CHandheldRemoteFiles : public RemoteFiles {
  public:
    // Skin pictures larger than this are no skin of ours and are not read.
    static constexpr uint64_t kMaxFileSize = 16u << 20;

    explicit CHandheldRemoteFiles(HandheldFs& fs) : fs_(fs) {}

    bool ReadFile(const QString& path, QByteArray& bytes) override;
    // The host file behind the handheld path, or an empty path (which plays nothing) when
    // the file system has no host files.
    std::string PlayablePath(const QString& path) override;
    std::unique_ptr<CodebaseReader> OpenCodebase(const QString& path) override;

  private:
    HandheldFs& fs_;
};
