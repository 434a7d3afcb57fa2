// Sony's SIRC: a 2.4 ms header, then pulse-width bits (a long mark is a one) least
// significant first: a 7-bit command and then the address: 5 bits (SIRC, 12 bits in all), 8
// bits (SIRC15) or 5 bits and an 8-bit extension (SIRC20, one 13-bit address as the
// extension above the 5 bits). Frames start every 45 ms while a button is held.
#pragma once

#include <cstdint>

#include "IrProtocol.h"

namespace sirc {
constexpr uint32_t kCarrierHz = 40000;
constexpr int32_t kHeaderMarkUs = 2400;
constexpr int32_t kSpaceUs = 600;  // after the header and between the bits
constexpr int32_t kOneMarkUs = 1200;
constexpr int32_t kZeroMarkUs = 600;
constexpr int32_t kFramePeriodUs = 45000;
constexpr int32_t kMinGapUs = 2000;
constexpr int kCommandBits = 7;
}  // namespace sirc

extern const IrProtocol kSircProtocol;
extern const IrProtocol kSirc15Protocol;
extern const IrProtocol kSirc20Protocol;
