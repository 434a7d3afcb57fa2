// Infrared protocols by name: what a signal is ("NEC, address 0x04, command 0x08"), and the
// signal of a held button made from a protocol, an address and a command. Names and the
// split of address and command follow the .ir files of the Flipper Zero, so that codes move
// between the two programs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class CDurationCursor;
class CSignalBuilder;

// An address, a command and, for toggle protocols, the toggle bit.
struct IrCode {
    uint32_t address = 0;
    uint32_t command = 0;
    uint8_t toggle = 0;  // 0 or 1; only toggle protocols use it
};

// What one frame of a signal is, as its protocol's decoder found it.
struct IrFrame {
    IrCode code;
    // The protocol's repeat form (a repeat code, or a frame sent only while a button is held).
    bool repeat = false;
    // A repeat code that names no address and no command (the NEC and Samsung repeat codes);
    // `code` is then all zero.
    bool bareRepeat = false;
};

struct IrProtocol {
    const char* name;
    uint32_t carrierHz;  // nominal carrier frequency
    uint32_t addressMax;
    uint32_t commandMax;
    bool hasToggle;  // the toggle bit changes with each press (RC5, RC6)
    // Reads one frame or repeat form from the cursor, ending after its gap. On false the
    // cursor's position is of no meaning.
    bool (*decode)(CDurationCursor& cursor, IrFrame& frame);
    // Writes a held button: the first frame and, after CSignalBuilder::StartRepeat, the
    // frame that repeats while the button stays down (nothing more when the first frame
    // itself repeats). Every pass ends with the protocol's gap.
    void (*encode)(const IrCode& code, CSignalBuilder& builder);
};

// Every protocol, in the order in which decoding tries them.
std::span<const IrProtocol* const> IrProtocols();

// The protocol of that name, ignoring letter case; nullptr if there is none.
const IrProtocol* FindIrProtocol(std::string_view name);

// The carrier period in whole microseconds nearest to a frequency (38 kHz: 26).
uint8_t CarrierPeriodUs(uint32_t carrierHz);

struct IrDecoded {
    const IrProtocol* protocol = nullptr;  // nullptr: no protocol fits in full
    IrFrame frame;
    size_t next = 0;  // index just after the frame and its gap
};

// Decodes the frame that begins at index `start`: of the protocols whose frame or repeat
// form matches in full, gap included, the one whose timing the durations fit best (a
// reading far off the protocol's timing counts as none), or no protocol. `carrierPeriodUs`
// is the period the signal was learnt with (0 if it was not measured: each protocol then
// assumes its own): learnt marks run longer by up to one period and spaces shorter by as
// much. A measured carrier also tells protocols of one frame apart (NEC and Pioneer).
IrDecoded DecodeIrFrame(std::span<const int32_t> durations, size_t start, uint32_t carrierPeriodUs);

// Decodes a signal (a raw list of durations, or a stored signal: its first frame, the
// repeating frame, a trailing gap) by its first frame.
IrDecoded DecodeIrSignal(std::span<const int32_t> durations, uint32_t carrierPeriodUs);

// A held button in the program's own form of a signal.
struct IrEncoded {
    std::vector<int32_t> durations;
    uint8_t frameStart = 0;  // first duration of the repeating frame
    uint8_t carrierPeriodUs = 0;
};

// Result codes of CheckIrCode and EncodeIrSignal.
constexpr int kIrCodeOk = 0;
constexpr int kIrCodeAddressOutOfRange = 1;
constexpr int kIrCodeCommandOutOfRange = 2;
constexpr int kIrCodeToggleOutOfRange = 3;  // not 0 or 1, or given to a protocol without one
constexpr int kIrCodeTooLong = 4;           // more than kMaxDurations durations

int CheckIrCode(const IrProtocol& protocol, const IrCode& code);

// The held-button signal of a code; on a result other than kIrCodeOk `signal` is untouched.
int EncodeIrSignal(const IrProtocol& protocol, const IrCode& code, IrEncoded& signal);

// For a signal of a toggle protocol: the same button with the other toggle value, so that
// successive presses alternate as the original remote's do. False (and `signal` untouched)
// when the signal is not a full frame of a toggle protocol.
bool EncodeOtherToggle(std::span<const int32_t> durations, uint32_t carrierPeriodUs,
                       IrEncoded& signal);

// An address or command as a user types it: decimal, or hexadecimal after "0x", from 0 to
// 0xFFFFFFFF. False for anything else (signs, blanks, no digits, too large).
bool ParseIrNumber(std::string_view text, uint32_t& value);

// "0x1F": a value as codes are written.
std::string IrHex(uint32_t value);

// What is wrong with a code that CheckIrCode or EncodeIrSignal refused with `result`, in the
// words every front end shows ("address 0x100 is out of range for NEC: 0x0 to 0xFF"); empty
// for kIrCodeOk.
std::string IrCodeProblem(const IrProtocol& protocol, const IrCode& code, int result);

// What is wrong with `text` typed as the address or command (`what`) when ParseIrNumber
// refused it: "the address 'x1' is not a whole number (decimal, or hexadecimal after 0x)".
std::string IrNumberProblem(std::string_view what, std::string_view text);
