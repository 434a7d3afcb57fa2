// Kaseikyo (Panasonic and the other members of its makers' association): a header of 8 and
// 4 units of 432 us, 48 pulse-distance bits least significant first, a stop mark. The bits:
// a 16-bit vendor code, a 4-bit vendor parity, two 4-bit genres, a 10-bit command, a 2-bit
// id and an 8-bit parity. The address gathers id, vendor and genres as
// id << 24 | vendor << 8 | genre1 << 4 | genre2. Held buttons resend the frame.
#pragma once

#include <cstdint>

#include "IrProtocol.h"

namespace kaseikyo {
constexpr uint32_t kCarrierHz = 37000;
constexpr int32_t kUnitUs = 432;
constexpr int32_t kHeaderMarkUs = 8 * kUnitUs;
constexpr int32_t kHeaderSpaceUs = 4 * kUnitUs;
constexpr int32_t kBitMarkUs = kUnitUs;
constexpr int32_t kZeroSpaceUs = kUnitUs;
constexpr int32_t kOneSpaceUs = 3 * kUnitUs;
constexpr int32_t kFramePeriodUs = 130000;
constexpr int32_t kMinGapUs = 4000;
constexpr int kBits = 48;
}  // namespace kaseikyo

extern const IrProtocol kKaseikyoProtocol;
