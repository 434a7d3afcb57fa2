// A file system in memory, in which a codebase is built before it is written to the device
// in one go.
#pragma once

#include <QString>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/HandheldFs.h"

// A file system in memory. Storing a button through the store path rewrites the whole
// codebase and makes it durable, which on a real medium costs a sync per button; a codebase
// is therefore built here and written to the device root in one go. The clock and the
// program's path are those of the device.
class CMemoryFs : public HandheldFs {
  public:
    explicit CMemoryFs(HandheldFs& device) : device_(device) {}

    std::unique_ptr<HandheldFile> Open(const std::string& path, FsOpen mode,
                                       FsError& error) override {
        auto it = files_.find(Key(path));
        if (mode == FsOpen::Create) {
            it = files_.insert_or_assign(Key(path), std::make_shared<Bytes>()).first;
        } else if (it == files_.end()) {
            error = FsError::NotFound;
            return nullptr;
        }
        return std::make_unique<File>(it->second, mode != FsOpen::Read);
    }
    FsError Rename(const std::string& from, const std::string& to, bool replace) override {
        const auto it = files_.find(Key(from));
        if (it == files_.end()) {
            return FsError::NotFound;
        }
        if (!replace && Key(from) != Key(to) && files_.count(Key(to)) > 0) {
            return FsError::Exists;
        }
        std::shared_ptr<Bytes> data = it->second;
        files_.erase(it);
        files_[Key(to)] = data;
        return FsError::None;
    }
    FsError Remove(const std::string& path) override {
        return files_.erase(Key(path)) > 0 ? FsError::None : FsError::NotFound;
    }
    FsError CreateFolder(const std::string&) override { return FsError::None; }
    bool FileExists(const std::string& path) override { return files_.count(Key(path)) > 0; }
    std::vector<std::string> ListFiles(const std::string&, const std::string&) override {
        return {};
    }
    uint64_t SystemTime() override { return device_.SystemTime(); }
    std::string ProgramPath() override { return device_.ProgramPath(); }

    const std::vector<uint8_t>* Content(const QString& path) const {
        const auto it = files_.find(Key(path.toStdString()));
        return it == files_.end() ? nullptr : it->second.get();
    }

  private:
    using Bytes = std::vector<uint8_t>;

    class File : public HandheldFile {
      public:
        File(std::shared_ptr<Bytes> data, bool writable)
            : data_(std::move(data)), writable_(writable) {}
        bool Read(uint64_t offset, void* out, size_t size) override {
            if (offset > data_->size() || size > data_->size() - offset) {
                return false;
            }
            std::copy_n(data_->begin() + ptrdiff_t(offset), size, static_cast<uint8_t*>(out));
            return true;
        }
        bool Write(uint64_t offset, const void* in, size_t size) override {
            if (!writable_) {
                return false;
            }
            if (data_->size() < offset + size) {
                data_->resize(offset + size);
            }
            const auto* bytes = static_cast<const uint8_t*>(in);
            std::copy(bytes, bytes + size, data_->begin() + ptrdiff_t(offset));
            return true;
        }
        bool SetLength(uint64_t length) override {
            if (writable_) {
                data_->resize(length);
            }
            return writable_;
        }
        bool Flush() override { return true; }
        uint64_t Length() override { return data_->size(); }
        bool Writable() const override { return writable_; }

      private:
        std::shared_ptr<Bytes> data_;
        bool writable_;
    };

    static std::string Key(const std::string& path) {
        return QString::fromStdString(path).toLower().toStdString();
    }

    HandheldFs& device_;
    std::map<std::string, std::shared_ptr<Bytes>> files_;
};

// Writes `bytes` as the file at `path` of the device, made durable; false when it is not.
bool WriteWhole(HandheldFs& fs, const QString& path, const std::vector<uint8_t>& bytes);
