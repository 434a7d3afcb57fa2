#include "store/formats/LircdParser.h"

#include "store/formats/TextLines.h"

#include <algorithm>
#include <array>
#include <limits>
#include <optional>
#include <string_view>

// A LIRC remote file is read line by line: "begin remote" ... "end remote" blocks, each with
// its parameters and either a "codes" block (button name and code) or a "raw_codes" block
// ("name" lines, each followed by the button's pulse and space lengths).

using namespace lircd;

namespace {

constexpr int kMaxButtons = 20000;  // per file; a larger file is no remote file

struct FlagName {
    std::string_view name;
    uint32_t flag;
};
constexpr std::array kFlagNames = {
    FlagName{"RAW_CODES", kRawCodes},
    FlagName{"RC5", kRc5},
    FlagName{"SHIFT_ENC", kRc5},
    FlagName{"RC6", kRc6},
    FlagName{"RCMM", kRcmm},
    FlagName{"SPACE_ENC", kSpaceEnc},
    FlagName{"SPACE_FIRST", kSpaceFirst},
    FlagName{"GRUNDIG", kGrundig},
    FlagName{"BO", kBo},
    FlagName{"SERIAL", kSerial},
    FlagName{"XMP", kXmp},
    FlagName{"REVERSE", kReverse},
    FlagName{"NO_HEAD_REP", kNoHeadRep},
    FlagName{"NO_FOOT_REP", kNoFootRep},
    FlagName{"CONST_LENGTH", kConstLength},
    FlagName{"REPEAT_HEADER", kRepeatHeader},
};

// ---------------------------------------------------------------------------------------
// Numbers as LIRC reads them: "0x" hexadecimal, a leading 0 octal, else decimal.

std::optional<uint64_t> ParseUnsigned(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    unsigned base = 10;
    size_t pos = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        pos = 2;
    } else if (text.size() > 1 && text[0] == '0') {
        base = 8;
        pos = 1;
    }
    uint64_t value = 0;
    for (; pos < text.size(); ++pos) {
        const char c = text[pos];
        unsigned digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return std::nullopt;
        }
        if (digit >= base || value > (std::numeric_limits<uint64_t>::max() - digit) / base) {
            return std::nullopt;
        }
        value = value * base + digit;
    }
    return value;
}

std::optional<int64_t> ParseSigned(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    const std::optional<uint64_t> value = ParseUnsigned(text);
    if (!value || *value > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) {
        return std::nullopt;
    }
    const auto magnitude = static_cast<int64_t>(*value);
    return negative ? -magnitude : magnitude;
}

// A length in microseconds.
std::optional<int64_t> ParseDuration(std::string_view text) {
    const std::optional<uint64_t> value = ParseUnsigned(text);
    if (!value || *value > static_cast<uint64_t>(std::numeric_limits<int32_t>::max())) {
        return std::nullopt;
    }
    return static_cast<int64_t>(*value);
}

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The words of a line, one at a time; a word that begins with '#' starts a comment.
class CWords {
  public:
    explicit CWords(std::string_view text) : text_(text) {}
    std::optional<std::string_view> Next() {
        const size_t start = text_.find_first_not_of(kBlanks, at_);
        if (start == std::string_view::npos || text_[start] == '#') {
            at_ = text_.size();
            return std::nullopt;
        }
        const size_t stop = std::min(text_.find_first_of(kBlanks, start), text_.size());
        at_ = stop;
        return text_.substr(start, stop - start);
    }

  private:
    static constexpr std::string_view kBlanks = " \t\r\f\v";
    std::string_view text_;
    size_t at_ = 0;
};

bool Is(std::string_view token, std::string_view word) {
    return token.size() == word.size() &&
           std::equal(token.begin(), token.end(), word.begin(), [](char a, char b) {
               return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) ==
                      (b >= 'A' && b <= 'Z' ? b - 'A' + 'a' : b);
           });
}

// A parameter that sets one field of a remote.
template <typename T>
struct FieldName {
    std::string_view key;
    T LircRemote::*field;
};

// The parameter of `params` that `key` names, or nullptr.
template <typename T, size_t N>
const FieldName<T>* Named(const FieldName<T> (&params)[N], std::string_view key) {
    for (const FieldName<T>& param : params) {
        if (Is(key, param.key)) {
            return &param;
        }
    }
    return nullptr;
}

// ---------------------------------------------------------------------------------------
// The reader.

