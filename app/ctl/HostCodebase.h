// A codebase file on the host, reached the way the handheld reaches its files: the file's
// folder stands for the device root and the file lies in it.
#pragma once

#include <QString>
#include <string>

#include "platform/host/HostHandheldFs.h"

class HostCodebase {
  public:
    explicit HostCodebase(const std::string& hostPath);

    HandheldFs& Fs() { return fs_; }
    // The file's handheld path: "\" and its name.
    const QString& Path() const { return path_; }

  private:
    HostHandheldFs fs_;
    QString path_;
};
