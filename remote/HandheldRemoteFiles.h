// The remote's files on the handheld's file system: skin pictures and sounds below the
// device root, codebases as record databases.
#pragma once

#include <QString>
#include <map>

#include "HostHandheldFs.h"
#include "RemoteFiles.h"

class CHandheldRemoteFiles : public RemoteFiles {
  public:
    explicit CHandheldRemoteFiles(HostHandheldFs& fs) : fs_(fs) {}

    bool ReadFile(const QString& path, QByteArray& bytes) override;
    std::string PlayablePath(const QString& path) override;
    std::unique_ptr<CodebaseReader> OpenCodebase(const QString& path) override;
    // The hot-codebase records are kept for the life of the object until the preference
    // files take them over.
    bool ReadSlotPath(const QString& prefFile, int slotId, QString& path) override;
    int WriteSlotPath(const QString& prefFile, int slotId, const QString& path) override;

    HostHandheldFs& Fs() { return fs_; }

  private:
    HostHandheldFs& fs_;
    std::map<std::pair<QString, int>, QString> slots_;
};
