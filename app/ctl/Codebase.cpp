// ardelctl codebase ...: codebase files on the host.
#include <filesystem>

#include "app/ctl/Commands.h"
#include "app/ctl/Durations.h"
#include "app/ctl/HostCodebase.h"
#include "store/CCodebaseFile.h"

namespace {

void PrintSignal(std::ostream& out, int number, const ButtonSignal& signal) {
    if (signal.values.empty()) {
        return;
    }
    const std::vector<int32_t> durations = CCodebaseFile::ValuesToDurations(signal.values);
    out << "  signal " << number << ": frame_start " << int(signal.frameStart) << ", durations "
        << JoinDurations(durations.data(), durations.size()) << "\n";
}

}  // namespace

// The header name, then each button with its carrier period and signals.
int CodebaseShowCommand(const CodebaseShowOptions& options, CtlStreams io) {
    std::ostream& out = io.out;
    std::ostream& err = io.err;
    const std::string& file = options.file;
    if (!std::filesystem::is_regular_file(file)) {
        err << "ardelctl codebase show: cannot open '" << file << "'\n";
        return 1;
    }
    HostCodebase host(file);
    CCodebaseFile codebase(&host.Fs());
    if (codebase.Open(host.Path(), CPdbFile::kModeRead) != kPdbOk) {
        err << "ardelctl codebase show: cannot open '" << file << "'\n";
        return 1;
    }
    if (!codebase.IsCodebase()) {
        err << "ardelctl codebase show: '" << file << "' is not a codebase\n";
        return 1;
    }
    out << "name: " << codebase.GetName().toStdString() << "\n";
    const int count = codebase.GetRecordCount();
    for (int index = 1; index < count; ++index) {
        ButtonRecord button;
        if (!codebase.ParseButtonRecord(index, button)) {
            out << "record " << index << ": no button\n";
            continue;
        }
        out << "button: "
            << FromFileBytes(button.name.constData(), button.name.size()).toStdString() << "\n";
        out << "  carrier_us: " << (button.carrierPeriod & 0xFF) << "\n";
        PrintSignal(out, 1, button.signal1);
        PrintSignal(out, 2, button.signal2);
    }
    return 0;
}
