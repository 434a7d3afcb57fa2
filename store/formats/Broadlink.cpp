#include "store/formats/Broadlink.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <vector>

#include "store/formats/SignalForm.h"
#include "store/formats/TextLines.h"

namespace {

constexpr uint8_t kInfraredType = 0x26;
constexpr uint8_t kRf433Type = 0xB2;
constexpr uint8_t kRf315Type = 0xD7;
constexpr size_t kHeaderBytes = 4;
constexpr uint8_t kLongValue = 0x00;
// The end of a learnt packet: two bytes that are no lengths of their own.
constexpr uint8_t kEnd[] = {0x0D, 0x05};
constexpr uint32_t kCarrierPeriodUs = 26;  // the devices send at 38 kHz

bool IsHex(const QByteArray& code) {
    return code.size() % 2 == 0 &&
           std::all_of(code.begin(), code.end(), [](char c) { return std::isxdigit(uint8_t(c)); });
}

bool Decode(const QByteArray& code, QByteArray& packet) {
    if (IsHex(code) && code.startsWith("26")) {
        packet = QByteArray::fromHex(code);
        return true;
    }
    const auto decoded =
        QByteArray::fromBase64Encoding(code, QByteArray::AbortOnBase64DecodingErrors);
    if (!decoded) {
        return false;
    }
    packet = *decoded;
    return true;
}

// The button of one packet; false with `what` when the packet is malformed.
bool ReadPacket(const QByteArray& packet, ImportedButton& button, QString& what) {
    if (packet.size() < qsizetype(kHeaderBytes)) {
        what = QStringLiteral("the packet ends within its 4-byte header");
        return false;
    }
    const auto* bytes = reinterpret_cast<const uint8_t*>(packet.constData());
    if (bytes[0] == kRf433Type || bytes[0] == kRf315Type) {
        button.skipped = QStringLiteral("a radio code, not infrared");
        return true;
    }
    if (bytes[0] != kInfraredType) {
        what = QStringLiteral("not a Broadlink infrared packet (it starts with 0x%1, not 0x26)")
                   .arg(bytes[0], 2, 16, QLatin1Char('0'));
        return false;
    }
    const size_t length = bytes[2] | (size_t{bytes[3]} << 8);
    const size_t available = size_t(packet.size()) - kHeaderBytes;
    if (length > available) {
        what = QStringLiteral("truncated: the packet says %1 bytes of data, %2 follow")
                   .arg(length)
                   .arg(available);
        return false;
    }
    const uint8_t* data = bytes + kHeaderBytes;
    size_t end = length;
    // Zero bytes inside the length after the end mark are padding.
    std::vector<int64_t> durations;
    for (size_t i = 0; i < end;) {
        if (i + 2 == end && data[i] == kEnd[0] && data[i + 1] == kEnd[1]) {
            break;  // the end mark written as two bytes of its own
        }
        uint32_t units = data[i++];
        if (units == kLongValue) {
            if (i + 2 > end) {
                if (std::all_of(data + i, data + end, [](uint8_t b) { return b == 0; })) {
                    break;  // padding
                }
                what = QStringLiteral("truncated: a long value at byte %1 lacks its two bytes")
                           .arg(kHeaderBytes + i - 1);
                return false;
            }
            units = (uint32_t{data[i]} << 8) | data[i + 1];
            i += 2;
            if (units == 0) {
                // Zero padding: nothing but zero bytes may follow.
                if (!std::all_of(data + i, data + end, [](uint8_t b) { return b == 0; })) {
                    what = QStringLiteral("a length of 0 at byte %1").arg(kHeaderBytes + i - 3);
                    return false;
                }
                break;
            }
        }
        const int64_t us = std::llround(units * kBroadlinkUnitUs);
        durations.push_back(durations.size() % 2 == 0 ? us : -us);
    }
    IrSignal signal;
    if (MakeIrSignal(durations, 0, kCarrierPeriodUs, signal, button.skipped)) {
        button.irSignals.push_back(signal);
    }
    return true;
}

}  // namespace

ImportResult ReadBroadlink(const QByteArray& content, const QString& fileName) {
    ImportedRemote remote;
    int unnamed = 0;
    auto readLine = [&](const TextLine& line, QString& error) {
        ImportedButton button;
        QByteArray code;
        SplitNamedCode(line.text, button.name, code);
        button.line = line.number;
        if (button.name.isEmpty()) {
            if (line.text.contains(':')) {
                error = LineError(fileName, line.number, QStringLiteral("a code without a name"));
                return false;
            }
            button.name = QStringLiteral("Code %1").arg(++unnamed);
        }
        QByteArray packet;
        if (code.isEmpty() || !Decode(code, packet)) {
            error = LineError(fileName, line.number,
                              QStringLiteral("not a Broadlink code (base64 or hexadecimal)"));
            return false;
        }
        QString what;
        if (!ReadPacket(packet, button, what)) {
            error = LineError(fileName, line.number, what);
            return false;
        }
        remote.buttons.push_back(button);
        return true;
    };
    return ReadRemoteLines(
        content, fileName, remote, readLine, [](int, QString&) { return true; },
        QStringLiteral("no Broadlink codes in the file"));
}

QString BroadlinkCode(const IrSignal& signal) {
    QByteArray packet(kHeaderBytes, '\0');
    packet[0] = char(kInfraredType);
    for (int32_t d : FirstPass(signal)) {
        const long units = std::clamp(std::lround(std::abs(d) / kBroadlinkUnitUs), 1L, 0xFFFFL);
        if (units >= 256) {
            packet += char(kLongValue);
            packet += char(units >> 8);
        }
        packet += char(units & 0xFF);
    }
    const size_t length = size_t(packet.size()) - kHeaderBytes;
    packet[2] = char(length & 0xFF);
    packet[3] = char((length >> 8) & 0xFF);
    return QString::fromLatin1(packet.toBase64());
}
