// Pioneer: NEC's frame under an 8.5 ms header on a 40 kHz carrier: 32 pulse-distance bits
// least significant first (8-bit address and its inverse, 8-bit command and its inverse) and
// a stop mark. Held buttons resend the frame.
#pragma once

#include <cstdint>

#include "IrProtocol.h"

namespace pioneer {
constexpr uint32_t kCarrierHz = 40000;
constexpr int32_t kHeaderMarkUs = 8500;
constexpr int32_t kHeaderSpaceUs = 4250;
constexpr int32_t kBitMarkUs = 500;
constexpr int32_t kZeroSpaceUs = 500;
constexpr int32_t kOneSpaceUs = 1500;
constexpr int32_t kGapUs = 26000;
constexpr int32_t kMinGapUs = 6000;
constexpr int kBits = 32;
}  // namespace pioneer

extern const IrProtocol kPioneerProtocol;
