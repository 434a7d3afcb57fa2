// Storing a learnt button into a codebase: every change rewrites the whole file, so the
// cost grows with the codebase. 60 buttons is a well-filled remote.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "ir/IrSignal.h"
#include "platform/host/HostHandheldFs.h"
#include "store/CCodebaseFile.h"
#include "store/Catalogue.h"
#include "store/PrefFile.h"

namespace {

constexpr int kButtons = 60;
constexpr int kCodebases = 500;

// A typical learnt signal: a header, 32 bits and a long gap, 68 durations.
std::vector<int16_t> SignalValues(int seed) {
    std::vector<int32_t> durations = {9000, -4500};
    for (int bit = 0; bit < 32; ++bit) {
        durations.push_back(560);
        durations.push_back((seed >> (bit % 8)) & 1 ? -1690 : -560);
    }
    durations.push_back(560);
    durations.push_back(-40000);
    return CCodebaseFile::DurationsToValues(durations.data(), durations.size());
}

// Relearning a button in the middle of a 60-button codebase: open, store `values`, close,
// as learning does.
void RelearnButton30(benchmark::State& state, std::vector<int16_t> (*values)(int)) {
    std::string root = (std::filesystem::temp_directory_path() / "ardel-bench-XXXXXX").string();
    if (!::mkdtemp(root.data())) {
        state.SkipWithError("no temporary folder");
        return;
    }
    HostHandheldFs device(root);
    const QString path = QStringLiteral("\\TV_Bench.PDB");
    CCodebaseFile codebase(&device);
    codebase.CreateCodebase(path);
    for (int k = 0; k < kButtons; ++k) {
        codebase.StoreSignal(SignalValues(k), 0, 26, QByteArray("Button") + QByteArray::number(k),
                             1);
    }
    codebase.Close();

    int round = 0;
    for (auto _ : state) {
        codebase.Open(path, CPdbFile::kModeReadWrite);
        const bool stored = codebase.StoreSignal(values(++round), 0, 26, "Button30", 1);
        codebase.Close();
        benchmark::DoNotOptimize(stored);
    }
    state.counters["values"] = static_cast<double>(values(0).size());
    state.counters["file_bytes"] =
        static_cast<double>(std::filesystem::file_size(root + "/TV_Bench.PDB"));
    std::filesystem::remove_all(root);
}

void BM_StoreOneButtonIn60(benchmark::State& state) {
    RelearnButton30(state, SignalValues);
}
BENCHMARK(BM_StoreOneButtonIn60)->Unit(benchmark::kMillisecond);

// An air conditioner's button of 1024 durations (1026 values: two pauses take two each),
// relearnt in the 60-button codebase: the long form of the record.
std::vector<int16_t> LongSignalValues(int seed) {
    std::vector<int32_t> durations;
    while (durations.size() < static_cast<size_t>(kMaxDurations)) {
        durations.insert(
            durations.end(),
            {430, (durations.size() / 2 + static_cast<size_t>(seed)) % 3 ? -1290 : -430});
    }
    durations[401] = durations[1023] = -40000;
    return CCodebaseFile::DurationsToValues(durations.data(), durations.size());
}

void BM_StoreLongButtonIn60(benchmark::State& state) {
    RelearnButton30(state, LongSignalValues);
}
BENCHMARK(BM_StoreLongButtonIn60)->Unit(benchmark::kMillisecond);

// Saving the remote screen's state, as Exit, Home Devices and Hard Buttons do: every value
// of the preference file written, with six categories holding a hot codebase.
void BM_SaveState(benchmark::State& state) {
    std::string root = (std::filesystem::temp_directory_path() / "ardel-bench-XXXXXX").string();
    if (!::mkdtemp(root.data())) {
        state.SkipWithError("no temporary folder");
        return;
    }
    HostHandheldFs device(root);
    const QString path = QStringLiteral("\\ArdelRemoteDefPref.PDB");
    RemoteState remote;
    for (int form = 0; form < kFormCount; ++form) {
        remote.hotCodebases[size_t(form)] =
            QStringLiteral("\\My Documents\\TV_Device%1.PDB").arg(form / 2);
    }
    SaveState(device, path, remote);
    for (auto _ : state) {
        remote.currentForm = (remote.currentForm + 1) % kFormCount;
        benchmark::DoNotOptimize(SaveState(device, path, remote));
    }
    std::filesystem::remove_all(root);
}
BENCHMARK(BM_SaveState)->Unit(benchmark::kMillisecond);

// Scanning for codebases opens every ".PDB" file of the search folders and reads its header,
// each time the Home Devices dialog or the codebase selector opens. 500 codebases is the most
// that the catalogue keeps.
void BM_ScanCodebases(benchmark::State& state) {
    std::string root = (std::filesystem::temp_directory_path() / "ardel-bench-XXXXXX").string();
    if (!::mkdtemp(root.data())) {
        state.SkipWithError("no temporary folder");
        return;
    }
    HostHandheldFs device(root);
    const HandheldFolders folders = FoldersFor(QString::fromLatin1(device.ProgramPath()));
    for (const QString& folder : folders.searchFolders) {
        std::filesystem::create_directories(device.RootFolder() + "/" +
                                            folder.mid(1).replace('\\', '/').toStdString());
    }

    // One full codebase, copied under 500 names spread over the three folders and the six
    // categories; only the header name differs.
    CCodebaseFile codebase(&device);
    codebase.CreateCodebase(QStringLiteral("\\TV_Template.PDB"));
    for (int k = 0; k < kButtons; ++k) {
        codebase.StoreSignal(SignalValues(k), 0, 26, QByteArray("Button") + QByteArray::number(k),
                             1);
    }
    codebase.Close();
    std::ifstream in(root + "/TV_Template.PDB", std::ios::binary);
    std::vector<char> image((std::istreambuf_iterator<char>(in)), {});
    std::filesystem::remove(root + "/TV_Template.PDB");
    for (int n = 0; n < kCodebases; ++n) {
        const QString folder = folders.searchFolders[size_t(n % 3)];
        const std::string name =
            DisplayName(n % 6 + 1, QStringLiteral("Device %1").arg(n)).toStdString();
        std::fill(image.begin(), image.begin() + 32, '\0');
        std::copy(name.begin(), name.end(), image.begin());
        const std::string host = device.HostPath(folder.toStdString()) + "/" + name + ".PDB";
        std::ofstream(host, std::ios::binary).write(image.data(), std::streamsize(image.size()));
    }

    HotSlots hot;
    hot[0] = hot[1] = folders.searchFolders[0] + QStringLiteral("TV_Device 0.PDB");
    std::vector<CodebaseEntry> entries;
    for (auto _ : state) {
        ScanCodebases(device, folders, entries, &hot);
        benchmark::DoNotOptimize(entries.data());
    }
    state.counters["codebases"] = double(entries.size());
    state.counters["file_bytes"] = double(image.size());
    std::filesystem::remove_all(root);
}
BENCHMARK(BM_ScanCodebases)->Unit(benchmark::kMillisecond);

}  // namespace
