// Sharp and Denon: no header; 15 pulse-distance bits least significant first (5-bit
// address, 8-bit command, two frame bits) and a stop mark, then after 40 ms the same frame
// with command and frame bits inverted. The frame bits tell the makers apart: Sharp sends
// 1, 0 first (expansion and check bit), Denon 0, 0. Held buttons resend the pair.
#pragma once

#include <cstdint>

#include "IrProtocol.h"

namespace sharp {
constexpr uint32_t kCarrierHz = 38000;
constexpr int32_t kBitMarkUs = 320;
constexpr int32_t kZeroSpaceUs = 680;
constexpr int32_t kOneSpaceUs = 1680;
constexpr int32_t kEchoSpaceUs = 40000;  // between a frame and its inverted echo
constexpr int32_t kGapUs = 40000;
constexpr int32_t kMinGapUs = 6000;
constexpr int kBits = 15;
constexpr uint32_t kFrameBits = 0x1;  // expansion 1, check 0
}  // namespace sharp

namespace denon {
constexpr uint32_t kCarrierHz = 38000;
constexpr int32_t kBitMarkUs = 260;
constexpr int32_t kZeroSpaceUs = 780;
constexpr int32_t kOneSpaceUs = 1820;
constexpr int32_t kEchoSpaceUs = 45000;
constexpr int32_t kGapUs = 45000;
constexpr int32_t kMinGapUs = 6000;
constexpr int kBits = 15;
constexpr uint32_t kFrameBits = 0x0;
}  // namespace denon

extern const IrProtocol kSharpProtocol;
extern const IrProtocol kDenonProtocol;
