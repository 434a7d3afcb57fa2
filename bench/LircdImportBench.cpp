// Importing LIRC's remote database: every file under a folder (by default the one of
// Debian's lirc-compat-remotes) read as a LIRC remote file, with the count of remotes and
// buttons, what was skipped and why, how long the reading took, and how many imported
// buttons a protocol decoder names.
//
//   lircd_import_bench [FOLDER] [--rounds N]
#include <QByteArray>
#include <QFile>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "ir/protocols/IrProtocol.h"
#include "store/formats/LircdConf.h"

int main(int argc, char** argv) {
    std::string folder = "/usr/share/lirc/remotes";
    int rounds = 20;
    for (int k = 1; k < argc; ++k) {
        const std::string arg = argv[k];
        if (arg == "--rounds" && k + 1 < argc) {
            rounds = std::max(1, std::atoi(argv[++k]));
        } else {
            folder = arg;
        }
    }
    std::vector<std::pair<std::string, QByteArray>> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error)) {
        if (!entry.is_regular_file()) {
            continue;
        }
        QFile file(QString::fromStdString(entry.path().string()));
        if (file.open(QIODevice::ReadOnly)) {
            files.emplace_back(entry.path().string(), file.readAll());
        }
    }
    if (files.empty()) {
        std::fprintf(stderr, "no files under %s\n", folder.c_str());
        return 1;
    }
    std::sort(files.begin(), files.end());

    size_t bytes = 0;
    for (const auto& file : files) {
        bytes += static_cast<size_t>(file.second.size());
    }
    const auto start = std::chrono::steady_clock::now();
    size_t sink = 0;
    for (int round = 0; round < rounds; ++round) {
        for (const auto& [path, content] : files) {
            sink += ReadLircdConf(content, QString::fromStdString(path)).remotes.size();
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / rounds;

    int notRemoteFiles = 0;
    int remotes = 0;
    int buttons = 0;
    int imported = 0;
    int toggled = 0;
    int named = 0;
    std::map<std::string, int> skipped;
    std::map<std::string, int> protocols;
    for (const auto& [path, content] : files) {
        const ImportResult result = ReadLircdConf(content, QString::fromStdString(path));
        if (!result.error.isEmpty()) {
            ++notRemoteFiles;
            std::printf("not read: %s\n", result.error.toUtf8().constData());
            continue;
        }
        for (const ImportedRemote& remote : result.remotes) {
            ++remotes;
            for (const ImportedButton& button : remote.buttons) {
                ++buttons;
                if (!button.skipped.isEmpty()) {
                    ++skipped[button.skipped.toStdString()];
                    continue;
                }
                ++imported;
                toggled += button.irSignals.size() > 1;
                const IrSignal& signal = button.irSignals.front();
                const IrDecoded decoded =
                    DecodeIrSignal(std::span<const int32_t>(signal.durations, signal.count), 0);
                if (decoded.protocol) {
                    ++named;
                    ++protocols[decoded.protocol->name];
                }
            }
        }
    }
    std::printf("files: %zu (%zu bytes), not LIRC remote files: %d\n", files.size(), bytes,
                notRemoteFiles);
    std::printf(
        "remotes: %d, buttons: %d, imported: %d (%d with two toggle signals), "
        "skipped: %d\n",
        remotes, buttons, imported, toggled, buttons - imported);
    for (const auto& [reason, count] : skipped) {
        std::printf("  skipped %5d: %s\n", count, reason.c_str());
    }
    std::printf("named by a protocol decoder: %d of %d imported\n", named, imported);
    for (const auto& [name, count] : protocols) {
        std::printf("  %-10s %d\n", name.c_str(), count);
    }
    std::printf("reading all files: %.2f ms (mean of %d rounds, %zu remotes a round)\n",
                seconds * 1000, rounds, sink / static_cast<size_t>(rounds));
    return 0;
}
