// Samsung32: NEC's bit timing under a 4.5 ms header; 32 bits least significant first: the
// 8-bit address twice, the 8-bit command and its inverse. Held buttons of the remotes resend
// the whole frame; a short repeat code exists as well and is recognised.
#pragma once

#include <cstdint>

#include "IrProtocol.h"

namespace samsung32 {
constexpr uint32_t kCarrierHz = 38000;
constexpr int32_t kHeaderMarkUs = 4500;
constexpr int32_t kHeaderSpaceUs = 4500;
constexpr int32_t kBitMarkUs = 550;
constexpr int32_t kZeroSpaceUs = 550;
constexpr int32_t kOneSpaceUs = 1650;
constexpr int32_t kFramePeriodUs = 108000;
constexpr int32_t kMinGapUs = 7000;
constexpr int kBits = 32;
}  // namespace samsung32

extern const IrProtocol kSamsung32Protocol;
