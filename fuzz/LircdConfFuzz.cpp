// LIRC remote files as a damaged or hostile source may hand them over: the reader never
// reads outside the file, and whatever it hands on is a signal that can be sent.
#include <cstdlib>

#include "store/formats/LircdConf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray content(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const ImportResult result = ReadLircdConf(content, QStringLiteral("fuzz.conf"));
    if (!result.error.isEmpty() && !result.remotes.empty()) {
        std::abort();  // a file that cannot be read gives nothing
    }
    for (const ImportedRemote& remote : result.remotes) {
        for (const ImportedButton& button : remote.buttons) {
            if (button.skipped.isEmpty() == button.irSignals.empty() ||
                button.irSignals.size() > 2) {
                std::abort();  // a button has its signals or a reason, never both
            }
            for (const IrSignal& signal : button.irSignals) {
                if (signal.count == 0 || signal.count > kMaxDurations ||
                    signal.frameStart >= signal.count || signal.carrierPeriod == 0 ||
                    signal.durations[0] <= 0 || signal.durations[signal.frameStart] <= 0 ||
                    signal.durations[signal.count - 1] >= 0) {
                    std::abort();  // a pass starts with a mark and ends with its gap
                }
                for (int k = 0; k < signal.count; ++k) {
                    if (signal.durations[k] == 0 ||
                        (k > 0 && (signal.durations[k] > 0) == (signal.durations[k - 1] > 0))) {
                        std::abort();  // marks and spaces alternate, none of length 0
                    }
                }
            }
        }
    }
    return 0;
}
