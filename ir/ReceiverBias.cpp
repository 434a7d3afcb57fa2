#include "ir/ReceiverBias.h"

#include <algorithm>
#include <vector>

namespace {

// Beyond this many captures the estimate weighs the new one as one of this many, so that it
// follows a receiver that changes (warmth, another distance) without forgetting at once.
constexpr int kCapturesWeighed = 8;

// The median of the short values: those up to one and a half times the shortest.
int32_t TypicalShort(std::vector<int32_t>& values) {
    std::sort(values.begin(), values.end());
    const int32_t limit = values.front() + values.front() / 2;
    const auto end = std::upper_bound(values.begin(), values.end(), limit);
    return values[static_cast<size_t>(end - values.begin()) / 2];
}

}  // namespace

bool EstimateCaptureBias(std::span<const int32_t> capture, int32_t& biasUs) {
    std::vector<int32_t> marks, spaces;
    for (size_t k = 0; k < capture.size(); ++k) {
        if (capture[k] > 0) {
            marks.push_back(capture[k]);
        } else if (capture[k] < 0 && k + 1 < capture.size()) {  // the last space is the gap
            spaces.push_back(-capture[k]);
        }
    }
    if (marks.size() < 2 || spaces.size() < 2) {
        return false;
    }
    const int32_t shortMark = TypicalShort(marks);
    const int32_t shortSpace = TypicalShort(spaces);
    const int32_t bias = (shortMark - shortSpace) / 2;
    // A receiver never shortens marks; and a bias as long as the shortest mark's half is no
    // bias but a protocol whose marks are longer than its spaces.
    if (bias < 0 || bias > kMaxReceiverBiasUs || bias * 2 >= marks.front()) {
        return false;
    }
    biasUs = bias;
    return true;
}

void RemoveCaptureBias(std::span<int32_t> capture, int32_t biasUs) {
    for (int32_t& value : capture) {
        // Marks come out shorter, spaces (negative) longer.
        if (value != 0) {
            value -= biasUs;
        }
    }
}

CReceiverBias::CReceiverBias(int32_t rememberedUs, int captures)
    : biasUs_(std::clamp<int32_t>(rememberedUs, 0, kMaxReceiverBiasUs)),
      captures_(std::max(captures, 0)) {
    if (captures_ == 0) {
        biasUs_ = 0;
    }
}

int32_t CReceiverBias::Observe(std::span<const int32_t> capture) {
    int32_t biasUs = 0;
    if (!EstimateCaptureBias(capture, biasUs)) {
        return biasUs_;
    }
    const int weight = std::min(captures_, kCapturesWeighed - 1);
    biasUs_ = static_cast<int32_t>((int64_t{biasUs_} * weight + biasUs + (weight + 1) / 2) /
                                   (weight + 1));
    captures_ = std::min(captures_ + 1, kCapturesWeighed);
    return biasUs_;
}
