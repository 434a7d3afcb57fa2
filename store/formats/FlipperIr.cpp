#include "store/formats/FlipperIr.h"

#include <QList>
#include <algorithm>
#include <cmath>
#include <map>
#include <string_view>
#include <vector>

#include "ir/protocols/IrProtocol.h"
#include "store/formats/SignalForm.h"
#include "store/formats/TextLines.h"

namespace {

struct Field {
    QByteArray value;
    int line = 0;
};

struct Block {
    int line = 0;
    std::map<QByteArray, Field> fields;
};

// "04 00 00 00": bytes, least significant first.
bool ParseBytes(const QByteArray& text, uint32_t& value) {
    const QList<QByteArray> tokens = text.simplified().split(' ');
    if (text.trimmed().isEmpty() || tokens.size() > 4) {
        return false;
    }
    value = 0;
    int shift = 0;
    for (const QByteArray& token : tokens) {
        bool ok = false;
        const uint32_t byte = token.toUInt(&ok, 16);
        if (!ok || token.size() > 2 || byte > 0xFF) {
            return false;
        }
        value |= byte << shift;
        shift += 8;
    }
    return true;
}

// The protocols the Flipper itself knows by name. A parsed button of another protocol
// (JVC, Sharp, Denon) does not load there and is written raw.
constexpr std::string_view kFlipperProtocols[] = {
    "NEC", "NECext", "NEC42",  "NEC42ext", "Samsung32", "RC5", "RC5X",
    "RC6", "SIRC",   "SIRC15", "SIRC20",   "Kaseikyo",  "RCA", "Pioneer"};

bool FlipperKnows(const IrProtocol& protocol) {
    return std::ranges::find(kFlipperProtocols, std::string_view(protocol.name)) !=
           std::end(kFlipperProtocols);
}

// The Flipper does not measure a carrier: its raw recordings carry this frequency whatever
// the remote sent.
constexpr uint32_t kRecorderDefaultHz = 38000;

QString Hex(uint32_t value) {
    return QStringLiteral("0x%1")
        .arg(value, 0, 16)
        .toUpper()
        .replace(QStringLiteral("0X"), QStringLiteral("0x"));
}

class Reader {
  public:
    Reader(const QString& fileName, ImportedRemote& remote)
        : fileName_(fileName), remote_(remote) {}

    // Makes the block's button; false with `error` when the block is malformed.
    bool Finish(const Block& block, QString& error) {
        ImportedButton button;
        button.line = block.line;
        button.name = QString::fromUtf8(Value(block, "name"));
        const QByteArray type = Value(block, "type");
        if (button.name.isEmpty()) {
            error = LineError(fileName_, block.line, QStringLiteral("a button without a name"));
            return false;
        }
        if (type == "raw") {
            if (!Raw(block, button, error)) {
                return false;
            }
        } else if (type == "parsed") {
            if (!Parsed(block, button, error)) {
                return false;
            }
        } else {
            error = LineError(fileName_, LineOf(block, "type"),
                              type.isEmpty() ? QStringLiteral("'%1' has no type").arg(button.name)
                                             : QStringLiteral("unknown type '%1' (raw or parsed)")
                                                   .arg(QString::fromUtf8(type.left(20))));
            return false;
        }
        remote_.buttons.push_back(button);
        return true;
    }

  private:
    static QByteArray Value(const Block& block, const char* key) {
        const auto it = block.fields.find(key);
        return it == block.fields.end() ? QByteArray() : it->second.value;
    }
    static int LineOf(const Block& block, const char* key) {
        const auto it = block.fields.find(key);
        return it == block.fields.end() ? block.line : it->second.line;
    }
    bool Require(const Block& block, const char* key, const ImportedButton& button,
                 QString& error) const {
        if (block.fields.count(key) == 0) {
            error = LineError(fileName_, block.line,
                              QStringLiteral("'%1' has no %2").arg(button.name, key));
            return false;
        }
        return true;
    }

