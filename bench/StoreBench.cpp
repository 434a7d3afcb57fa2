// Storing a learnt button into a codebase: every change rewrites the whole file, so the
// cost grows with the codebase. 60 buttons is a well-filled remote.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>

#include "CCodebaseFile.h"
#include "HostHandheldFs.h"

namespace {

constexpr int kButtons = 60;

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

void BM_StoreOneButtonIn60(benchmark::State& state) {
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

    // Relearning a button in the middle: open, store, close, as learning does.
    int round = 0;
    for (auto _ : state) {
        codebase.Open(path, CPdbFile::kModeReadWrite);
        const bool stored = codebase.StoreSignal(SignalValues(++round), 0, 26, "Button30", 1);
        codebase.Close();
        benchmark::DoNotOptimize(stored);
    }
    state.counters["file_bytes"] =
        static_cast<double>(std::filesystem::file_size(root + "/TV_Bench.PDB"));
    std::filesystem::remove_all(root);
}
BENCHMARK(BM_StoreOneButtonIn60)->Unit(benchmark::kMillisecond);

}  // namespace
