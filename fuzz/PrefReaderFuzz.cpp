// Preference files as a damaged or hostile source may hand them over: loading the state and
// the used list never crashes or reads outside the file, and yields only sound values.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "platform/host/HostHandheldFs.h"
#include "store/PrefFile.h"

namespace {

// A device root in memory-backed storage where there is some, made once per process.
HostHandheldFs& Device() {
    static const std::string root = [] {
        std::string base = std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : "/tmp";
        std::string pattern = base + "/ardel-pref-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) {
            std::abort();
        }
        return pattern;
    }();
    static HostHandheldFs device(root);
    return device;
}

void Check(bool condition) {
    if (!condition) {
        std::abort();
    }
}

const QString kPath = QStringLiteral("\\ArdelRemoteDefPref.PDB");

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    HostHandheldFs& device = Device();
    // A record count far beyond the record list only makes every key search walk up to
    // 65535 entries that all lie outside the file; a few beyond the list show the same.
    std::vector<uint8_t> file(data, data + size);
    if (size >= 78) {
        const size_t count = size_t(file[76] << 8 | file[77]);
        const size_t most = (size - 78) / 8 + 4;
        if (count > most) {
            file[76] = uint8_t(most >> 8);
            file[77] = uint8_t(most);
        }
    }
    {
        std::ofstream out(device.RootFolder() + "/ArdelRemoteDefPref.PDB",
                          std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(size));
    }

    // The string reader on its own, over the whole input as a payload.
    const std::vector<uint8_t> whole(data, data + size);
    Check(size_t(ReadPrefString(whole).size()) <= size / 2);

    RemoteState state;
    LoadState(device, kPath, state);
    Check(IsValidForm(state.currentForm));
    for (const QString& path : state.hotCodebases) {
        Check(size_t(path.size()) <= size / 2);
    }
    Check(size_t(state.irPort.size()) <= size / 2);

    // The same file read as a used list.
    const std::vector<QString> names = LoadUsedList(device, kPath);
    Check(names.size() <= size_t(kMaxUsedNames));
    for (const QString& name : names) {
        Check(!name.isEmpty() && size_t(name.size()) <= size / 2);
    }

    if (size >= 2) {
        std::vector<uint8_t> payload;
        if (ReadPrefRecord(device, kPath, uint16_t((data[0] << 8) | data[1]), payload)) {
            Check(!payload.empty() && payload.size() <= size);
        }
    }

    // A value that is written can be read back, whatever else the file holds. Every write
    // flushes the file to the medium, so only a few inputs take this path.
    if (size > 0 && data[size - 1] % 16 == 0 &&
        WritePrefRecord(device, kPath, kPrefKeyIrPort,
                        PrefStringWithTerminator(QStringLiteral("COM1:")))) {
        RemoteState after;
        LoadState(device, kPath, after);
        Check(after.irPort == QStringLiteral("COM1:"));
    }
    return 0;
}
