// A device root in a temporary folder for the storage tests, with the handheld's usual
// folders, and raw record-database images written byte by byte as any tool would.
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/FailingHostFs.h"

using Bytes = std::vector<uint8_t>;

class DeviceRoot {
    QTemporaryDir dir_;  // made before the file system that lives in it

  public:
    explicit DeviceRoot(const std::string& programPath = HandheldFs::kDefaultProgramPath)
        : fs(dir_.path().toStdString(), programPath) {
        for (const char* folder :
             {"\\My Documents", "\\Program Files", "\\Program Files\\ArdelRemote",
              "\\Program Files\\ArdelRemote\\CodeBases", "\\Windows", "\\Windows\\Start menu",
              "\\Windows\\Start menu\\CodeBases"}) {
            fs.CreateFolder(folder);
        }
        fs.SetFixedTime(kTime);
    }

    void Write(const QString& path, const Bytes& bytes) {
        FsError error = FsError::None;
        auto file = fs.Open(path.toStdString(), FsOpen::Create, error);
        if (file) {
            file->Write(0, bytes.data(), bytes.size());
        }
    }

    Bytes Read(const QString& path) {
        FsError error = FsError::None;
        auto file = fs.Open(path.toStdString(), FsOpen::Read, error);
        if (!file) {
            return {};
        }
        Bytes bytes(file->Length());
        file->Read(0, bytes.data(), bytes.size());
        return bytes;
    }

    // 2026-01-01 00:00:00 UTC in 100-ns intervals since 1601.
    static constexpr uint64_t kTime = 134116992000000000ull;

    FailingHostFs fs;
};

// A record database as laid out on disk: header, record list, records back to back.
struct RawDatabase {
    std::string name;
    std::string type = "AIrC";
    std::string creator = "ARem";
    uint16_t version = 1;
    std::vector<Bytes> records;

    Bytes Image() const {
        Bytes out(78, 0);
        for (size_t i = 0; i < name.size() && i < 31; ++i) {
            out[i] = uint8_t(name[i]);
        }
        out[33] = 0x08;
        out[34] = uint8_t(version >> 8);
        out[35] = uint8_t(version);
        for (size_t i = 0; i < 4; ++i) {
            out[60 + i] = i < type.size() ? uint8_t(type[i]) : 0;
            out[64 + i] = i < creator.size() ? uint8_t(creator[i]) : 0;
        }
        out[76] = uint8_t(records.size() >> 8);
        out[77] = uint8_t(records.size());
        uint32_t offset = uint32_t(78 + 8 * records.size());
        for (size_t i = 0; i < records.size(); ++i) {
            const uint8_t entry[8] = {uint8_t(offset >> 24),
                                      uint8_t(offset >> 16),
                                      uint8_t(offset >> 8),
                                      uint8_t(offset),
                                      0,
                                      0,
                                      uint8_t((i + 1) >> 8),
                                      uint8_t(i + 1)};
            out.insert(out.end(), entry, entry + 8);
            offset += uint32_t(records[i].size());
        }
        if (records.empty()) {
            out.push_back(0);
            out.push_back(0);
        }
        for (const Bytes& record : records) {
            out.insert(out.end(), record.begin(), record.end());
        }
        return out;
    }
};
