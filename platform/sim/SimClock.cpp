#include "platform/sim/SimClock.h"

#include <thread>

namespace {
// How far virtual time may run ahead of the host before the host catches up.
constexpr uint64_t kPaceSlack = 1000000;  // 1 ms
}  // namespace

void SimClock::SetPaced(bool paced) {
    paced_ = paced;
    pacedFrom_ = now_;
    hostFrom_ = std::chrono::steady_clock::now();
    nextCheck_ = now_ + kPaceSlack;
}

void SimClock::Pace() {
    if (now_ < nextCheck_) {
        return;
    }
    const uint64_t virtualElapsed = now_ - pacedFrom_;
    const auto hostElapsed = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                 std::chrono::steady_clock::now() - hostFrom_)
                                 .count();
    if (virtualElapsed > static_cast<uint64_t>(hostElapsed)) {
        std::this_thread::sleep_for(
            std::chrono::nanoseconds(virtualElapsed - static_cast<uint64_t>(hostElapsed)));
    } else if (static_cast<uint64_t>(hostElapsed) - virtualElapsed > 100 * kPaceSlack) {
        // The program was idle (no reads) or the host was slow: start pacing afresh instead
        // of letting virtual time rush to catch up.
        pacedFrom_ = now_;
        hostFrom_ = std::chrono::steady_clock::now();
    }
    nextCheck_ = now_ + kPaceSlack;
}

SimTickRate::SimTickRate(uint64_t numerator, uint64_t denominator)
    : numerator_(numerator),
      denominator_(denominator),
      stepQuotient_(denominator / numerator),
      stepRemainder_(denominator % numerator) {
    Place(0, 0);
}

void SimTickRate::Place(uint64_t ticks, uint64_t span) {
    const uint64_t next = ticks + 1;
    const uint64_t part = next % numerator_ * denominator_;
    ticks_ = ticks;
    from_ = span;
    nextQuotient_ = next / numerator_ * denominator_ + part / numerator_;
    nextRemainder_ = part % numerator_;
    next_ = nextQuotient_ + (nextRemainder_ != 0);
}

uint64_t SimTickRate::Move(uint64_t span) {
    // A few ticks on: step tick by tick, adding the denominator each time.
    constexpr uint64_t kMaxSteps = 4;
    if (span >= next_ && span - next_ < kMaxSteps * (stepQuotient_ + 1)) {
        while (span >= next_) {
            Step();
        }
        return ticks_;
    }
    Place(SimClock::Scale(span, numerator_, denominator_), span);
    return ticks_;
}
