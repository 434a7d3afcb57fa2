// The remote's files on the handheld's file system: skin pictures and sounds below the
// device root, codebases as record databases.
#pragma once

#include <QString>

#include "HostHandheldFs.h"
#include "RemoteFiles.h"

class CHandheldRemoteFiles : public RemoteFiles {
  public:
    explicit CHandheldRemoteFiles(HostHandheldFs& fs) : fs_(fs) {}

    bool ReadFile(const QString& path, QByteArray& bytes) override;
    std::string PlayablePath(const QString& path) override;
    std::unique_ptr<CodebaseReader> OpenCodebase(const QString& path) override;
    // The hot-codebase records of the preference file, keyed by slot id.
    bool ReadSlotPath(const QString& prefFile, int slotId, QString& path) override;
    int WriteSlotPath(const QString& prefFile, int slotId, const QString& path) override;

    HostHandheldFs& Fs() { return fs_; }

  private:
    HostHandheldFs& fs_;
};
