#include "ir/PressEnd.h"

#include <cstdlib>

namespace {

// The same kind of entry, the magnitude within a third of the reference's.
bool Close(int32_t reference, int32_t value) {
    if ((reference < 0) != (value < 0)) {
        return false;
    }
    const int64_t a = std::llabs(static_cast<int64_t>(reference));
    const int64_t b = std::llabs(static_cast<int64_t>(value));
    return std::llabs(a - b) <= a / 3;
}

bool SameStretch(const int32_t* entries, int first, int second, int length) {
    for (int k = 0; k < length; ++k) {
        if (!Close(entries[first + k], entries[second + k])) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool PressHeardWhole(const int32_t* entries, int count) {
    constexpr int32_t kLong = -static_cast<int32_t>(PressEnd::kLongPauseUs);
    if (count <= 0 || entries[count - 1] >= kLong) {
        return false;
    }
    // Where each stretch ends: the index just past each long pause.
    int ends[PressEnd::kMostLongPauses + 1] = {0};
    int pauses = 0;
    for (int k = 0; k < count; ++k) {
        if (entries[k] < kLong) {
            if (++pauses >= PressEnd::kMostLongPauses) {
                return true;
            }
            ends[pauses] = k + 1;
        }
    }
    if (pauses < PressEnd::kLongPauses) {
        return false;
    }
    // The last `span` stretches against the `span` before them.
    for (int span = 1; 2 * span <= pauses; ++span) {
        const int from = ends[pauses - 2 * span];
        const int middle = ends[pauses - span];
        const int to = ends[pauses];
        if (middle - from == to - middle && SameStretch(entries, from, middle, to - middle)) {
            return true;
        }
    }
    return false;
}
