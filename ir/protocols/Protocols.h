// Every protocol's codec and timing. The timings sit here rather than inside the codecs
// because the tests write their frames from the same numbers.
#pragma once

#include <cstdint>

#include "ir/protocols/IrProtocol.h"
#include "ir/protocols/ProtocolEngine.h"

// NEC and its relatives: a 9 ms header, 32 or 42 bits, and a short repeat code (header mark,
// a 2.25 ms space, a bit mark) while the button is held. NEC and NECext send 32 bits (NEC:
// 8-bit address and command, each followed by its inverse; NECext: 16-bit address and
// command as they come), NEC42 and NEC42ext 42 bits (13-bit address and its inverse, 8-bit
// command and its inverse).
inline constexpr PulseDistanceTiming kNecTiming = {.carrierHz = 38000,
                                                   .headerMarkUs = 9000,
                                                   .headerSpaceUs = 4500,
                                                   .bitMarkUs = 560,
                                                   .zeroSpaceUs = 560,
                                                   .oneSpaceUs = 1690,
                                                   .bits = 32,
                                                   .framePeriodUs = 108000,
                                                   .gapUs = 7000,
                                                   .minGapUs = 7000};
inline constexpr int32_t kNecRepeatSpaceUs = 2250;
extern const IrProtocol kNecProtocol;
extern const IrProtocol kNecExtProtocol;
extern const IrProtocol kNec42Protocol;
extern const IrProtocol kNec42ExtProtocol;

// Pioneer: NEC's 32-bit frame under an 8.5 ms header on a 40 kHz carrier. Held buttons
// resend the frame.
inline constexpr PulseDistanceTiming kPioneerTiming = {.carrierHz = 40000,
                                                       .headerMarkUs = 8500,
                                                       .headerSpaceUs = 4250,
                                                       .bitMarkUs = 500,
                                                       .zeroSpaceUs = 500,
                                                       .oneSpaceUs = 1500,
                                                       .bits = 32,
                                                       .framePeriodUs = 0,
                                                       .gapUs = 26000,
                                                       .minGapUs = 6000};
extern const IrProtocol kPioneerProtocol;

// Samsung32: NEC's bit timing under a 4.5 ms header; the 8-bit address twice, the 8-bit
// command and its inverse. Held buttons of the remotes resend the whole frame; a short repeat
// code (the header, a single one bit and the stop mark) exists as well and is recognised.
inline constexpr PulseDistanceTiming kSamsung32Timing = {.carrierHz = 38000,
                                                         .headerMarkUs = 4500,
                                                         .headerSpaceUs = 4500,
                                                         .bitMarkUs = 550,
                                                         .zeroSpaceUs = 550,
                                                         .oneSpaceUs = 1650,
                                                         .bits = 32,
                                                         .framePeriodUs = 108000,
                                                         .gapUs = 7000,
                                                         .minGapUs = 7000};
extern const IrProtocol kSamsung32Protocol;

// JVC: an 8.4 ms header, an 8-bit address and an 8-bit command. While a button is held the
// frame repeats without its header.
inline constexpr PulseDistanceTiming kJvcTiming = {.carrierHz = 38000,
                                                   .headerMarkUs = 8400,
                                                   .headerSpaceUs = 4200,
                                                   .bitMarkUs = 525,
                                                   .zeroSpaceUs = 525,
                                                   .oneSpaceUs = 1575,
                                                   .bits = 16,
                                                   .framePeriodUs = 60000,
                                                   .gapUs = 6000,
                                                   .minGapUs = 6000};
extern const IrProtocol kJvcProtocol;

// RCA: a 4 ms header, a 4-bit address, an 8-bit command, then both inverted. The bits are
// numbered as they arrive (first arriving bit lowest), as the .ir files that carry RCA codes
// number them. Held buttons resend the frame.
inline constexpr PulseDistanceTiming kRcaTiming = {.carrierHz = 56000,
                                                   .headerMarkUs = 4000,
                                                   .headerSpaceUs = 4000,
                                                   .bitMarkUs = 500,
                                                   .zeroSpaceUs = 1000,
                                                   .oneSpaceUs = 2000,
                                                   .bits = 24,
                                                   .framePeriodUs = 0,
                                                   .gapUs = 8000,
                                                   .minGapUs = 6000};
