#include "store/formats/LircdExport.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "store/formats/SignalForm.h"

namespace {

constexpr int kValuesPerLine = 8;

QByteArray Token(const QString& name) {
    QByteArray token = name.toUtf8();
    for (char& c : token) {
        if (c == ' ' || c == '\t') {
            c = '_';
        }
    }
    return token.isEmpty() ? QByteArray("unnamed") : token;
}

}  // namespace

QByteArray WriteLircdConf(const QString& remoteName, std::span<const ExportButton> buttons) {
    const uint32_t periodUs = !buttons.empty() && buttons.front().signal.carrierPeriod
                                  ? buttons.front().signal.carrierPeriod
                                  : 26;
    int32_t gapUs = 0;
    std::vector<std::vector<int32_t>> codes;
    for (const ExportButton& button : buttons) {
        std::vector<int32_t> pass = FirstPass(button.signal);
        if (!pass.empty()) {
            gapUs = std::max(gapUs, -pass.back());
            pass.pop_back();
        }
        codes.push_back(std::move(pass));
    }
    if (gapUs == 0) {
        gapUs = kTrailingGapUs;
    }
    QByteArray out;
    out += "begin remote\n\n";
    out += "  name  " + Token(remoteName) + "\n";
    out += "  flags RAW_CODES\n";
    out += "  eps   30\n";
    out += "  aeps  100\n";
    out += "  frequency " + QByteArray::number(std::lround(1e6 / periodUs)) + "\n";
    out += "  gap   " + QByteArray::number(gapUs) + "\n\n";
    out += "  begin raw_codes\n";
    for (size_t b = 0; b < buttons.size(); ++b) {
        out += "\n    name " + Token(buttons[b].name) + "\n";
        const std::vector<int32_t>& code = codes[b];
        for (size_t i = 0; i < code.size(); ++i) {
            out += (i % kValuesPerLine == 0 ? "      " : " ") +
                   QByteArray::number(std::abs(code[i])).rightJustified(7, ' ');
            if (i % kValuesPerLine == kValuesPerLine - 1 || i + 1 == code.size()) {
                out += "\n";
            }
        }
    }
    out += "\n  end raw_codes\n\nend remote\n";
    return out;
}