class CLircdReader {
  public:
    CLircdReader(const QByteArray& content, const QString& fileName)
        : content_(content.constData(), static_cast<size_t>(content.size())), fileName_(fileName) {}

    // The remotes of the file, or false with `error_` set.
    bool Read(std::vector<LircRemote>& remotes, std::vector<QString>& notes);
    const QString& Error() const { return error_; }

  private:
    enum class Mode { Outside, Remote, Codes, RawCodes };
    // What a line's first words did: nothing (the line is the current block's), or they
    // handled it, well or not.
    enum class Handled { No, Yes, Failed };

    bool Fail(const QString& what) {
        error_ = QStringLiteral("%1, line %2: %3").arg(fileName_).arg(line_).arg(what);
        return false;
    }
    bool NotANumber(std::string_view token) {
        return Fail(QStringLiteral("\"%1\" is not a number here.").arg(Text(token)));
    }
    static Handled Result(bool ok) { return ok ? Handled::Yes : Handled::Failed; }

    bool RefuseBinary();
    // One line: `tokens` holds its first three words (or fewer), `words` the rest.
    bool Line(const std::vector<std::string_view>& tokens, CWords& words);
    Handled Begin(std::string_view what);
    Handled End(std::string_view what);
    bool EndCodes();
    bool EndRemote();
    bool Finish();

    // `tokens` holds the first three words of the line (or fewer).
    bool Parameter(const std::vector<std::string_view>& tokens);
    bool Number(std::string_view key, std::string_view value, bool& known);
    bool Pair(std::string_view key, const std::vector<std::string_view>& tokens, bool& known);
    bool Gap(const std::vector<std::string_view>& tokens);
    bool Frequency(std::string_view value);
    bool Flags(std::string_view text);

    bool CodeLine(const std::vector<std::string_view>& tokens, CWords& words);
    bool RawCodeLine(const std::vector<std::string_view>& tokens, CWords& words);
    bool RawLength(std::string_view word);
    // A raw code must end with a pulse.
    bool CheckRawCount();
    bool CountButton();

    std::string_view content_;
    QString fileName_;
    QString error_;
    int line_ = 0;
    int buttons_ = 0;
    Mode mode_ = Mode::Outside;
    int blockLine_ = 0;  // where the open block began
    LircRemote remote_;
    bool inRaw_ = false;  // the last raw code of remote_ takes lengths
    std::vector<LircRemote>* remotes_ = nullptr;
    std::vector<QString>* notes_ = nullptr;
    std::vector<QString> comments_;  // since the last remote's end
};

bool CLircdReader::CountButton() {
    if (++buttons_ > kMaxButtons) {
        return Fail(
            QStringLiteral("more than %1 buttons; this is no remote file.").arg(kMaxButtons));
    }
    return true;
}

bool CLircdReader::Flags(std::string_view text) {
    while (!text.empty()) {
        const size_t bar = text.find('|');
        const std::string_view name = text.substr(0, bar);
        text = bar == std::string_view::npos ? std::string_view() : text.substr(bar + 1);
        const auto found = std::find_if(kFlagNames.begin(), kFlagNames.end(),
                                        [&](const FlagName& flag) { return Is(name, flag.name); });
        if (found == kFlagNames.end()) {
            return Fail(QStringLiteral("unknown flag \"%1\".").arg(Text(name)));
        }
        if ((found->flag & kEncodings) && (remote_.flags & kEncodings) &&
            !(remote_.flags & found->flag)) {
            return Fail(QStringLiteral("more than one encoding in the flags."));
        }
        remote_.flags |= found->flag;
    }
    return true;
}

