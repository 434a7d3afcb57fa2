#include "store/formats/LircdConf.h"

#include <QSet>
#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <limits>
#include <optional>
#include <string_view>
#include <vector>

// A LIRC remote file is read line by line: "begin remote" ... "end remote" blocks, each with
// its parameters and either a "codes" block (button name and code) or a "raw_codes" block
// ("name" lines, each followed by the button's pulse and space lengths). Encoded buttons are
// turned into the pulses and spaces that LIRC's transmitter makes of them: header, lead,
// pre data, data, post data, trail, foot, then the gap; while a button is held, LIRC sends
// the repeat code (or the frame again, by the repeat flags), each followed by its gap.

namespace {

constexpr int kMaxButtons = 20000;                      // per file; a larger file is no remote file
constexpr size_t kMaxRawDurations = kMaxDurations + 1;  // longer raw codes are only counted
// Below this gap LIRC sends a repeat together with the frame before it, so that the frame's
// last half-bit space and the gap run together.
constexpr int64_t kJoinedGapUs = 10000;
constexpr uint32_t kDefaultFrequencyHz = 38000;

// Flags of a remote.
enum : uint32_t {
    kRawCodes = 1u << 0,
    kRc5 = 1u << 1,
    kRc6 = 1u << 2,
    kRcmm = 1u << 3,
    kSpaceEnc = 1u << 4,
    kSpaceFirst = 1u << 5,
    kGrundig = 1u << 6,
    kBo = 1u << 7,
    kSerial = 1u << 8,
    kXmp = 1u << 9,
    kReverse = 1u << 10,
    kNoHeadRep = 1u << 11,
    kNoFootRep = 1u << 12,
    kConstLength = 1u << 13,
    kRepeatHeader = 1u << 14,
};
constexpr uint32_t kEncodings =
    kRawCodes | kRc5 | kRc6 | kRcmm | kSpaceEnc | kSpaceFirst | kGrundig | kBo | kSerial | kXmp;

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

struct PulseSpace {
    int64_t pulse = 0;
    int64_t space = 0;
    bool Both() const { return pulse > 0 && space > 0; }
};

struct LircCode {
    QString name;
    int line = 0;
    uint64_t code = 0;
};

struct LircRawCode {
    QString name;
    int line = 0;
    std::vector<int64_t> durations;  // at most kMaxRawDurations kept
    size_t count = 0;                // all of them
};

struct LircRemote {
    QString name;
    int line = 0;
    uint32_t flags = 0;
    int bits = 0;
    int preDataBits = 0;
    int postDataBits = 0;
    uint64_t preData = 0;
    uint64_t postData = 0;
    PulseSpace header, one, zero, foot, repeat, pre, post;
    int64_t plead = 0;
    int64_t ptrail = 0;
    int64_t gap = 0;
    int64_t gap2 = 0;
    int64_t repeatGap = 0;
    int minRepeat = 0;
    int toggleBit = 0;
    uint64_t toggleBitMask = 0;
    uint64_t toggleMask = 0;
    uint64_t repeatMask = 0;
    uint64_t rc6Mask = 0;
    uint32_t frequencyHz = kDefaultFrequencyHz;
    bool hasCodes = false;
    bool hasRawCodes = false;
    std::vector<LircCode> codes;
    std::vector<LircRawCode> rawCodes;
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

    bool Fail(const QString& what) {
        error_ = QStringLiteral("%1, line %2: %3").arg(fileName_).arg(line_).arg(what);
        return false;
    }
    bool NotANumber(std::string_view token) {
        return Fail(QStringLiteral("\"%1\" is not a number here.").arg(Text(token)));
    }
    // `tokens` holds the first three words of the line (or fewer).
    bool Parameter(LircRemote& remote, const std::vector<std::string_view>& tokens);
    bool Flags(LircRemote& remote, std::string_view text);
    bool CountButton();

