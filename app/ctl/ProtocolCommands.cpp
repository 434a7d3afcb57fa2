#include "app/ctl/ProtocolCommands.h"

#include <vector>

#include "app/ctl/Durations.h"
#include "app/ctl/HostCodebase.h"
#include "app/ctl/LearnOutput.h"
#include "ir/IrSignal.h"
#include "ir/protocols/IrProtocol.h"
#include "model/ButtonCodes.h"
#include "model/CRemoteModel.h"
#include "model/ResultText.h"
#include "store/CCodebaseFile.h"

namespace {

std::string Hex(uint32_t value) {
    return IrHex(value);
}

std::string KnownProtocols() {
    std::string names;
    for (const IrProtocol* protocol : IrProtocols()) {
        names += names.empty() ? "" : ", ";
        names += protocol->name;
    }
    return names;
}

// Every button and signal of a codebase, decoded.
int DecodeCodebase(const std::string& path, std::ostream& out, std::ostream& err) {
    HostCodebase host(path);
    std::vector<ButtonCode> rows;
    const StoreResult result = DecodeButtons(host.Fs(), host.Path(), rows);
    if (result == kStoreNotACodebase) {
        err << "ardelctl decode: '" << path << "' is not a codebase\n";
        return 1;
    }
    if (result != kStoreOk) {
        err << "ardelctl decode: cannot open '" << path << "'\n";
        return 1;
    }
    for (const ButtonCode& row : rows) {
        out << row.button.toStdString() << "\t" << row.signal << "\t";
        if (!row.protocol) {
            out << "unknown\t\t\n";
        } else if (row.frame.bareRepeat) {
            out << row.protocol->name << "\t\t\n";
        } else {
            out << row.protocol->name << "\t" << Hex(row.frame.code.address) << "\t"
                << Hex(row.frame.code.command) << "\n";
        }
    }
    return 0;
}

// Stores an encoded button in a codebase through the remote model, as learning does.
// A code given on the command line stands in for a read.
class CGivenCodeFace : public LearnFace {
  public:
    explicit CGivenCodeFace(const IrSignal& signal) : signal_(signal) {}
    int Read(const LearnStep&, const std::function<int()>&) override { return kByCode; }
    bool AskCode(const QString&, IrSignal& coded) override {
        coded = signal_;
        return true;
    }

  private:
    IrSignal signal_;
};

// Stores an encoded button in a codebase through the remote model, as learning by code does.
int StoreEncoded(const IrEncoded& encoded, const CodebaseTarget& target, std::ostream& out,
                 std::ostream& err) {
    HostCodebase host(target.file);
    RemoteServices services;
    services.fs = &host.Fs();
    CRemoteModel model(services);
    CGivenCodeFace face(
        MakeIrSignal(encoded.durations, encoded.frameStart, encoded.carrierPeriodUs));
    LearnRequest request = LearnRequestFor(target, host.Path());
    request.how = LearnHow::ByCode;
    const LearnOutcome outcome = model.LearnButton(request, face);
    if (outcome.code != kOpOk) {
        err << "ardelctl encode: " << LearnFailureText(outcome).toStdString() << "\n";
        return 1;
    }
    out << "stored: " << target.button << " signal " << target.signal << "\n";
    return 0;
}

}  // namespace

int RunDecodeCommand(const DecodeOptions& options, std::istream& in, std::ostream& out,
                     std::ostream& err) {
    if (!options.codebase.empty()) {
        return DecodeCodebase(options.codebase, out, err);
    }
    if (options.carrierUs && (*options.carrierUs < 1 || *options.carrierUs > 255)) {
        err << "ardelctl decode: --carrier-us takes a whole number from 1 to 255, not "
            << *options.carrierUs << "\n";
        return 1;
    }
    std::vector<int32_t> durations;
    std::string error;
    if (!ReadDurationsFrom(options.file, in, durations, error)) {
        err << "ardelctl decode: " << error << "\n";
        return 1;
    }
    if (durations.empty()) {
        err << "ardelctl decode: the signal is empty\n";
        return 1;
    }
    if (durations.size() > kMaxDurations) {
        err << "ardelctl decode: " << durations.size() << " values, but a signal holds at most "
            << kMaxDurations << "\n";
        return 1;
    }
    const IrDecoded decoded =
        DecodeIrSignal(durations, static_cast<uint32_t>(options.carrierUs.value_or(0)));
    if (!decoded.protocol) {
        out << "protocol: unknown\n";
        return 0;
    }
    out << "protocol: " << decoded.protocol->name << "\n";
    if (decoded.frame.bareRepeat) {
        // A repeat code by itself names no code.
        out << "repeat: 1\n";
        return 0;
    }
    out << "address: " << Hex(decoded.frame.code.address) << "\n";
    out << "command: " << Hex(decoded.frame.code.command) << "\n";
    if (decoded.protocol->hasToggle) {
        out << "toggle: " << int(decoded.frame.code.toggle) << "\n";
    }
    return 0;
}

int RunEncodeCommand(const EncodeOptions& options, std::ostream& out, std::ostream& err) {
    const IrProtocol* protocol = FindIrProtocol(options.protocol);
    if (!protocol) {
        err << "ardelctl encode: unknown protocol '" << options.protocol
            << "'; known protocols: " << KnownProtocols() << "\n";
        return 1;
    }
    IrCode code;
    if (!ParseIrNumber(options.address, code.address)) {
        err << "ardelctl encode: " << IrNumberProblem("address", options.address) << "\n";
        return 1;
    }
    if (!ParseIrNumber(options.command, code.command)) {
        err << "ardelctl encode: " << IrNumberProblem("command", options.command) << "\n";
        return 1;
    }
    if (options.toggle) {
        if (!protocol->hasToggle) {
            err << "ardelctl encode: " << protocol->name << " has no toggle bit\n";
            return 1;
        }
        if (*options.toggle != 0 && *options.toggle != 1) {
            err << "ardelctl encode: --toggle takes 0 or 1, not " << *options.toggle << "\n";
            return 1;
        }
        code.toggle = static_cast<uint8_t>(*options.toggle);
    }
    IrEncoded signal;
    const int encoded = EncodeIrSignal(*protocol, code, signal);
    if (encoded != kIrCodeOk) {
        err << "ardelctl encode: " << IrCodeProblem(*protocol, code, encoded) << "\n";
        return 1;
    }
    if (options.codebase.Given()) {
        return StoreEncoded(signal, options.codebase, out, err);
    }
    out << "carrier_us: " << int(signal.carrierPeriodUs) << "\n";
    out << "frame_start: " << int(signal.frameStart) << "\n";
    out << "count: " << signal.durations.size() << "\n";
    out << "durations: " << JoinDurations(signal.durations.data(), signal.durations.size()) << "\n";
    return 0;
}