// The parameters that set one number of the remote.
bool CLircdReader::Number(std::string_view key, std::string_view value, bool& known) {
    static constexpr FieldName<int> kInts[] = {
        {"bits", &LircRemote::bits},
        {"pre_data_bits", &LircRemote::preDataBits},
        {"post_data_bits", &LircRemote::postDataBits},
        {"min_repeat", &LircRemote::minRepeat},
        {"toggle_bit", &LircRemote::toggleBit},
        {"repeat_bit", &LircRemote::toggleBit},  // the older name
    };
    static constexpr FieldName<uint64_t> kCodes[] = {
        {"pre_data", &LircRemote::preData},
        {"post_data", &LircRemote::postData},
        {"toggle_bit_mask", &LircRemote::toggleBitMask},
        {"toggle_mask", &LircRemote::toggleMask},
        {"repeat_mask", &LircRemote::repeatMask},
        {"rc6_mask", &LircRemote::rc6Mask},
    };
    static constexpr FieldName<int64_t> kLengths[] = {
        {"plead", &LircRemote::plead},
        {"ptrail", &LircRemote::ptrail},
        {"repeat_gap", &LircRemote::repeatGap},
    };
    known = true;
    auto set = [&](auto& field, const auto& number) {
        if (!number) {
            return NotANumber(value);
        }
        field = static_cast<std::remove_reference_t<decltype(field)>>(*number);
        return true;
    };
    if (const auto* param = Named(kInts, key)) {
        return set(remote_.*param->field, ParseSigned(value));
    }
    if (const auto* param = Named(kCodes, key)) {
        return set(remote_.*param->field, ParseUnsigned(value));
    }
    if (const auto* param = Named(kLengths, key)) {
        return set(remote_.*param->field, ParseDuration(value));
    }
    known = false;
    return true;
}

// The parameters of a pulse and a space.
bool CLircdReader::Pair(std::string_view key, const std::vector<std::string_view>& tokens,
                        bool& known) {
    static constexpr FieldName<PulseSpace> kPairs[] = {
        {"header", &LircRemote::header}, {"one", &LircRemote::one},     {"zero", &LircRemote::zero},
        {"two", &LircRemote::two},       {"three", &LircRemote::three}, {"foot", &LircRemote::foot},
        {"repeat", &LircRemote::repeat}, {"pre", &LircRemote::pre},     {"post", &LircRemote::post},
    };
    const auto* param = Named(kPairs, key);
    known = param != nullptr;
    if (!param) {
        return true;
    }
    if (tokens.size() < 3) {
        return Fail(QStringLiteral("\"%1\" needs a pulse and a space.").arg(Text(key)));
    }
    const std::optional<int64_t> pulse = ParseDuration(tokens[1]);
    const std::optional<int64_t> space = ParseDuration(tokens[2]);
    if (!pulse || !space) {
        return NotANumber(pulse ? tokens[2] : tokens[1]);
    }
    remote_.*param->field = {*pulse, *space};
    return true;
}

bool CLircdReader::Gap(const std::vector<std::string_view>& tokens) {
    const std::optional<int64_t> gap = ParseDuration(tokens[1]);
    std::optional<int64_t> gap2 = 0;
    if (tokens.size() > 2) {
        gap2 = ParseDuration(tokens[2]);
    }
    if (!gap || !gap2) {
        return NotANumber(gap ? tokens[2] : tokens[1]);
    }
    remote_.gap = *gap;
    remote_.gap2 = *gap2;
    return true;
}

bool CLircdReader::Frequency(std::string_view value) {
    const std::optional<uint64_t> number = ParseUnsigned(value);
    if (!number || *number > std::numeric_limits<uint32_t>::max()) {
        return NotANumber(value);
    }
    remote_.frequencyHz = static_cast<uint32_t>(*number);
    return true;
}

bool CLircdReader::Parameter(const std::vector<std::string_view>& tokens) {
    const std::string_view key = tokens[0];
    const std::string_view value = tokens[1];
    bool known = false;
    if (const bool ok = Number(key, value, known); known || !ok) {
        return ok;
    }
    if (const bool ok = Pair(key, tokens, known); known || !ok) {
        return ok;
    }
    if (Is(key, "name")) {
        remote_.name = Text(value);
        return true;
    }
    if (Is(key, "flags")) {
        return Flags(value);
    }
    if (Is(key, "gap")) {
        return Gap(tokens);
    }
    if (Is(key, "frequency")) {
        return Frequency(value);
    }
    // Accepted, but of no meaning for the signal that is sent.
    static constexpr std::string_view kNumbersIgnored[] = {
        "eps",         "aeps",        "duty_cycle", "min_code_repeat", "suppress_repeat",
        "manual_sort", "ignore_mask", "baud"};
    for (std::string_view ignored : kNumbersIgnored) {
        if (Is(key, ignored)) {
            return ParseSigned(value) || ParseUnsigned(value) ? true : NotANumber(value);
        }
    }
    if (Is(key, "driver") || Is(key, "serial_mode") || Is(key, "dyncodes_name")) {
        return true;
    }
    return Fail(QStringLiteral("unknown parameter \"%1\".").arg(Text(key)));
}

