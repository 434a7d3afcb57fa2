#include "ir/protocols/IrProtocol.h"

#include <array>

#include "ir/IrSignal.h"
#include "ir/protocols/ProtocolEngine.h"
#include "ir/protocols/Protocols.h"

namespace {

// The order is that of the lists shown to users, and decides between readings that fit
// equally well.
constexpr std::array<const IrProtocol*, 17> kProtocols = {
    &kNecProtocol,    &kNecExtProtocol,   &kNec42Protocol, &kNec42ExtProtocol, &kSamsung32Protocol,
    &kRc5Protocol,    &kRc5xProtocol,     &kRc6Protocol,   &kSircProtocol,     &kSirc15Protocol,
    &kSirc20Protocol, &kKaseikyoProtocol, &kRcaProtocol,   &kPioneerProtocol,  &kJvcProtocol,
    &kSharpProtocol,  &kDenonProtocol,
};

// A reading whose durations lie on average further than this from the protocol's nominal
// lengths is no reading: the decoders' tolerances are wide enough to take a quite different
// signal bit by bit (a Sony frame read as bi-phase, every pulse a third off).
constexpr int64_t kMaxMeanDeviationPermille = 250;

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t k = 0; k < a.size(); ++k) {
        if (Lower(a[k]) != Lower(b[k])) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::span<const IrProtocol* const> IrProtocols() {
    return kProtocols;
}

const IrProtocol* FindIrProtocol(std::string_view name) {
    for (const IrProtocol* protocol : kProtocols) {
        if (SameName(protocol->name, name)) {
            return protocol;
        }
    }
    return nullptr;
}

uint8_t CarrierPeriodUs(uint32_t carrierHz) {
    if (carrierHz == 0) {
        return 0;
    }
    const uint32_t periodUs = (1000000 + carrierHz / 2) / carrierHz;
    return static_cast<uint8_t>(periodUs > 255 ? 255 : periodUs);
}

IrDecoded DecodeIrFrame(std::span<const int32_t> durations, size_t start,
                        uint32_t carrierPeriodUs) {
    if (start >= durations.size()) {
        return {};
    }
    // Every protocol reads the frame; the one whose timing it fits best names it.
    IrDecoded best;
    int64_t bestDeviation = kMaxMeanDeviationPermille + 1;
    const uint32_t measuredUs = carrierPeriodUs > 255 ? 255 : carrierPeriodUs;
    for (const IrProtocol* protocol : kProtocols) {
        const uint32_t slackUs = measuredUs ? measuredUs : CarrierPeriodUs(protocol->carrierHz);
        CDurationCursor cursor(durations, start, static_cast<int32_t>(slackUs), measuredUs);
        IrFrame frame;
        if (protocol->decode(cursor, frame) && cursor.MeanDeviationPermille() < bestDeviation) {
            best = {protocol, frame, cursor.Position()};
            bestDeviation = cursor.MeanDeviationPermille();
        }
    }
    return best;
}

IrDecoded DecodeIrSignal(std::span<const int32_t> durations, uint32_t carrierPeriodUs) {
    return DecodeIrFrame(durations, 0, carrierPeriodUs);
}

int CheckIrCode(const IrProtocol& protocol, const IrCode& code) {
    if (code.address > protocol.addressMax) {
        return kIrCodeAddressOutOfRange;
    }
    if (code.command > protocol.commandMax) {
        return kIrCodeCommandOutOfRange;
    }
    if (code.toggle > (protocol.hasToggle ? 1 : 0)) {
        return kIrCodeToggleOutOfRange;
    }
    return kIrCodeOk;
}

int EncodeIrSignal(const IrProtocol& protocol, const IrCode& code, IrEncoded& signal) {
    const int checked = CheckIrCode(protocol, code);
    if (checked != kIrCodeOk) {
        return checked;
    }
    CSignalBuilder builder;
    protocol.encode(code, builder);
    if (builder.Durations().size() > kMaxDurations) {
        return kIrCodeTooLong;
    }
    signal.durations = builder.Durations();
    signal.frameStart = static_cast<uint8_t>(builder.FrameStart());
    signal.carrierPeriodUs = CarrierPeriodUs(protocol.carrierHz);
    return kIrCodeOk;
}

bool EncodeOtherToggle(std::span<const int32_t> durations, uint32_t carrierPeriodUs,
                       IrEncoded& signal) {
    const IrDecoded decoded = DecodeIrSignal(durations, carrierPeriodUs);
    if (!decoded.protocol || !decoded.protocol->hasToggle || decoded.frame.bareRepeat) {
        return false;
    }
    IrCode other = decoded.frame.code;
    other.toggle ^= 1;
    return EncodeIrSignal(*decoded.protocol, other, signal) == kIrCodeOk;
}

bool ParseIrNumber(std::string_view text, uint32_t& value) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string_view digits = hex ? text.substr(2) : text;
    if (digits.empty()) {
        return false;
    }
    const uint64_t base = hex ? 16 : 10;
    uint64_t parsed = 0;
    for (const char c : digits) {
        uint64_t digit = 0;
        if (c >= '0' && c <= '9') {
            digit = uint64_t(c - '0');
        } else if (hex && c >= 'a' && c <= 'f') {
            digit = uint64_t(c - 'a' + 10);
        } else if (hex && c >= 'A' && c <= 'F') {
            digit = uint64_t(c - 'A' + 10);
        } else {
            return false;
        }
        parsed = parsed * base + digit;
        if (parsed > 0xFFFFFFFFull) {
            return false;
        }
    }
    value = static_cast<uint32_t>(parsed);
    return true;
}

std::string IrHex(uint32_t value) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string digits;
    do {
        digits.insert(digits.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value);
    return "0x" + digits;
}

std::string IrCodeProblem(const IrProtocol& protocol, const IrCode& code, int result) {
    const std::string name = protocol.name;
    switch (result) {
        case kIrCodeOk:
            return {};
        case kIrCodeAddressOutOfRange:
            return "address " + IrHex(code.address) + " is out of range for " + name + ": " +
                   IrHex(0) + " to " + IrHex(protocol.addressMax);
        case kIrCodeCommandOutOfRange:
            return "command " + IrHex(code.command) + " is out of range for " + name + ": " +
                   IrHex(0) + " to " + IrHex(protocol.commandMax);
        case kIrCodeToggleOutOfRange:
            return protocol.hasToggle ? "the toggle of " + name + " is 0 or 1"
                                      : name + " has no toggle bit";
        default:
            return name + " cannot encode this code";
    }
}

std::string IrNumberProblem(std::string_view what, std::string_view text) {
    return "the " + std::string(what) + " '" + std::string(text) +
           "' is not a whole number (decimal, or hexadecimal after 0x)";
}
