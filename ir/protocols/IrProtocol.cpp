#include "IrProtocol.h"

#include <array>

#include "IrSignal.h"
#include "JvcProtocol.h"
#include "KaseikyoProtocol.h"
#include "NecProtocol.h"
#include "PioneerProtocol.h"
#include "ProtocolEngine.h"
#include "Rc5Protocol.h"
#include "Rc6Protocol.h"
#include "RcaProtocol.h"
#include "Samsung32Protocol.h"
#include "SharpProtocol.h"
#include "SircProtocol.h"

namespace {

// Every frame fits exactly one of these, so the order only decides which name a caller
// sees first in lists.
constexpr std::array<const IrProtocol*, 17> kProtocols = {
    &kNecProtocol,    &kNecExtProtocol,   &kNec42Protocol, &kNec42ExtProtocol, &kSamsung32Protocol,
    &kRc5Protocol,    &kRc5xProtocol,     &kRc6Protocol,   &kSircProtocol,     &kSirc15Protocol,
    &kSirc20Protocol, &kKaseikyoProtocol, &kRcaProtocol,   &kPioneerProtocol,  &kJvcProtocol,
    &kSharpProtocol,  &kDenonProtocol,
};

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
    for (const IrProtocol* protocol : kProtocols) {
        const uint32_t slackUs =
            carrierPeriodUs ? carrierPeriodUs : CarrierPeriodUs(protocol->carrierHz);
        CDurationCursor cursor(durations, start,
                               static_cast<int32_t>(slackUs > 255 ? 255 : slackUs));
        IrFrame frame;
        if (protocol->decode(cursor, frame)) {
            return {protocol, frame, cursor.Position()};
        }
    }
    return {};
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
