// RC5 and RC5X: 14 bi-phase bits of 1.778 ms, most significant first: a start bit (1), the
// field bit, the toggle bit, a 5-bit address and a 6-bit command. A one is carrier off, then
// on. RC5X takes the field bit, inverted, as a seventh command bit (commands 64 to 127); a
// field bit of 1 is plain RC5. Held buttons resend the frame with the same toggle bit; the
// next press flips it.
#pragma once

#include <cstdint>

#include "IrProtocol.h"

namespace rc5 {
constexpr uint32_t kCarrierHz = 36000;
constexpr int32_t kHalfBitUs = 889;
constexpr int32_t kFramePeriodUs = 113778;
constexpr int32_t kMinGapUs = 3000;
constexpr int kAddressBits = 5;
constexpr int kCommandBits = 6;
}  // namespace rc5

extern const IrProtocol kRc5Protocol;
extern const IrProtocol kRc5xProtocol;
