// A device root whose medium fails when told to: every step that changes something on it
// (create, write, set length, flush, rename, remove, create folder) is counted, and the
// chosen one fails as a medium error would; a failing write stores the first half of its
// bytes. Everything else is the host's file system as the program uses it.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "platform/host/HostHandheldFs.h"

class FailingHostFs : public HostHandheldFs {
  public:
    using HostHandheldFs::HostHandheldFs;

    // Makes the n-th step from now fail; 0 fails nothing.
    void FailStep(int n) {
        failAt_ = n;
        steps_ = 0;
    }
    // The steps counted since the last FailStep.
    int Steps() const { return steps_; }

    std::unique_ptr<HandheldFile> Open(const std::string& path, FsOpen mode,
                                       FsError& error) override {
        if (mode == FsOpen::Create && !HostPath(path).empty() && !Step()) {
            error = FsError::IoError;
            return nullptr;
        }
        std::unique_ptr<HandheldFile> file = HostHandheldFs::Open(path, mode, error);
        return file ? std::make_unique<File>(*this, std::move(file)) : nullptr;
    }
    FsError Rename(const std::string& from, const std::string& to, bool replace) override {
        const bool moves = FileExists(from) && !HostPath(to).empty() &&
                           (replace || !FileExists(to) || HostPath(from) == HostPath(to));
        return moves && !Step() ? FsError::IoError : HostHandheldFs::Rename(from, to, replace);
    }
    FsError Remove(const std::string& path) override {
        return FileExists(path) && !Step() ? FsError::IoError : HostHandheldFs::Remove(path);
    }
    FsError CreateFolder(const std::string& path) override {
        const std::string host = HostPath(path);
        const bool makes = !host.empty() && !std::filesystem::exists(host);
        return makes && !Step() ? FsError::IoError : HostHandheldFs::CreateFolder(path);
    }

  private:
    // A file of the device whose changes are steps of its medium.
    class File : public HandheldFile {
      public:
        File(FailingHostFs& fs, std::unique_ptr<HandheldFile> file)
            : fs_(fs), file_(std::move(file)) {}
        bool Read(uint64_t offset, void* data, size_t size) override {
            return file_->Read(offset, data, size);
        }
        bool Write(uint64_t offset, const void* data, size_t size) override {
            if (!Writable() || fs_.Step()) {
                return file_->Write(offset, data, size);
            }
            file_->Write(offset, data, size / 2);  // a medium that fails half-way
            return false;
        }
        bool SetLength(uint64_t length) override {
            return (!Writable() || fs_.Step()) && file_->SetLength(length);
        }
        bool Flush() override { return !Writable() || (fs_.Step() && file_->Flush()); }
        uint64_t Length() override { return file_->Length(); }
        bool Writable() const override { return file_->Writable(); }

      private:
        FailingHostFs& fs_;
        std::unique_ptr<HandheldFile> file_;
    };

    bool Step() {
        ++steps_;
        return steps_ != failAt_;
    }

    int failAt_ = 0;
    int steps_ = 0;
};
