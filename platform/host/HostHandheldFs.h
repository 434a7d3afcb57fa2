// The handheld's file system as one folder on the host, the device root.
//
// A handheld path names a file below the root; each folder and file name is looked up
// ignoring ASCII letter case, as on the handheld. Paths never leave the root: "." and ".."
// steps, forward slashes and symbolic links are refused as if the file did not exist.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/HandheldFs.h"

class HostHandheldFs : public HandheldFs {
  public:
    explicit HostHandheldFs(std::string rootFolder, std::string programPath = kDefaultProgramPath);

    std::unique_ptr<HandheldFile> Open(const std::string& path, FsOpen mode,
                                       FsError& error) override;
    FsError Rename(const std::string& from, const std::string& to, bool replace) override;
    FsError Remove(const std::string& path) override;
    FsError CreateFolder(const std::string& path) override;
    bool FileExists(const std::string& path) override;
    std::vector<std::string> ListFiles(const std::string& folder,
                                       const std::string& pattern) override;
    std::vector<FileHead> ReadFileHeads(const std::string& folder, const std::string& pattern,
                                        size_t size) override;
    uint64_t SystemTime() override;
    std::string ProgramPath() override { return programPath_; }

    const std::string& RootFolder() const { return root_; }
    // The host path that a handheld path stands for; empty when it cannot stand for one
    // (outside the root, a folder on the way missing).
    std::string HostPath(const std::string& path) override;

    // Test controls.
    void SetProgramPath(std::string path) { programPath_ = std::move(path); }
    // Fixes the clock (100-ns intervals since 1601), or lets it follow the host's again.
    void SetFixedTime(std::optional<uint64_t> time) { fixedTime_ = time; }

  private:
    struct Resolved {
        std::string host;    // host path of the target (its real name when it exists)
        std::string folder;  // host path of the folder that holds it
        std::string given;   // the last name as written in the handheld path
        bool exists = false;
        bool isFolder = false;
    };
    FsError Resolve(const std::string& path, Resolved& out);

    std::string root_;
    std::string programPath_;
    std::optional<uint64_t> fixedTime_;
};
