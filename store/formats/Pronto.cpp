#include "store/formats/Pronto.h"

#include <QList>
#include <QStringList>
#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

#include "ir/protocols/IrProtocol.h"
#include "store/formats/SignalForm.h"
#include "store/formats/TextLines.h"

namespace {

constexpr uint16_t kLearned = 0x0000;
constexpr uint16_t kUnmodulated = 0x0100;
constexpr size_t kHeaderWords = 4;

struct Word {
    uint16_t value;
    int line;
};

bool ParseWord(const QByteArray& token, uint16_t& value) {
    if (token.size() != 4) {
        return false;
    }
    bool ok = false;
    value = static_cast<uint16_t>(token.toUInt(&ok, 16));
    return ok;
}

struct Reader {
    const QString& fileName;
    ImportedRemote& remote;
    QString error;
    int unnamed = 0;

    // One code from words[pos...]; `pos` moves past it. `name` empty: "Code N".
    bool ReadCode(const std::vector<Word>& words, size_t& pos, QString name) {
        const int line = words[pos].line;
        if (words.size() - pos < kHeaderWords) {
            error = LineError(fileName, line,
                              QStringLiteral("the code ends after %1 words, before its four "
                                             "header words")
                                  .arg(words.size() - pos));
            return false;
        }
        const uint16_t type = words[pos].value;
        const uint16_t frequencyWord = words[pos + 1].value;
        const size_t introPairs = words[pos + 2].value;
        const size_t repeatPairs = words[pos + 3].value;
        const size_t total = kHeaderWords + 2 * (introPairs + repeatPairs);
        if (words.size() - pos < total) {
            error = LineError(fileName, line,
                              QStringLiteral("the code ends after %1 of the %2 words that its "
                                             "pair counts (%3 + %4) call for")
                                  .arg(words.size() - pos)
                                  .arg(total)
                                  .arg(introPairs)
                                  .arg(repeatPairs));
            return false;
        }
        if (name.isEmpty()) {
            name = QStringLiteral("Code %1").arg(++unnamed);
        }
        ImportedButton button;
        button.name = name;
        button.line = line;
        const size_t first = pos + kHeaderWords;
        pos += total;
        if (type != kLearned && type != kUnmodulated) {
            button.skipped = QStringLiteral(
                                 "Pronto code type %1 is not supported (only learned "
                                 "0000 and unmodulated 0100 codes)")
                                 .arg(type, 4, 16, QLatin1Char('0'));
            remote.buttons.push_back(button);
            return true;
        }
        if (introPairs + repeatPairs == 0) {
            error = LineError(fileName, line, QStringLiteral("the code has no burst pairs"));
            return false;
        }
        if (frequencyWord == 0) {
            error = LineError(fileName, line, QStringLiteral("the frequency word is 0000"));
            return false;
        }
        const double unitUs = frequencyWord * kProntoUnitUs;
        std::vector<int64_t> durations;
        for (size_t i = 0; i < 2 * (introPairs + repeatPairs); ++i) {
            const int64_t us = std::llround(words[first + i].value * unitUs);
            durations.push_back(i % 2 == 0 ? us : -us);
        }
        const size_t frameStart = repeatPairs > 0 ? 2 * introPairs : 0;
        uint32_t carrierUs = 0;
        if (type == kLearned) {
            carrierUs = static_cast<uint32_t>(std::lround(unitUs));
        } else {
            // Without a carrier in the code, the one of its protocol, else the common 38 kHz.
            std::vector<int32_t> plain;
            for (int64_t d : durations) {
                plain.push_back(static_cast<int32_t>(std::clamp<int64_t>(d, INT32_MIN, INT32_MAX)));
            }
            const IrDecoded decoded = DecodeIrSignal(plain, 0);
            carrierUs = CarrierPeriodUs(decoded.protocol ? decoded.protocol->carrierHz : 38000);
        }
        IrSignal signal;
        QString reason;
        if (MakeIrSignal(durations, frameStart, carrierUs, signal, reason)) {
            button.irSignals.push_back(signal);
        } else {
            button.skipped = reason;
        }
        remote.buttons.push_back(button);
        return true;
    }
};

bool Tokenise(const TextLine& line, const QByteArray& text, std::vector<Word>& words,
              const QString& fileName, QString& error) {
    for (const QByteArray& token : text.simplified().split(' ')) {
        if (token.isEmpty()) {
            continue;
        }
        uint16_t value = 0;
        if (!ParseWord(token, value)) {
            error = LineError(fileName, line.number,
                              QStringLiteral("'%1' is not a word of four hexadecimal digits")
                                  .arg(QString::fromUtf8(token.left(20))));
            return false;
        }
        words.push_back({value, line.number});
    }
    return true;
}

}  // namespace

ImportResult ReadPronto(const QByteArray& content, const QString& fileName) {
    ImportedRemote remote;
    Reader reader{fileName, remote, {}};
    std::vector<Word> stream;  // unnamed codes, which may run over several lines
    size_t streamPos = 0;
    auto drainStream = [&](QString& error) {
        while (streamPos < stream.size()) {
            if (!reader.ReadCode(stream, streamPos, {})) {
                error = reader.error;
                return false;
            }
        }
        stream.clear();
        streamPos = 0;
        return true;
    };
    auto readLine = [&](const TextLine& line, QString& error) {
        QString name;
        QByteArray code;
        SplitNamedCode(line.text, name, code);
        if (name.isEmpty() && line.text.contains(':')) {
            error = LineError(fileName, line.number, QStringLiteral("a code without a name"));
            return false;
        }
        std::vector<Word> words;
        if (!Tokenise(line, code, words, fileName, error)) {
            return false;
        }
        if (name.isEmpty()) {
            stream.insert(stream.end(), words.begin(), words.end());
            return true;
        }
        // A named code stands on its line alone: what runs over or falls short is an error.
        if (!drainStream(error)) {
            return false;
        }
        if (words.empty()) {
            error = LineError(fileName, line.number, QStringLiteral("'%1' has no code").arg(name));
            return false;
        }
        size_t pos = 0;
        if (!reader.ReadCode(words, pos, name)) {
            error = reader.error;
            return false;
        }
        if (pos != words.size()) {
            error = LineError(fileName, line.number,
                              QStringLiteral("words left over after the code that its pair "
                                             "counts call for: %1")
                                  .arg(words.size() - pos));
            return false;
        }
        return true;
    };
    return ReadRemoteLines(
        content, fileName, remote, readLine,
        [&](int, QString& error) { return drainStream(error); },
        QStringLiteral("no Pronto codes in the file"));
}

QString ProntoCode(const IrSignal& signal) {
    const BurstPairs pairs = SplitIntoBurstPairs(signal);
    const uint32_t periodUs = signal.carrierPeriod ? signal.carrierPeriod : 26;
    const long frequencyWord = std::max(1L, std::lround(periodUs / kProntoUnitUs));
    const double unitUs = frequencyWord * kProntoUnitUs;
    auto word = [](long value) {
        return QStringLiteral("%1")
            .arg(std::clamp(value, 0L, 0xFFFFL), 4, 16, QLatin1Char('0'))
            .toUpper();
    };
    QStringList words{word(kLearned), word(frequencyWord), word(long(pairs.intro.size() / 2)),
                      word(long(pairs.frame.size() / 2))};
    for (const std::vector<int32_t>* part : {&pairs.intro, &pairs.frame}) {
        for (int32_t d : *part) {
            words.push_back(word(std::max(1L, std::lround(std::abs(d) / unitUs))));
        }
    }
    return words.join(QLatin1Char(' '));
}
