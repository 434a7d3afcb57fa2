#include "SimClock.h"

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
