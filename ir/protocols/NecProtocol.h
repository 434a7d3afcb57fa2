// NEC and its relatives: a 9 ms header, pulse-distance bits least significant first, a stop
// mark, and a short repeat code while the button is held. NEC and NECext send 32 bits
// (NEC: 8-bit address and command, each followed by its inverse; NECext: 16-bit address and
// command as they come), NEC42 and NEC42ext 42 bits (13-bit address and its inverse, 8-bit
// command and its inverse).
#pragma once

#include <cstdint>

#include "IrProtocol.h"

namespace nec {
constexpr uint32_t kCarrierHz = 38000;
constexpr int32_t kHeaderMarkUs = 9000;
constexpr int32_t kHeaderSpaceUs = 4500;
constexpr int32_t kBitMarkUs = 560;
constexpr int32_t kZeroSpaceUs = 560;
constexpr int32_t kOneSpaceUs = 1690;
constexpr int32_t kRepeatSpaceUs = 2250;    // the repeat code: header mark, this, a bit mark
constexpr int32_t kFramePeriodUs = 108000;  // from one frame's start to the next one's
constexpr int32_t kMinGapUs = 7000;
constexpr int kBits = 32;
constexpr int kBits42 = 42;
// Pioneer sends the same 32-bit frame under a slightly shorter header (8.5 + 4.25 ms); the
// tolerance of either would take the other's. The header's mark plus space (which a learnt
// signal stretches and shrinks by the same amount) tells them apart at their midpoint.
constexpr int32_t kPioneerHeaderSplitUs = (kHeaderMarkUs + kHeaderSpaceUs + 8500 + 4250) / 2;
}  // namespace nec

extern const IrProtocol kNecProtocol;
extern const IrProtocol kNecExtProtocol;
extern const IrProtocol kNec42Protocol;
extern const IrProtocol kNec42ExtProtocol;
