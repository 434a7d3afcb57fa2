#include "ir/protocols/Protocols.h"

namespace {

uint8_t Byte(uint64_t bits, int index) {
    return static_cast<uint8_t>(bits >> (8 * index));
}

// The vendor parity folds the two vendor bytes into 4 bits.
uint8_t VendorParity(uint64_t bits) {
    const uint8_t folded = Byte(bits, 0) ^ Byte(bits, 1);
    return (folded & 0xF) ^ (folded >> 4);
}

uint8_t Parity(uint64_t bits) {
    return Byte(bits, 2) ^ Byte(bits, 3) ^ Byte(bits, 4);
}

bool DecodeKaseikyo(CDurationCursor& cursor, IrFrame& frame) {
    uint64_t bits = 0;
    if (!ReadPulseDistanceFrame(cursor, kKaseikyoTiming, bits) ||
        (Byte(bits, 2) & 0xF) != VendorParity(bits) || Byte(bits, 5) != Parity(bits)) {
        return false;
    }
    const uint32_t vendor = bits & 0xFFFF;
    const uint32_t genre1 = (bits >> 20) & 0xF;
    const uint32_t genre2 = (bits >> 24) & 0xF;
    const uint32_t id = (bits >> 38) & 0x3;
    frame.code.command = (bits >> 28) & 0x3FF;
    frame.code.address = id << 24 | vendor << 8 | genre1 << 4 | genre2;
    return true;
}

void EncodeKaseikyo(const IrCode& code, CSignalBuilder& builder) {
    const uint64_t vendor = (code.address >> 8) & 0xFFFF;
    const uint64_t genre1 = (code.address >> 4) & 0xF;
    const uint64_t genre2 = code.address & 0xF;
    const uint64_t id = (code.address >> 24) & 0x3;
    uint64_t bits =
        vendor | genre1 << 20 | genre2 << 24 | uint64_t{code.command & 0x3FF} << 28 | id << 38;
    bits |= uint64_t{VendorParity(bits)} << 16;
    bits |= uint64_t{Parity(bits)} << 40;
    WritePulseDistanceFrame(builder, kKaseikyoTiming, bits);
}

}  // namespace

const IrProtocol kKaseikyoProtocol = {
    "Kaseikyo", kKaseikyoTiming.carrierHz, 0x3FFFFFF, 0x3FF, false, DecodeKaseikyo, EncodeKaseikyo};