bool CLircdReader::RefuseBinary() {
    int line = 1;
    for (const char c : content_) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\n') {
            ++line;
        } else if (u < 0x20 && c != '\t' && c != '\r' && c != '\f' && c != '\v') {
            line_ = line;
            return Fail(QStringLiteral("binary data; this is no LIRC remote file."));
        }
    }
    return true;
}

bool CLircdReader::CheckRawCount() {
    if (!inRaw_ || remote_.rawCodes.back().count % 2 != 0) {
        return true;
    }
    const LircRawCode& raw = remote_.rawCodes.back();
    line_ = raw.line;
    return Fail(QStringLiteral("the raw code of \"%1\" has %2 lengths; pulses and spaces "
                               "alternate and it must end with a pulse.")
                    .arg(raw.name)
                    .arg(raw.count));
}

CLircdReader::Handled CLircdReader::Begin(std::string_view what) {
    if (Is(what, "remote")) {
        if (mode_ != Mode::Outside) {
            return Result(Fail(QStringLiteral("\"begin remote\" inside a remote.")));
        }
        remote_ = LircRemote();
        remote_.line = line_;
        blockLine_ = line_;
        mode_ = Mode::Remote;
        return Handled::Yes;
    }
    if (Is(what, "codes") || Is(what, "raw_codes")) {
        if (mode_ != Mode::Remote) {
            return Result(Fail(QStringLiteral("\"begin %1\" outside a remote.").arg(Text(what))));
        }
        if (remote_.hasCodes || remote_.hasRawCodes) {
            return Result(Fail(QStringLiteral("the remote has its codes already.")));
        }
        const bool isRaw = Is(what, "raw_codes");
        remote_.hasCodes = !isRaw;
        remote_.hasRawCodes = isRaw;
        mode_ = isRaw ? Mode::RawCodes : Mode::Codes;
        blockLine_ = line_;
        inRaw_ = false;
        return Handled::Yes;
    }
    // In a codes block "begin" may name a button.
    return mode_ == Mode::Codes
               ? Handled::No
               : Result(Fail(QStringLiteral("unknown block \"%1\".").arg(Text(what))));
}

bool CLircdReader::EndCodes() {
    if (!CheckRawCount()) {
        return false;
    }
    inRaw_ = false;
    mode_ = Mode::Remote;
    blockLine_ = remote_.line;
    return true;
}

bool CLircdReader::EndRemote() {
    if (mode_ != Mode::Remote) {
        return Fail(mode_ == Mode::Outside
                        ? QStringLiteral("\"end remote\" without \"begin remote\".")
                        : QStringLiteral("\"end remote\" before the end of the codes."));
    }
    if (remote_.name.isEmpty()) {
        line_ = remote_.line;
        return Fail(QStringLiteral("the remote has no name."));
    }
    remote_.comments = std::move(comments_);
    comments_.clear();
    remotes_->push_back(std::move(remote_));
    remote_ = LircRemote();
    mode_ = Mode::Outside;
    return true;
}

CLircdReader::Handled CLircdReader::End(std::string_view what) {
    const bool codes = Is(what, "codes");
    const bool rawCodes = Is(what, "raw_codes");
    if (codes || rawCodes) {
        if ((codes && mode_ != Mode::Codes) || (rawCodes && mode_ != Mode::RawCodes)) {
            return Result(
                Fail(QStringLiteral("\"end %1\" without its \"begin\".").arg(Text(what))));
        }
        return Result(EndCodes());
    }
    if (Is(what, "remote")) {
        return Result(EndRemote());
    }
    return mode_ == Mode::Codes
               ? Handled::No
               : Result(Fail(QStringLiteral("unknown block \"%1\".").arg(Text(what))));
}

bool CLircdReader::CodeLine(const std::vector<std::string_view>& tokens, CWords& words) {
    const std::string_view key = tokens[0];
    if (tokens.size() < 2) {
        return Fail(QStringLiteral("the button \"%1\" has no code.").arg(Text(key)));
    }
    // Further codes of a button are a sequence that LIRC sends on the repeats of some
    // remotes; the button here sends its first code.
    const std::optional<uint64_t> code = ParseUnsigned(tokens[1]);
    if (!code) {
        return NotANumber(tokens[1]);
    }
    if (tokens.size() > 2 && !ParseUnsigned(tokens[2])) {
        return NotANumber(tokens[2]);
    }
    while (const std::optional<std::string_view> more = words.Next()) {
        if (!ParseUnsigned(*more)) {
            return NotANumber(*more);
        }
    }
    if (!CountButton()) {
        return false;
    }
    remote_.codes.push_back({Text(key), line_, *code});
    return true;
}

