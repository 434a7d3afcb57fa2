// ardelctl analyse [FILE]: the frame analysis of a raw capture.
#include <cstdint>
#include <vector>

#include "app/ctl/Commands.h"
#include "app/ctl/Durations.h"
#include "ir/IrSignal.h"

int AnalyseCommand(const AnalyseOptions& options, CtlStreams io) {
    std::ostream& out = io.out;
    std::ostream& err = io.err;
    std::vector<int32_t> capture;
    std::string error;
    if (!ReadDurationsFrom(options.file, io.in, capture, error)) {
        err << "ardelctl analyse: " << error << "\n";
        return 1;
    }
    if (capture.size() > kMaxDurations) {
        err << "ardelctl analyse: " << capture.size() << " values, but a capture holds at most "
            << kMaxDurations << "\n";
        return 1;
    }
    if (capture.empty()) {
        err << "ardelctl analyse: the capture is empty\n";
        return 1;
    }
    capture.resize(kMaxDurations, 0);  // a driver's buffer: zero after the data

    IrSignal signal;
    const int result = AnalyseCapture(signal, capture.data(), kMaxDurations);
    out << "result: " << result << "\n";
    out << "frame_start: " << int(signal.frameStart) << "\n";
    out << "count: " << int(signal.count) << "\n";
    out << "durations: " << JoinDurations(signal.durations, signal.count) << "\n";
    return 0;
}
