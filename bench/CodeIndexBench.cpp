// The index of code collections over 10,000 generated remote files, sorted as the public
// collections are (kind/brand/model.ir for Flipper files, brand/lircd.conf.model for LIRC
// ones): the first, cold index that reads every file, the refresh of a later run that finds
// nothing changed (cache loaded, every file looked at), and searches in the index.
//
//   code_index_bench [--benchmark_filter=...]
#include <benchmark/benchmark.h>

#include <QString>
#include <filesystem>
#include <fstream>
#include <string>

#include "codes/CodeIndex.h"
#include "store/Catalogue.h"

namespace {

constexpr int kFiles = 10000;

const char* const kBrands[] = {
    "Samsung", "LG",      "Sony",     "Philips", "Panasonic", "Sharp",  "Toshiba",   "Hisense",
    "TCL",     "Vizio",   "Grundig",  "Loewe",   "Yamaha",    "Denon",  "Onkyo",     "Marantz",
    "Pioneer", "Kenwood", "JVC",      "Sanyo",   "Hitachi",   "Humax",  "Technisat", "Arris",
    "Bose",    "Teac",    "Medion",   "Thomson", "Funai",     "Orion",  "Akai",      "Aiwa",
    "Nokia",   "Strong",  "Topfield", "Roku",    "Apple",     "Xiaomi", "Haier",     "Metz"};
const char* const kKinds[] = {"TVs", "Audio_Receivers", "Blu-Ray", "VCRs", "Cable_Boxes"};
const char* const kFlipperButtons[] = {"Power",   "Vol_up", "Vol_dn", "Mute",  "Ch_next",
                                       "Ch_prev", "Ok",     "Up",     "Down",  "Left",
                                       "Right",   "Menu",   "Back",   "Input", "Play"};
const char* const kLircButtons[] = {
    "KEY_POWER",       "KEY_VOLUMEUP", "KEY_VOLUMEDOWN", "KEY_MUTE", "KEY_CHANNELUP",
    "KEY_CHANNELDOWN", "KEY_1",        "KEY_2",          "KEY_3",    "KEY_4",
    "KEY_5",           "KEY_6",        "KEY_7",          "KEY_8",    "KEY_9",
    "KEY_0",           "KEY_MENU",     "KEY_OK",         "KEY_UP",   "KEY_DOWN"};

std::string Hex(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", value & 0xFF);
    return text;
}

void WriteFlipper(const std::filesystem::path& path, unsigned seed) {
    std::ofstream out(path);
    out << "Filetype: IR signals file\nVersion: 1\n";
    unsigned k = 0;
    for (const char* button : kFlipperButtons) {
        out << "# \nname: " << button << "\ntype: parsed\nprotocol: "
            << (seed % 3 == 0   ? "NEC"
                : seed % 3 == 1 ? "Samsung32"
                                : "RC5")
            << "\naddress: " << Hex(seed % 31) << " 00 00 00\ncommand: " << Hex(k++ + seed % 17)
            << " 00 00 00\n";
    }
    out << "# \nname: Raw\ntype: raw\nfrequency: 38000\nduty_cycle: 0.330000\n"
           "data: 9000 4500 560 560 560 1690 560 560 560 1690 560 40000\n";
}

void WriteLirc(const std::filesystem::path& path, const std::string& name, unsigned seed) {
    std::ofstream out(path);
    out << "#\n# devices being controlled by this remote: " << name << "\n#\n"
        << "begin remote\n  name " << name
        << "\n  bits 16\n  flags SPACE_ENC|CONST_LENGTH\n  eps 30\n  aeps 100\n"
           "  header 9000 4500\n  one 560 1690\n  zero 560 560\n  ptrail 560\n"
           "  repeat 9000 2250\n  pre_data_bits 16\n  pre_data 0x"
        << Hex(seed) << Hex(~seed) << "\n  gap 108000\n\n  begin codes\n";
    unsigned k = 0;
    for (const char* button : kLircButtons) {
        const unsigned code = (k++ * 7 + seed) & 0xFF;
        out << "    " << button << " 0x" << Hex(code) << Hex(~code) << "\n";
    }
    out << "  end codes\nend remote\n";
}

// The collection, made once per run in a temporary folder.
const std::filesystem::path& Collection() {
    static const std::filesystem::path folder = [] {
        const std::filesystem::path root =
            std::filesystem::temp_directory_path() / "ardel-code-index-bench";
        std::filesystem::remove_all(root);
        for (unsigned n = 0; n < kFiles; ++n) {
            const std::string brand = kBrands[n % std::size(kBrands)];
            const std::string model = "M" + std::to_string(1000 + n);
            std::filesystem::path path;
            if (n % 10 < 7) {
                path = root / "flipper" / kKinds[(n / 7) % std::size(kKinds)] / brand /
                       (brand + "_" + model + ".ir");
                std::filesystem::create_directories(path.parent_path());
                WriteFlipper(path, n);
            } else {
                path = root / "lirc" / brand / ("lircd.conf." + model);
                std::filesystem::create_directories(path.parent_path());
                WriteLirc(path, brand + "_" + model, n);
            }
        }
        return root;
    }();
    return folder;
}

QStringList Collections() {
    return {QString::fromStdString(Collection().string())};
}

QString CacheFile() {
    return QString::fromStdString(
        (std::filesystem::temp_directory_path() / "ardel-code-index-bench.cache").string());
}

void BM_ColdIndex(benchmark::State& state) {
    Collections();
    for (auto _ : state) {
        CCodeIndex index;  // no cache: every file is read
        const CodeRefreshStats stats = index.Refresh(Collections());
        if (stats.read != kFiles) {
            state.SkipWithError("not every file was read");
        }
    }
    state.counters["files"] = kFiles;
}
BENCHMARK(BM_ColdIndex)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// A later run: the cache is loaded and every file looked at, none read again.
void BM_WarmRefresh(benchmark::State& state) {
    std::filesystem::remove(CacheFile().toStdString());
    CCodeIndex(CacheFile()).Refresh(Collections());
    for (auto _ : state) {
        CCodeIndex index(CacheFile());
        if (index.Refresh(Collections()).read != 0) {
            state.SkipWithError("files were read again");
        }
    }
}
BENCHMARK(BM_WarmRefresh)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

const CCodeIndex& Indexed() {
    static const CCodeIndex index = [] {
        CCodeIndex made(CacheFile());
        made.Refresh(Collections());
        return made;
    }();
    return index;
}

void BM_SearchBrandInCategory(benchmark::State& state) {
    const CCodeIndex& index = Indexed();
    size_t found = 0;
    for (auto _ : state) {
        found = index.Search({"samsung", kCategoryTv}).size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["found"] = double(found);
}
BENCHMARK(BM_SearchBrandInCategory)->Unit(benchmark::kMillisecond);

void BM_SearchAll(benchmark::State& state) {
    const CCodeIndex& index = Indexed();
    size_t found = 0;
    for (auto _ : state) {
        found = index.Search({}).size();
        benchmark::DoNotOptimize(found);
    }
    state.counters["found"] = double(found);
}
BENCHMARK(BM_SearchAll)->Unit(benchmark::kMillisecond);

}  // namespace
