// Any durations at all, as a file or a receiver may hand them over: decoding never crashes
// or reads outside the list, and whatever it names encodes back to a signal that decodes to
// the same name and code.
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ir/protocols/IrProtocol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const uint32_t carrierPeriodUs = data[0];
    std::vector<int32_t> durations((size - 1) / sizeof(int32_t));
    if (!durations.empty()) {
        std::memcpy(durations.data(), data + 1, durations.size() * sizeof(int32_t));
    }
    // Walk the signal frame by frame, as a caller does after the first one.
    for (size_t start = 0; start < durations.size();) {
        const IrDecoded decoded = DecodeIrFrame(durations, start, carrierPeriodUs);
        if (!decoded.protocol) {
            ++start;
            continue;
        }
        if (decoded.next <= start || decoded.next > durations.size()) {
            std::abort();
        }
        if (!decoded.frame.bareRepeat) {
            IrEncoded encoded;
            if (EncodeIrSignal(*decoded.protocol, decoded.frame.code, encoded) != kIrCodeOk) {
                std::abort();
            }
            const IrDecoded again = DecodeIrSignal(encoded.durations, 0);
            if (again.protocol != decoded.protocol ||
                again.frame.code.address != decoded.frame.code.address ||
                again.frame.code.command != decoded.frame.code.command ||
                again.frame.code.toggle != decoded.frame.code.toggle) {
                std::abort();
            }
        }
        start = decoded.next;
    }
    return 0;
}