    std::string_view content_;
    QString fileName_;
    QString error_;
    int line_ = 0;
    int buttons_ = 0;
};

bool CLircdReader::CountButton() {
    if (++buttons_ > kMaxButtons) {
        return Fail(
            QStringLiteral("more than %1 buttons; this is no remote file.").arg(kMaxButtons));
    }
    return true;
}

bool CLircdReader::Flags(LircRemote& remote, std::string_view text) {
    while (!text.empty()) {
        const size_t bar = text.find('|');
        const std::string_view name = text.substr(0, bar);
        text = bar == std::string_view::npos ? std::string_view() : text.substr(bar + 1);
        const auto found = std::find_if(kFlagNames.begin(), kFlagNames.end(),
                                        [&](const FlagName& flag) { return Is(name, flag.name); });
        if (found == kFlagNames.end()) {
            return Fail(QStringLiteral("unknown flag \"%1\".").arg(Text(name)));
        }
        if ((found->flag & kEncodings) && (remote.flags & kEncodings) &&
            !(remote.flags & found->flag)) {
            return Fail(QStringLiteral("more than one encoding in the flags."));
        }
        remote.flags |= found->flag;
    }
    return true;
}

bool CLircdReader::Parameter(LircRemote& remote, const std::vector<std::string_view>& tokens) {
    const std::string_view key = tokens[0];
    const std::string_view value = tokens[1];

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
    static constexpr FieldName<PulseSpace> kPairs[] = {
        {"header", &LircRemote::header}, {"one", &LircRemote::one},
        {"zero", &LircRemote::zero},     {"foot", &LircRemote::foot},
        {"repeat", &LircRemote::repeat}, {"pre", &LircRemote::pre},
        {"post", &LircRemote::post},
    };
    auto setNumber = [&](auto& field, const auto& number) {
        if (!number) {
            return NotANumber(value);
        }
        field = static_cast<std::remove_reference_t<decltype(field)>>(*number);
        return true;
    };
    if (const auto* param = Named(kInts, key)) {
        return setNumber(remote.*param->field, ParseSigned(value));
    }
    if (const auto* param = Named(kCodes, key)) {
        return setNumber(remote.*param->field, ParseUnsigned(value));
    }
    if (const auto* param = Named(kLengths, key)) {
        return setNumber(remote.*param->field, ParseDuration(value));
    }
    if (const auto* param = Named(kPairs, key)) {
        if (tokens.size() < 3) {
            return Fail(QStringLiteral("\"%1\" needs a pulse and a space.").arg(Text(key)));
        }
        const std::optional<int64_t> pulse = ParseDuration(value);
        const std::optional<int64_t> space = ParseDuration(tokens[2]);
        if (!pulse || !space) {
            return NotANumber(pulse ? tokens[2] : value);
        }
        remote.*param->field = {*pulse, *space};
        return true;
    }
    if (Is(key, "name")) {
        remote.name = Text(value);
        return true;
    }
    if (Is(key, "flags")) {
        return Flags(remote, value);
    }
    if (Is(key, "gap")) {
        const std::optional<int64_t> gap = ParseDuration(value);
        std::optional<int64_t> gap2 = 0;
        if (tokens.size() > 2) {
            gap2 = ParseDuration(tokens[2]);
        }
        if (!gap || !gap2) {
            return NotANumber(gap ? tokens[2] : value);
        }
        remote.gap = *gap;
        remote.gap2 = *gap2;
        return true;
    }
    if (Is(key, "frequency")) {
        const std::optional<uint64_t> number = ParseUnsigned(value);
        if (!number || *number > std::numeric_limits<uint32_t>::max()) {
            return NotANumber(value);
        }
        remote.frequencyHz = static_cast<uint32_t>(*number);
        return true;
    }
    // Accepted, but of no meaning for the signal that is sent.
    static constexpr std::string_view kNumbersIgnored[] = {
        "eps",         "aeps",        "duty_cycle", "min_code_repeat", "suppress_repeat",
        "manual_sort", "ignore_mask", "baud",       "three",           "two"};
    for (std::string_view ignored : kNumbersIgnored) {
        if (Is(key, ignored)) {
            if (!ParseSigned(value) && !ParseUnsigned(value)) {
                return NotANumber(value);
            }
            return true;
        }
    }
    if (Is(key, "driver") || Is(key, "serial_mode") || Is(key, "dyncodes_name")) {
        return true;
    }
    return Fail(QStringLiteral("unknown parameter \"%1\".").arg(Text(key)));
}

bool CLircdReader::Read(std::vector<LircRemote>& remotes, std::vector<QString>& notes) {
    Mode mode = Mode::Outside;
    int blockLine = 0;  // where the open block began
    LircRemote remote;
    LircRawCode* raw = nullptr;
    std::vector<std::string_view> tokens;

    // Binary data is refused before anything is read.
    {
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
    }

    size_t pos = 0;
    while (pos < content_.size()) {
        size_t end = content_.find('\n', pos);
        if (end == std::string_view::npos) {
            end = content_.size();
        }
        const std::string_view text = content_.substr(pos, end - pos);
        pos = end + 1;
        ++line_;

        tokens.clear();
        CWords words(text);
        while (tokens.size() < 3) {
            const std::optional<std::string_view> word = words.Next();
            if (!word) {
                break;
            }
            tokens.push_back(*word);
        }
        if (tokens.empty()) {
            continue;
        }
        const std::string_view key = tokens[0];

        if (Is(key, "include")) {
            notes.push_back(QStringLiteral("%1, line %2: other files are included here; "
                                           "they are not read (import them themselves).")
                                .arg(fileName_)
                                .arg(line_));
            continue;
        }
        if (Is(key, "begin") && tokens.size() > 1) {
            const std::string_view what = tokens[1];
            if (Is(what, "remote")) {
                if (mode != Mode::Outside) {
                    return Fail(QStringLiteral("\"begin remote\" inside a remote."));
                }
                remote = LircRemote();
                remote.line = line_;
                blockLine = line_;
                mode = Mode::Remote;
                continue;
            }
            if (Is(what, "codes") || Is(what, "raw_codes")) {
                if (mode != Mode::Remote) {
                    return Fail(QStringLiteral("\"begin %1\" outside a remote.").arg(Text(what)));
                }
                if (remote.hasCodes || remote.hasRawCodes) {
                    return Fail(QStringLiteral("the remote has its codes already."));
                }
                const bool isRaw = Is(what, "raw_codes");
                remote.hasCodes = !isRaw;
                remote.hasRawCodes = isRaw;
                mode = isRaw ? Mode::RawCodes : Mode::Codes;
                blockLine = line_;
                raw = nullptr;
                continue;
            }
            if (mode != Mode::Codes) {
                return Fail(QStringLiteral("unknown block \"%1\".").arg(Text(what)));
            }
        }
        if (Is(key, "end") && tokens.size() > 1) {
            const std::string_view what = tokens[1];
            const bool codes = Is(what, "codes");
            const bool rawCodes = Is(what, "raw_codes");
            if (codes || rawCodes) {
                if ((codes && mode != Mode::Codes) || (rawCodes && mode != Mode::RawCodes)) {
                    return Fail(
                        QStringLiteral("\"end %1\" without its \"begin\".").arg(Text(what)));
                }
                if (raw && raw->count % 2 == 0) {
                    line_ = raw->line;
                    return Fail(QStringLiteral("the raw code of \"%1\" has %2 lengths; pulses and "
                                               "spaces alternate and it must end with a pulse.")
                                    .arg(raw->name)
                                    .arg(raw->count));
                }
                raw = nullptr;
                mode = Mode::Remote;
                blockLine = remote.line;
                continue;
            }
            if (Is(what, "remote")) {
                if (mode != Mode::Remote) {
                    return Fail(
                        mode == Mode::Outside
                            ? QStringLiteral("\"end remote\" without \"begin remote\".")
                            : QStringLiteral("\"end remote\" before the end of the codes."));
                }
                if (remote.name.isEmpty()) {
                    line_ = remote.line;
                    return Fail(QStringLiteral("the remote has no name."));
                }
                remotes.push_back(std::move(remote));
                remote = LircRemote();
                mode = Mode::Outside;
                continue;
            }
            if (mode != Mode::Codes) {
                return Fail(QStringLiteral("unknown block \"%1\".").arg(Text(what)));
            }
        }

        switch (mode) {
            case Mode::Outside:
                return Fail(QStringLiteral("\"%1\" outside a remote.").arg(Text(key)));
            case Mode::Remote:
                if (tokens.size() < 2) {
                    return Fail(QStringLiteral("\"%1\" has no value.").arg(Text(key)));
                }
                if (!Parameter(remote, tokens)) {
                    return false;
                }
                break;
            case Mode::Codes: {
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
                remote.codes.push_back({Text(key), line_, *code});
                break;
            }
            case Mode::RawCodes:
                if (Is(key, "name")) {
                    if (tokens.size() < 2) {
                        return Fail(QStringLiteral("\"name\" without a button name."));
                    }
                    if (raw && raw->count % 2 == 0) {
                        line_ = raw->line;
                        return Fail(
                            QStringLiteral("the raw code of \"%1\" has %2 lengths; pulses and "
                                           "spaces alternate and it must end with a pulse.")
                                .arg(raw->name)
                                .arg(raw->count));
                    }
                    if (!CountButton()) {
                        return false;
                    }
                    remote.rawCodes.push_back({Text(tokens[1]), line_, {}, 0});
                    raw = &remote.rawCodes.back();
                    break;
                }
                if (!raw) {
                    return Fail(QStringLiteral("lengths before the first \"name\"."));
                }
                const auto take = [&](std::string_view word) {
                    const std::optional<int64_t> length = ParseDuration(word);
                    if (!length) {
                        return NotANumber(word);
                    }
                    if (raw->durations.size() < kMaxRawDurations) {
                        raw->durations.push_back(*length);
                    }
                    ++raw->count;
                    return true;
                };
                for (std::string_view token : tokens) {
                    if (!take(token)) {
                        return false;
                    }
                }
                while (const std::optional<std::string_view> word = words.Next()) {
                    if (!take(*word)) {
                        return false;
                    }
                }
                break;
        }
    }
    if (mode != Mode::Outside) {
        line_ = blockLine;
        return Fail(QStringLiteral("this block is not ended."));
    }
    if (remotes.empty()) {
        line_ = std::max(line_, 1);
        error_ =
            notes.empty()
                ? QStringLiteral("%1: no remote in the file (no \"begin remote\").").arg(fileName_)
                : QStringLiteral(
                      "%1: no remote in the file itself; it includes other "
                      "files, which are not read (import them themselves).")
                      .arg(fileName_);
        return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------
// The transmitter: what LIRC sends for a button.

uint64_t LowBits(int count) {
    return count >= 64 ? ~uint64_t{0} : (uint64_t{1} << count) - 1;
}

uint64_t Reversed(uint64_t value, int count) {
    uint64_t result = 0;
    for (int k = 0; k < count; ++k) {
        result = (result << 1) | ((value >> k) & 1);
    }
    return result;
}

// The pulses and spaces of one transmission, merged as the carrier sees them. A space
// before the first pulse is silence and is left out.
struct Frame {
    std::vector<int64_t> durations;  // marks > 0, spaces < 0
    int64_t leadingSpace = 0;        // the silence left out at the start
    bool joined = false;             // the next transmission follows within the same send

    void Pulse(int64_t us) {
        if (us <= 0) {
            return;
        }
        if (!durations.empty() && durations.back() > 0) {
            durations.back() += us;
        } else {
            durations.push_back(us);
        }
    }
    void Space(int64_t us) {
        if (us <= 0) {
            return;
        }
        if (durations.empty()) {
            leadingSpace += us;
        } else if (durations.back() < 0) {
            durations.back() -= us;
        } else {
            durations.push_back(-us);
        }
    }
    // Length up to the end of the last pulse.
    int64_t PulsedLength() const {
        int64_t sum = 0;
        for (int64_t d : durations) {
            sum += d > 0 ? d : -d;
        }
        if (!durations.empty() && durations.back() < 0) {
            sum += durations.back();
        }
        return sum;
    }
};

class CLircTransmitter {
  public:
    explicit CLircTransmitter(const LircRemote& remote) : r_(remote) {}

    // Why no button of the remote can be sent; empty if they can.
    QString Check();
    // The toggle states of successive presses (one state for remotes without a toggle).
    std::vector<uint64_t> ToggleStates() const;
    // The button held down, in the given toggle state; empty `reason` on success.
    bool Held(const LircCode* code, const LircRawCode* raw, uint64_t toggleState, IrSignal& signal,
              QString& reason) const;

    uint64_t MaskedCode(uint64_t code) const {
        code &= LowBits(r_.bits);
        return (r_.flags & kReverse) ? Reversed(code, r_.bits) : code;
    }

  private:
    bool IsRaw() const { return r_.hasRawCodes; }
    bool Biphase() const { return r_.flags & (kRc5 | kRc6); }
    int64_t MinGap() const { return r_.gap2 != 0 && r_.gap2 < r_.gap ? r_.gap2 : r_.gap; }
    void Data(Frame& frame, uint64_t data, int count, int done, uint64_t toggleState,
              bool toggleMaskFlip) const;
    // One transmission: the frame and its gap. `index` 0 is the press itself, then the
    // repeats while the button is held.
    bool Transmission(const LircCode* code, const LircRawCode* raw, uint64_t toggleState, int index,
                      Frame& frame, QString& reason) const;

    const LircRemote& r_;
    int allBits_ = 0;
    uint64_t preData_ = 0;
    uint64_t postData_ = 0;
    uint64_t toggleBitMask_ = 0;
    uint64_t rc6Mask_ = 0;
    uint64_t initialToggle_ = 0;
};

QString CLircTransmitter::Check() {
    if (IsRaw()) {
        return {};  // raw codes take the place of any encoding
    }
    const uint32_t encoding = r_.flags & kEncodings;
    if (encoding & kRcmm) {
        return QStringLiteral("RC-MM encoding is not supported.");
    }
    if (encoding & kXmp) {
        return QStringLiteral("XMP encoding is not supported.");
    }
    if (encoding & (kGrundig | kBo | kSerial)) {
        return QStringLiteral("its encoding (%1) is not supported.")
            .arg((encoding & kGrundig) ? QStringLiteral("GRUNDIG")
                 : (encoding & kBo)    ? QStringLiteral("BO")
                                       : QStringLiteral("SERIAL"));
    }
    if (r_.flags & kRawCodes) {
        return QStringLiteral("the remote is flagged RAW_CODES but has no raw codes.");
    }
    if (r_.bits < 0 || r_.preDataBits < 0 || r_.postDataBits < 0) {
        return QStringLiteral("a negative number of bits.");
    }
    const int64_t allBits = int64_t{r_.bits} + r_.preDataBits + r_.postDataBits;
    if (allBits > 64) {
        return QStringLiteral("more than 64 bits in a code.");
    }
    allBits_ = static_cast<int>(allBits);
    if (r_.one.pulse + r_.one.space == 0 || r_.zero.pulse + r_.zero.space == 0) {
        return QStringLiteral(
            "the remote has no timing (its bits have no pulse or space "
            "lengths); it is a receiver's table of codes.");
    }
    if (r_.toggleBit < 0 || r_.toggleBit > allBits_) {
        return QStringLiteral("toggle_bit %1 lies outside the %2 bits of a code.")
            .arg(r_.toggleBit)
            .arg(allBits_);
    }
    preData_ = r_.preData & LowBits(r_.preDataBits);
    postData_ = r_.postData & LowBits(r_.postDataBits);
    if (r_.flags & kReverse) {
        preData_ = Reversed(preData_, r_.preDataBits);
        postData_ = Reversed(postData_, r_.postDataBits);
    }
    // Older files name the toggle by its bit position, counted from 1 at the first bit
    // sent; in RC6 remotes that bit is also the one of double length.
    rc6Mask_ = r_.rc6Mask;
    toggleBitMask_ = r_.toggleBitMask;
    if (r_.toggleBit > 0) {
        const uint64_t bit = uint64_t{1} << (allBits_ - r_.toggleBit);
        if ((r_.flags & kRc6) && rc6Mask_ == 0) {
            rc6Mask_ = bit;
        }
        if (toggleBitMask_ == 0) {
            toggleBitMask_ = bit;
        }
    }
    // LIRC flips the toggle before each press, from a state that it takes from the first
    // code of the remote.
    if (toggleBitMask_ != 0 && !r_.codes.empty()) {
        initialToggle_ = MaskedCode(r_.codes.front().code) & toggleBitMask_;
        if (initialToggle_ != 0) {
            initialToggle_ ^= toggleBitMask_;
        }
    }
    return {};
}

std::vector<uint64_t> CLircTransmitter::ToggleStates() const {
    if (toggleBitMask_ == 0 || IsRaw()) {
        return {0};
    }
    return {initialToggle_ ^ toggleBitMask_, initialToggle_};
}

void CLircTransmitter::Data(Frame& frame, uint64_t data, int count, int done, uint64_t toggleState,
                            bool toggleMaskFlip) const {
    const bool singleToggleBit = std::popcount(toggleBitMask_) == 1;
    for (int k = 0; k < count; ++k) {
        // Bits go out most significant first; their place in the whole code (pre data,
        // data, post data) decides the toggle and the RC6 double-length bit.
        const uint64_t place = uint64_t{1} << (allBits_ - 1 - done - k);
        bool one = (data >> (count - 1 - k)) & 1;
        if (toggleBitMask_ & place) {
            one =
                singleToggleBit ? (toggleState & place) != 0 : one != ((toggleState & place) != 0);
        }
        if ((r_.toggleMask & place) && toggleMaskFlip) {
            one = !one;
        }
        const bool doubled = (rc6Mask_ & place) != 0;
        if (one) {
            if (Biphase()) {
                const int64_t factor = doubled ? 2 : 1;
                frame.Space(factor * r_.one.space);
                frame.Pulse(factor * r_.one.pulse);
            } else if (r_.flags & kSpaceFirst) {
                frame.Space(r_.one.space);
                frame.Pulse(r_.one.pulse);
            } else {
                frame.Pulse(r_.one.pulse);
                frame.Space(r_.one.space);
            }
        } else if (doubled) {
            frame.Pulse(2 * r_.zero.pulse);
            frame.Space(2 * r_.zero.space);
        } else if (r_.flags & kSpaceFirst) {
            frame.Space(r_.zero.space);
            frame.Pulse(r_.zero.pulse);
        } else {
            frame.Pulse(r_.zero.pulse);
            frame.Space(r_.zero.space);
        }
    }
}

bool CLircTransmitter::Transmission(const LircCode* code, const LircRawCode* raw,
                                    uint64_t toggleState, int index, Frame& frame,
                                    QString& reason) const {
    const bool repeat = index > 0;
    const bool repeatCode = repeat && r_.repeat.Both();
    int64_t uncounted = 0;  // left out of a constant length
    if (repeatCode) {
        if ((r_.flags & kRepeatHeader) && r_.header.Both()) {
            frame.Pulse(r_.header.pulse);
            frame.Space(r_.header.space);
        }
        frame.Pulse(r_.plead);
        frame.Pulse(r_.repeat.pulse);
        frame.Space(r_.repeat.space);
        frame.Pulse(r_.ptrail);
    } else if (raw) {
        for (size_t k = 0; k < raw->durations.size(); ++k) {
            if (k % 2 == 0) {
                frame.Pulse(raw->durations[k]);
            } else {
                frame.Space(raw->durations[k]);
            }
        }
    } else {
        uint64_t data = MaskedCode(code->code);
        if (repeat && r_.repeatMask != 0) {
            data ^= r_.repeatMask;
        }
        // Without a repeat code, every other frame of a held button flips the toggle mask.
        const bool flip = index % 2 == 1;
        if ((!repeat || !(r_.flags & kNoHeadRep)) && r_.header.Both()) {
            frame.Pulse(r_.header.pulse);
            frame.Space(r_.header.space);
        }
        frame.Pulse(r_.plead);
        if (r_.preDataBits > 0) {
            Data(frame, preData_, r_.preDataBits, 0, toggleState, flip);
            if (r_.pre.Both()) {
                frame.Pulse(r_.pre.pulse);
                frame.Space(r_.pre.space);
            }
        }
        Data(frame, data, r_.bits, r_.preDataBits, toggleState, flip);
        if (r_.postDataBits > 0) {
            if (r_.post.Both()) {
                frame.Pulse(r_.post.pulse);
                frame.Space(r_.post.space);
            }
            Data(frame, postData_, r_.postDataBits, r_.preDataBits + r_.bits, toggleState, flip);
        }
        frame.Pulse(r_.ptrail);
        if ((!repeat || !(r_.flags & kNoFootRep)) && r_.foot.Both()) {
            // The foot's space comes before its pulse.
            frame.Space(r_.foot.space);
            frame.Pulse(r_.foot.pulse);
        }
        // The header of the first frame lies outside the constant length when the
        // repeats have none.
        if (!repeat && (r_.flags & kNoHeadRep) && (r_.flags & kConstLength)) {
            uncounted = r_.header.pulse + r_.header.space;
        }
    }
    if (frame.durations.empty()) {
        reason = QStringLiteral("its signal has no pulse.");
        return false;
    }

    int64_t gap;
    if (repeatCode && r_.repeatGap > 0) {
        gap = r_.repeatGap;
    } else if (r_.flags & kConstLength) {
        const int64_t length = frame.PulsedLength() - uncounted;
        if (MinGap() <= length) {
            reason = QStringLiteral(
                         "its frame is longer than the remote's constant length "
                         "(gap %1 us); LIRC does not send it either.")
                         .arg(r_.gap);
            return false;
        }
        gap = MinGap() - length;
    } else {
        gap = MinGap();
    }
    if (gap <= 0) {
        reason = QStringLiteral("the remote gives no gap between its frames.");
        return false;
    }
    // Sent apart, a transmission ends with its last pulse and the gap follows; repeats
    // after a short gap go out joined, the last space of the frame with the gap.
    frame.joined = gap < kJoinedGapUs;
    if (!frame.joined && frame.durations.back() < 0) {
        frame.durations.pop_back();
    }
    frame.Space(gap);
    return true;
}

bool CLircTransmitter::Held(const LircCode* code, const LircRawCode* raw, uint64_t toggleState,
                            IrSignal& signal, QString& reason) const {
    if (raw) {
        if (raw->count > kMaxDurations) {
            reason = QStringLiteral("its signal needs %1 durations; a signal holds at most %2.")
                         .arg(raw->count)
                         .arg(kMaxDurations);
            return false;
        }
        if (std::find(raw->durations.begin(), raw->durations.end(), 0) != raw->durations.end()) {
            reason = QStringLiteral("its raw code has a length of 0.");
            return false;
        }
    }
    // The first transmissions of a held button; from the second on they repeat with a
    // period of one (or two, where a toggle mask flips every other frame).
    std::array<Frame, 4> frames;
    for (int k = 0; k < 4; ++k) {
        if (!Transmission(code, raw, toggleState, k, frames[k], reason)) {
            return false;
        }
    }
    // A transmission sent joined to the one before starts with its leading silence.
    for (int k = 0; k + 1 < 4; ++k) {
        if (frames[k].joined) {
            frames[k].durations.back() -= frames[k + 1].leadingSpace;
        }
    }
    const auto same = [&](int a, int b) { return frames[a].durations == frames[b].durations; };
    const int period = same(1, 2) && same(2, 3) ? 1 : 2;
    const int firstRepeating = same(0, period) ? 0 : 1;
    // A single press sends the frame and at least min_repeat repeats.
    const int last = std::max(std::max(r_.minRepeat, 0), firstRepeating + period - 1);

    std::vector<int64_t> durations;
    size_t frameStart = 0;
    for (int k = 0; k <= last; ++k) {
        const int which = k < 4 ? k : 2 + (k - 2) % period;  // frames repeat from 2 on
        if (k == last - period + 1) {
            frameStart = durations.size();
        }
        const std::vector<int64_t>& part = frames[which].durations;
        durations.insert(durations.end(), part.begin(), part.end());
        if (durations.size() > kMaxDurations) {
            break;
        }
    }
    if (durations.size() > kMaxDurations) {
        reason = r_.minRepeat > 0 ? QStringLiteral(
                                        "its signal with %1 repeats on each press needs more than "
                                        "the %2 durations a signal holds.")
                                        .arg(r_.minRepeat)
                                        .arg(kMaxDurations)
                                  : QStringLiteral(
                                        "its signal needs more than the %1 durations a signal "
                                        "holds.")
                                        .arg(kMaxDurations);
        return false;
    }
    for (int64_t d : durations) {
        if (d > std::numeric_limits<int32_t>::max() || d < -std::numeric_limits<int32_t>::max()) {
            reason = QStringLiteral("a pulse or space of its signal is too long.");
            return false;
        }
    }

    signal = IrSignal();
    signal.count = static_cast<uint8_t>(durations.size());
    signal.frameStart = static_cast<uint8_t>(frameStart < durations.size() ? frameStart : 0);
    const uint32_t hz = r_.frequencyHz != 0 ? r_.frequencyHz : kDefaultFrequencyHz;
    signal.carrierPeriod =
        static_cast<uint8_t>(std::clamp<uint64_t>((1000000ull + hz / 2) / hz, 1, 255));
    for (size_t k = 0; k < durations.size(); ++k) {
        signal.durations[k] = static_cast<int32_t>(durations[k]);
    }
    return true;
}

ImportedRemote Import(const LircRemote& remote) {
    ImportedRemote imported;
    imported.name = remote.name;
    imported.line = remote.line;
    CLircTransmitter transmitter(remote);
    const QString remoteReason = transmitter.Check();
    const std::vector<uint64_t> toggles = transmitter.ToggleStates();

    QSet<QString> seen;
    const auto add = [&](const QString& name, int line, const LircCode* code,
                         const LircRawCode* raw) {
        ImportedButton button;
        button.name = name;
        button.line = line;
        if (!remoteReason.isEmpty()) {
            button.skipped = remoteReason;
        } else if (seen.contains(name)) {
            button.skipped = QStringLiteral("the name is defined again; LIRC sends the first.");
        } else {
            for (uint64_t toggle : toggles) {
                IrSignal signal;
                QString reason;
                if (!transmitter.Held(code, raw, toggle, signal, reason)) {
                    button.irSignals.clear();
                    button.skipped = reason;
                    break;
                }
                const bool repeated = !button.irSignals.empty() &&
                                      std::equal(signal.durations, signal.durations + signal.count,
                                                 button.irSignals.front().durations,
                                                 button.irSignals.front().durations +
                                                     button.irSignals.front().count) &&
                                      signal.count == button.irSignals.front().count;
                if (!repeated) {
                    button.irSignals.push_back(signal);
                }
            }
        }
        seen.insert(name);
        imported.buttons.push_back(std::move(button));
    };
    for (const LircRawCode& raw : remote.rawCodes) {
        add(raw.name, raw.line, nullptr, &raw);
    }
    for (const LircCode& code : remote.codes) {
        add(code.name, code.line, &code, nullptr);
    }
    return imported;
}

}  // namespace

ImportResult ReadLircdConf(const QByteArray& content, const QString& fileName) {
    ImportResult result;
    std::vector<LircRemote> remotes;
    CLircdReader reader(content, fileName);
    if (!reader.Read(remotes, result.notes)) {
        result.notes.clear();
        result.error = reader.Error();
        return result;
    }
    for (const LircRemote& remote : remotes) {
        result.remotes.push_back(Import(remote));
    }
    return result;
}