bool CLircdReader::RawLength(std::string_view word) {
    const std::optional<int64_t> length = ParseDuration(word);
    if (!length) {
        return NotANumber(word);
    }
    LircRawCode& raw = remote_.rawCodes.back();
    if (raw.durations.size() < kMaxRawDurations) {
        raw.durations.push_back(*length);
    }
    ++raw.count;
    return true;
}

bool CLircdReader::RawCodeLine(const std::vector<std::string_view>& tokens, CWords& words) {
    if (Is(tokens[0], "name")) {
        if (tokens.size() < 2) {
            return Fail(QStringLiteral("\"name\" without a button name."));
        }
        if (!CheckRawCount() || !CountButton()) {
            return false;
        }
        remote_.rawCodes.push_back({Text(tokens[1]), line_, {}, 0});
        inRaw_ = true;
        return true;
    }
    if (!inRaw_) {
        return Fail(QStringLiteral("lengths before the first \"name\"."));
    }
    for (std::string_view token : tokens) {
        if (!RawLength(token)) {
            return false;
        }
    }
    while (const std::optional<std::string_view> word = words.Next()) {
        if (!RawLength(*word)) {
            return false;
        }
    }
    return true;
}

bool CLircdReader::Line(const std::vector<std::string_view>& tokens, CWords& words) {
    const std::string_view key = tokens[0];
    if (Is(key, "include")) {
        notes_->push_back(QStringLiteral("%1, line %2: other files are included here; "
                                         "they are not read (import them themselves).")
                              .arg(fileName_)
                              .arg(line_));
        return true;
    }
    Handled handled = Handled::No;
    if (Is(key, "begin") && tokens.size() > 1) {
        handled = Begin(tokens[1]);
    } else if (Is(key, "end") && tokens.size() > 1) {
        handled = End(tokens[1]);
    }
    if (handled != Handled::No) {
        return handled == Handled::Yes;
    }
    switch (mode_) {
        case Mode::Outside:
            return Fail(QStringLiteral("\"%1\" outside a remote.").arg(Text(key)));
        case Mode::Remote:
            if (tokens.size() < 2) {
                return Fail(QStringLiteral("\"%1\" has no value.").arg(Text(key)));
            }
            return Parameter(tokens);
        case Mode::Codes:
            return CodeLine(tokens, words);
        case Mode::RawCodes:
            return RawCodeLine(tokens, words);
    }
    return true;
}

bool CLircdReader::Finish() {
    if (mode_ != Mode::Outside) {
        line_ = blockLine_;
        return Fail(QStringLiteral("this block is not ended."));
    }
    if (remotes_->empty()) {
        line_ = std::max(line_, 1);
        error_ =
            notes_->empty()
                ? QStringLiteral("%1: no remote in the file (no \"begin remote\").").arg(fileName_)
                : QStringLiteral(
                      "%1: no remote in the file itself; it includes other "
                      "files, which are not read (import them themselves).")
                      .arg(fileName_);
        return false;
    }
    return true;
}

bool CLircdReader::Read(std::vector<LircRemote>& remotes, std::vector<QString>& notes) {
    remotes_ = &remotes;
    notes_ = &notes;
    // Binary data is refused before anything is read.
    if (!RefuseBinary()) {
        return false;
    }
    std::vector<std::string_view> tokens;
    size_t pos = 0;
    while (pos < content_.size()) {
        const size_t end = std::min(content_.find('\n', pos), content_.size());
        const std::string_view text = content_.substr(pos, end - pos);
        CWords words(text);
        pos = end + 1;
        ++line_;
        tokens.clear();
        while (tokens.size() < 3) {
            const std::optional<std::string_view> word = words.Next();
            if (!word) {
                break;
            }
            tokens.push_back(*word);
        }
        if (tokens.empty()) {
            AddComment(QByteArray(text.data(), qsizetype(text.size())).trimmed(), comments_);
            continue;
        }
        if (!Line(tokens, words)) {
            return false;
        }
    }
    return Finish();
}

}  // namespace

bool ParseLircdConf(const QByteArray& content, const QString& fileName,
                    std::vector<LircRemote>& remotes, std::vector<QString>& notes, QString& error) {
    CLircdReader reader(content, fileName);
    if (!reader.Read(remotes, notes)) {
        error = reader.Error();
        return false;
    }
    return true;
}
