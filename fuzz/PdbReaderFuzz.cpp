// Record-database files as a damaged or hostile source may hand them over: every read stays
// inside the file, and a change that succeeds keeps every record it could read.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/host/HostHandheldFs.h"
#include "store/CPdbFile.h"

namespace {

constexpr int kMaxIndices = 80;  // enough to see every case; more only slows the search

// A device root in memory-backed storage where there is some, made once per process.
HostHandheldFs& Device() {
    static const std::string root = [] {
        std::string base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        std::string pattern = base + "/ardel-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) {
            std::abort();
        }
        return pattern;
    }();
    static const bool cleanup = [] {
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(root, ignored);
        });
        return true;
    }();
    (void)cleanup;
    static HostHandheldFs device(root);
    return device;
}

std::vector<uint8_t> Padded(std::vector<uint8_t> record) {
    if (record.size() % 2) {
        record.push_back(0);
    }
    return record;
}

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    HostHandheldFs& device = Device();
    {
        std::ofstream out(device.RootFolder() + "/Input.PDB", std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    CPdbFile pdb(&device);
    Check(pdb.Open("\\Input.PDB", CPdbFile::kModeReadWrite) == kPdbOk);

    const int count = pdb.GetRecordCount();
    const int indices = std::min(count, kMaxIndices);
    std::vector<std::vector<uint8_t>> records;
    for (int index = 0; index < indices; ++index) {
        records.push_back(pdb.ReadRecord(index));
        Check(records.back().size() <= size);
        const std::vector<uint8_t> keyed = pdb.ReadKeyedRecord(index);
        Check(keyed.size() + 2 == records.back().size() || keyed.empty());
    }
    Check(pdb.ReadRecord(count).empty() && pdb.ReadRecord(-1).empty());
    if (size >= 2) {
        pdb.FindKeyedRecord(static_cast<uint16_t>((data[0] << 8) | data[1]), 0);
    }
    Check(pdb.GetName().size() <= CPdbFile::kMaxNameLength);
    pdb.GetType();
    pdb.GetCreator();
    pdb.GetVersion();
    if (count > kMaxIndices) {
        return 0;
    }

    // A change either keeps the file as it was or rewrites it with every record it read.
    const uint8_t added[] = {'n', 'e', 'w'};
    const int index = pdb.AppendRecord(added, sizeof added);
    if (index < 0) {
        return 0;
    }
    Check(index == count && pdb.GetRecordCount() == count + 1);
    for (int k = 0; k < count; ++k) {
        Check(pdb.ReadRecord(k) == Padded(records[k]));
    }
    Check(pdb.ReadRecord(index) == std::vector<uint8_t>({'n', 'e', 'w', 0}));
    Check(pdb.DeleteRecord(0) == kPdbOk && pdb.GetRecordCount() == count);
    Check(pdb.ReadRecord(count - 1) ==
          (count ? std::vector<uint8_t>({'n', 'e', 'w', 0}) : std::vector<uint8_t>()));
    return 0;
}