    bool Raw(const Block& block, ImportedButton& button, QString& error) const {
        if (!Require(block, "frequency", button, error) || !Require(block, "data", button, error)) {
            return false;
        }
        bool ok = false;
        const uint32_t frequency = Value(block, "frequency").toUInt(&ok);
        if (!ok) {
            error = LineError(fileName_, LineOf(block, "frequency"),
                              QStringLiteral("the frequency is not a whole number"));
            return false;
        }
        std::vector<int64_t> durations;
        for (const QByteArray& token : Value(block, "data").simplified().split(' ')) {
            const uint32_t us = token.toUInt(&ok);
            if (!ok) {
                error = LineError(fileName_, LineOf(block, "data"),
                                  QStringLiteral("'%1' is not a duration in microseconds")
                                      .arg(QString::fromUtf8(token.left(20))));
                return false;
            }
            durations.push_back(durations.size() % 2 == 0 ? int64_t{us} : -int64_t{us});
        }
        IrSignal signal;
        if (MakeIrSignal(durations, 0, CarrierPeriodOfHz(frequency), signal, button.skipped)) {
            if (frequency == kRecorderDefaultHz) {
                TakeProtocolCarrier(signal);
            }
            button.irSignals.push_back(signal);
        }
        return true;
    }

    // A recording at the recorder's default frequency has no measured carrier: the frame's
    // own timing names its protocol, and a protocol whose carrier the default would hide
    // (Pioneer's 40 kHz beside NEC's 38) gets its own, so that the signal keeps its name.
    static void TakeProtocolCarrier(IrSignal& signal) {
        const IrDecoded decoded =
            DecodeIrSignal(std::span<const int32_t>(signal.durations,
                                                    std::min<size_t>(signal.count, kMaxDurations)),
                           0);
        const IrProtocol* pioneer = FindIrProtocol("Pioneer");
        if (decoded.protocol == pioneer) {
            signal.carrierPeriod = CarrierPeriodUs(pioneer->carrierHz);
        }
    }

    bool Parsed(const Block& block, ImportedButton& button, QString& error) const {
        if (!Require(block, "protocol", button, error) ||
            !Require(block, "address", button, error) ||
            !Require(block, "command", button, error)) {
            return false;
        }
        IrCode code;
        for (const char* key : {"address", "command"}) {
            uint32_t& value = QByteArray(key) == "address" ? code.address : code.command;
            if (!ParseBytes(Value(block, key), value)) {
                error = LineError(
                    fileName_, LineOf(block, key),
                    QStringLiteral("the %1 is not up to four hexadecimal bytes").arg(key));
                return false;
            }
        }
        const QByteArray name = Value(block, "protocol");
        const IrProtocol* protocol =
            FindIrProtocol(std::string_view(name.constData(), name.size()));
        if (!protocol) {
            button.skipped = QStringLiteral("unknown protocol '%1'").arg(QString::fromUtf8(name));
            return true;
        }
        IrEncoded encoded;
        switch (EncodeIrSignal(*protocol, code, encoded)) {
            case kIrCodeOk:
                break;
            case kIrCodeAddressOutOfRange:
                button.skipped =
                    QStringLiteral("address %1 is outside %2's range 0x0 to %3")
                        .arg(Hex(code.address), protocol->name, Hex(protocol->addressMax));
                return true;
            case kIrCodeCommandOutOfRange:
                button.skipped =
                    QStringLiteral("command %1 is outside %2's range 0x0 to %3")
                        .arg(Hex(code.command), protocol->name, Hex(protocol->commandMax));
                return true;
            default:
                button.skipped = QStringLiteral("%1 cannot encode this code").arg(protocol->name);
                return true;
        }
        std::vector<int64_t> durations(encoded.durations.begin(), encoded.durations.end());
        IrSignal signal;
        if (MakeIrSignal(durations, encoded.frameStart, encoded.carrierPeriodUs, signal,
                         button.skipped)) {
            button.irSignals.push_back(signal);
        }
        return true;
    }

    const QString& fileName_;
    ImportedRemote& remote_;
};

}  // namespace

