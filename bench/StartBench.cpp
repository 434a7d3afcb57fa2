// The program's start on an existing device root: from exec of `ardelremote` to the first
// frame of the remote, on Qt's offscreen platform, and the memory it has by then. The
// program leaves at that frame (ARDEL_FIRST_FRAME) and says how long after main() it came;
// the wall time of the whole process is measured here.
//   start_bench [RUNS [PROGRAM]]   (PROGRAM: another build of ardelremote, to compare)
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/host/HostHandheldFs.h"
#include "store/PrefFile.h"

extern char** environ;

namespace {

struct Run {
    double wallMs = 0;
    double mainMs = 0;  // from main() on, as the program says
    long peakKb = 0;
    int status = -1;
};

std::string program = ARDEL_REMOTE_BINARY;

Run Start(const std::string& root) {
    std::vector<std::string> words = {program, "--root", root,      "--chip", "pxa255",
                                      "--ir",  "sim",    "--scale", "1"};
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const std::string said = std::filesystem::temp_directory_path() /
                             ("ardel-start-bench-" + std::to_string(getpid()) + ".err");
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, said.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    Run run;
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0) {
        return run;
    }
    rusage usage{};
    wait4(pid, &run.status, 0, &usage);
    run.wallMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    run.peakKb = usage.ru_maxrss;
    posix_spawn_file_actions_destroy(&actions);
    if (FILE* in = std::fopen(said.c_str(), "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, in)) {
            std::sscanf(line, "ardelremote: first frame %lf ms after main", &run.mainMs);
        }
        std::fclose(in);
    }
    std::filesystem::remove(said);
    return run;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    if (argc > 2) {
        program = argv[2];
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);  // unless another is asked for (xcb under Xvfb)
    setenv("ARDEL_FIRST_FRAME", "1", 1);
    const std::filesystem::path root =
        std::filesystem::temp_directory_path() / ("ardel-start-bench-" + std::to_string(getpid()));
    // The first start makes the device root; the greeting is then marked as seen, as after a
    // user ticked its box, so that the starts timed are those of every day.
    if (Start(root.string()).status != 0) {
        std::fprintf(stderr, "start_bench: the first start failed\n");
        return 1;
    }
    HostHandheldFs fs(root.string());
    const QString program = QString::fromStdString(fs.ProgramPath());
    const QString base = program.left(program.lastIndexOf('\\') + 1);
    const QString prefs = base + DefaultPrefFileName(QStringLiteral("ArdelRemote"));
    RemoteState state;
    LoadState(fs, prefs, state);
    state.greetingShown = true;
    if (!SaveState(fs, prefs, state, {})) {
        std::fprintf(stderr, "start_bench: cannot write %s\n", qPrintable(prefs));
        return 1;
    }
    Start(root.string());  // warm the file cache
    std::vector<double> walls, mains;
    long peak = 0;
    for (int k = 0; k < runs; ++k) {
        const Run run = Start(root.string());
        if (run.status != 0) {
            std::fprintf(stderr, "start_bench: a start failed (status %d)\n", run.status);
            return 1;
        }
        walls.push_back(run.wallMs);
        mains.push_back(run.mainMs);
        peak = std::max(peak, run.peakKb);
    }
    std::filesystem::remove_all(root);
    std::sort(walls.begin(), walls.end());
    std::sort(mains.begin(), mains.end());
    std::printf(
        "exec to first frame over %d starts: median %.0f ms, min %.0f, max %.0f (from "
        "main() on: median %.0f ms); peak resident %.1f MB\n",
        runs, walls[walls.size() / 2], walls.front(), walls.back(), mains[mains.size() / 2],
        static_cast<double>(peak) / 1024.0);
    return 0;
}
