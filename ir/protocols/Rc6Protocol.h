// RC6 mode 0: a leader, then bi-phase bits of 889 us most significant first: a start bit
// (1), three mode bits (000), the toggle bit at double width, an 8-bit address and an 8-bit
// command. A one is carrier on, then off. Held buttons resend the frame with the same toggle.
#pragma once

#include <cstdint>

#include "IrProtocol.h"

namespace rc6 {
constexpr uint32_t kCarrierHz = 36000;
constexpr int32_t kUnitUs = 444;  // half a bit
constexpr int32_t kLeaderMarkUs = 6 * kUnitUs;
constexpr int32_t kLeaderSpaceUs = 2 * kUnitUs;
constexpr int32_t kToggleHalfUs = 2 * kUnitUs;
constexpr int32_t kFramePeriodUs = 106667;
constexpr int32_t kMinGapUs = 2666;
constexpr int kModeBits = 3;
constexpr int kAddressBits = 8;
constexpr int kCommandBits = 8;
}  // namespace rc6

extern const IrProtocol kRc6Protocol;