ImportResult ReadFlipperIr(const QByteArray& content, const QString& fileName) {
    ImportedRemote remote;
    Reader reader(fileName, remote);
    // The lines every file starts with, in this order, and what a wrong one is.
    struct Header {
        QByteArray key;
        std::vector<QByteArray> values;
        QString wrong;
    };
    const Header headers[] = {
        {"Filetype",
         {"IR signals file", "IR library file"},
         QStringLiteral("not an IR signals file (its first line must be 'Filetype: IR signals "
                        "file')")},
        {"Version", {"1"}, QStringLiteral("only version 1 of IR signals files can be read")},
    };
    size_t headersRead = 0;
    Block block;
    bool inBlock = false;
    auto readLine = [&](const TextLine& line, QString& error) {
        const qsizetype colon = line.text.indexOf(':');
        if (colon <= 0) {
            error = LineError(fileName, line.number, QStringLiteral("not a 'key: value' line"));
            return false;
        }
        const QByteArray key = line.text.left(colon).trimmed();
        const QByteArray value = line.text.mid(colon + 1).trimmed();
        if (headersRead < std::size(headers)) {
            const Header& header = headers[headersRead++];
            if (key != header.key ||
                std::ranges::find(header.values, value) == header.values.end()) {
                error = LineError(fileName, line.number, header.wrong);
                return false;
            }
            return true;
        }
        if (key == "name") {
            if (inBlock && !reader.Finish(block, error)) {
                return false;
            }
            block = Block{line.number, {}};
            inBlock = true;
        } else if (!inBlock) {
            error = LineError(fileName, line.number,
                              QStringLiteral("'%1' before the first 'name:'")
                                  .arg(QString::fromUtf8(key.left(20))));
            return false;
        }
        if (block.fields.count(key) > 0) {
            error = LineError(
                fileName, line.number,
                QStringLiteral("'%1' twice in one button").arg(QString::fromUtf8(key.left(20))));
            return false;
        }
        block.fields[key] = Field{value, line.number};
        return true;
    };
    auto readEnd = [&](int lastLine, QString& error) {
        if (headersRead < std::size(headers)) {
            error = LineError(fileName, lastLine,
                              QStringLiteral("the file ends before its 'Filetype' and 'Version' "
                                             "lines"));
            return false;
        }
        return !inBlock || reader.Finish(block, error);
    };
    return ReadRemoteLines(content, fileName, remote, readLine, readEnd,
                           QStringLiteral("no buttons in the file"), 0);
}

QByteArray WriteFlipperIr(std::span<const ExportButton> buttons) {
    QByteArray out = "Filetype: IR signals file\nVersion: 1\n";
    auto bytes = [](uint32_t value) {
        QByteArray text;
        for (int i = 0; i < 4; ++i) {
            text +=
                QByteArray::number((value >> (8 * i)) & 0xFF, 16).rightJustified(2, '0').toUpper();
            text += i < 3 ? " " : "";
        }
        return text;
    };
    for (const ExportButton& button : buttons) {
        out += "#\nname: " + button.name.toUtf8() + "\n";
        const IrSignal& signal = button.signal;
        const IrDecoded decoded =
            DecodeIrSignal(std::span<const int32_t>(signal.durations,
                                                    std::min<size_t>(signal.count, kMaxDurations)),
                           signal.carrierPeriod);
        if (decoded.protocol && !decoded.frame.bareRepeat && FlipperKnows(*decoded.protocol)) {
            out += "type: parsed\nprotocol: " + QByteArray(decoded.protocol->name) +
                   "\naddress: " + bytes(decoded.frame.code.address) +
                   "\ncommand: " + bytes(decoded.frame.code.command) + "\n";
            continue;
        }
        const uint32_t periodUs = signal.carrierPeriod ? signal.carrierPeriod : 26;
        QByteArray data;
        for (int32_t d : FirstPass(signal)) {
            data += (data.isEmpty() ? "" : " ") + QByteArray::number(std::abs(d));
        }
        out += "type: raw\nfrequency: " + QByteArray::number(std::lround(1e6 / periodUs)) +
               "\nduty_cycle: 0.330000\ndata: " + data + "\n";
    }
    return out;
}
