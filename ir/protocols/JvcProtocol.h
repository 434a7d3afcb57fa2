// JVC: an 8.4 ms header, 16 pulse-distance bits least significant first (8-bit address,
// 8-bit command) and a stop mark. While a button is held the frame repeats without its
// header.
#pragma once

#include <cstdint>

#include "IrProtocol.h"

namespace jvc {
constexpr uint32_t kCarrierHz = 38000;
constexpr int32_t kHeaderMarkUs = 8400;
constexpr int32_t kHeaderSpaceUs = 4200;
constexpr int32_t kBitMarkUs = 525;
constexpr int32_t kZeroSpaceUs = 525;
constexpr int32_t kOneSpaceUs = 1575;
constexpr int32_t kFramePeriodUs = 60000;
constexpr int32_t kMinGapUs = 6000;
constexpr int kBits = 16;
}  // namespace jvc

extern const IrProtocol kJvcProtocol;
