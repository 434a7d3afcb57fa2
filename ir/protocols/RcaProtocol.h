// RCA: a 4 ms header, 24 pulse-distance bits and a stop mark: a 4-bit address, an 8-bit
// command, then both inverted. The bits are numbered as they arrive (first arriving bit
// lowest), as the .ir files that carry RCA codes number them. Held buttons resend the frame.
#pragma once

#include <cstdint>

#include "IrProtocol.h"

namespace rca {
constexpr uint32_t kCarrierHz = 56000;
constexpr int32_t kHeaderMarkUs = 4000;
constexpr int32_t kHeaderSpaceUs = 4000;
constexpr int32_t kBitMarkUs = 500;
constexpr int32_t kZeroSpaceUs = 1000;
constexpr int32_t kOneSpaceUs = 2000;
constexpr int32_t kGapUs = 8000;
constexpr int32_t kMinGapUs = 6000;
constexpr int kBits = 24;
}  // namespace rca

extern const IrProtocol kRcaProtocol;
