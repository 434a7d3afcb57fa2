// A handheld file system that hands everything on to another one and can make one read
// fail, to see what the storage code does with a medium that cannot be read. (Failing
// writes are made by FailingHostFs.)
#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/HandheldFs.h"

enum class ReadFault {
    Error,  // the read fails and leaves rubbish in the buffer
    Short,  // the file ends early: the first half of the bytes arrive, then the read fails
};

class FaultyReadFs : public HandheldFs {
  public:
    explicit FaultyReadFs(HandheldFs& inner) : inner_(inner) {}

    // Every read of any file opened through this file system is counted. FailRead(n, kind)
    // makes the n-th read from now fail; 0 fails nothing.
    void FailRead(int n, ReadFault kind) {
        failAt_ = n;
        kind_ = kind;
        reads_ = 0;
    }
    // The reads counted since the last FailRead.
    int Reads() const { return reads_; }

    std::unique_ptr<HandheldFile> Open(const std::string& path, FsOpen mode,
                                       FsError& error) override {
        std::unique_ptr<HandheldFile> file = inner_.Open(path, mode, error);
        if (!file) {
            return nullptr;
        }
        return std::make_unique<File>(*this, std::move(file));
    }
    FsError Rename(const std::string& from, const std::string& to, bool replace) override {
        return inner_.Rename(from, to, replace);
    }
    FsError Remove(const std::string& path) override { return inner_.Remove(path); }
    FsError CreateFolder(const std::string& path) override { return inner_.CreateFolder(path); }
    bool FileExists(const std::string& path) override { return inner_.FileExists(path); }
    std::vector<std::string> ListFiles(const std::string& folder,
                                       const std::string& pattern) override {
        return inner_.ListFiles(folder, pattern);
    }
    uint64_t SystemTime() override { return inner_.SystemTime(); }
    std::string ProgramPath() override { return inner_.ProgramPath(); }

  private:
    class File : public HandheldFile {
      public:
        File(FaultyReadFs& fs, std::unique_ptr<HandheldFile> inner)
            : fs_(fs), inner_(std::move(inner)) {}

        bool Read(uint64_t offset, void* data, size_t size) override {
            if (++fs_.reads_ != fs_.failAt_) {
                return inner_->Read(offset, data, size);
            }
            if (fs_.kind_ == ReadFault::Short) {
                inner_->Read(offset, data, size / 2);
            } else {
                std::memset(data, 0xEE, size);
            }
            return false;
        }
        bool Write(uint64_t offset, const void* data, size_t size) override {
            return inner_->Write(offset, data, size);
        }
        bool SetLength(uint64_t length) override { return inner_->SetLength(length); }
        bool Flush() override { return inner_->Flush(); }
        uint64_t Length() override { return inner_->Length(); }
        bool Writable() const override { return inner_->Writable(); }

      private:
        FaultyReadFs& fs_;
        std::unique_ptr<HandheldFile> inner_;
    };

    HandheldFs& inner_;
    int failAt_ = 0;
    int reads_ = 0;
    ReadFault kind_ = ReadFault::Error;
};