extern const IrProtocol kRcaProtocol;

// Kaseikyo (Panasonic and the other members of its makers' association): a header of 8 and
// 4 units of 432 us and 48 bits: a 16-bit vendor code, a 4-bit vendor parity, two 4-bit
// genres, a 10-bit command, a 2-bit id and an 8-bit parity. The address gathers id, vendor
// and genres as id << 24 | vendor << 8 | genre1 << 4 | genre2. Held buttons resend the frame.
inline constexpr int32_t kKaseikyoUnitUs = 432;
inline constexpr PulseDistanceTiming kKaseikyoTiming = {.carrierHz = 37000,
                                                        .headerMarkUs = 8 * kKaseikyoUnitUs,
                                                        .headerSpaceUs = 4 * kKaseikyoUnitUs,
                                                        .bitMarkUs = kKaseikyoUnitUs,
                                                        .zeroSpaceUs = kKaseikyoUnitUs,
                                                        .oneSpaceUs = 3 * kKaseikyoUnitUs,
                                                        .bits = 48,
                                                        .framePeriodUs = 130000,
                                                        .gapUs = 4000,
                                                        .minGapUs = 4000};
extern const IrProtocol kKaseikyoProtocol;

// Sharp and Denon: no header; 15 bits (5-bit address, 8-bit command, two frame bits), then
// after the echo space the same frame with command and frame bits inverted. The frame bits
// tell the makers apart: Sharp sends 1, 0 first (expansion and check bit), Denon 0, 0. Held
// buttons resend the pair.
struct EchoTiming {
    PulseDistanceTiming frame;
    int32_t echoSpaceUs;  // between a frame and its inverted echo
    uint32_t frameBits;
};
inline constexpr EchoTiming kSharpTiming = {.frame = {.carrierHz = 38000,
                                                      .headerMarkUs = 0,
                                                      .headerSpaceUs = 0,
                                                      .bitMarkUs = 320,
                                                      .zeroSpaceUs = 680,
                                                      .oneSpaceUs = 1680,
                                                      .bits = 15,
                                                      .framePeriodUs = 0,
                                                      .gapUs = 40000,
                                                      .minGapUs = 6000},
                                            .echoSpaceUs = 40000,
                                            .frameBits = 0x1};
inline constexpr EchoTiming kDenonTiming = {.frame = {.carrierHz = 38000,
                                                      .headerMarkUs = 0,
                                                      .headerSpaceUs = 0,
                                                      .bitMarkUs = 260,
                                                      .zeroSpaceUs = 780,
                                                      .oneSpaceUs = 1820,
                                                      .bits = 15,
                                                      .framePeriodUs = 0,
                                                      .gapUs = 45000,
                                                      .minGapUs = 6000},
                                            .echoSpaceUs = 45000,
                                            .frameBits = 0x0};
extern const IrProtocol kSharpProtocol;
extern const IrProtocol kDenonProtocol;

// Sony's SIRC: a 2.4 ms header, then pulse-width bits (a long mark is a one) least
// significant first: a 7-bit command and then the address: 5 bits (SIRC, 12 bits in all), 8
// bits (SIRC15) or 5 bits and an 8-bit extension (SIRC20, one 13-bit address as the
// extension above the 5 bits). Frames start every 45 ms while a button is held.
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

// RC5 and RC5X: 14 bi-phase bits of 1.778 ms, most significant first: a start bit (1), the
// field bit, the toggle bit, a 5-bit address and a 6-bit command. A one is carrier off, then
// on. RC5X is the extended range of commands (RC5 commands 64 to 127, the field bit
// cleared), numbered 0 to 63 within it as .ir files number them: RC5X 0x19 is RC5 command
// 0x59. A field bit of 1 is plain RC5. Held buttons resend the frame with the same toggle bit; the
// next press flips it.
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

// RC6 mode 0: a leader, then bi-phase bits of 889 us most significant first: a start bit
// (1), three mode bits (000), the toggle bit at double width, an 8-bit address and an 8-bit
// command. A one is carrier on, then off. Held buttons resend the frame with the same toggle.
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
