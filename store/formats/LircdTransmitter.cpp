#include "store/formats/LircdTransmitter.h"

#include <algorithm>
#include <array>
#include <bit>
#include <limits>

// Encoded buttons are turned into the pulses and spaces that LIRC's transmitter makes of
// them: header, lead, pre data, data, post data, trail, foot, then the gap; while a button
// is held, LIRC sends the repeat code (or the frame again, by the repeat flags), each
// followed by its gap.

using namespace lircd;

namespace {

// Below this gap LIRC sends a repeat together with the frame before it, so that the frame's
// last half-bit space and the gap run together.
constexpr int64_t kJoinedGapUs = 10000;

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

}  // namespace

// The pulses and spaces of one transmission, merged as the carrier sees them. A space
// before the first pulse is silence and is left out.
struct LircFrame {
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

uint64_t CLircTransmitter::MaskedCode(uint64_t code) const {
    code &= LowBits(r_.bits);
    return (r_.flags & kReverse) ? Reversed(code, r_.bits) : code;
}

QString CLircTransmitter::Check() {
    if (IsRaw()) {
        return {};  // raw codes take the place of any encoding
    }
    const uint32_t encoding = r_.flags & kEncodings;
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
    if (QString symbols = CheckSymbols(); !symbols.isEmpty()) {
        return symbols;
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

QString CLircTransmitter::CheckSymbols() const {
    const int width = (r_.flags & kRcmm) ? 2 : (r_.flags & kXmp) ? 4 : 0;
    if (width == 0) {
        return {};
    }
    const QString name = width == 2 ? QStringLiteral("RC-MM") : QStringLiteral("XMP");
    for (int bits : {r_.bits, r_.preDataBits, r_.postDataBits}) {
        if (bits % width != 0) {
            return QStringLiteral("%1 sends %2 bits at a time; %3 bits cannot be sent.")
                .arg(name)
                .arg(width)
                .arg(bits);
        }
    }
    if (width == 2 && !(r_.two.pulse + r_.two.space > 0 && r_.three.pulse + r_.three.space > 0)) {
        return QStringLiteral("the RC-MM remote has no \"two\" or \"three\" timing.");
    }
    return {};
}

std::vector<uint64_t> CLircTransmitter::ToggleStates() const {
    if (toggleBitMask_ == 0 || IsRaw()) {
        return {0};
    }
    return {initialToggle_ ^ toggleBitMask_, initialToggle_};
}

uint64_t CLircTransmitter::SentBits(uint64_t data, int count, int done, uint64_t toggleState,
                                    bool toggleMaskFlip) const {
    const bool singleToggleBit = std::popcount(toggleBitMask_) == 1;
    uint64_t bits = 0;
    for (int k = 0; k < count; ++k) {
        // Bits go out most significant first; their place in the whole code (pre data,
        // data, post data) decides the toggle.
        const uint64_t place = uint64_t{1} << (allBits_ - 1 - done - k);
        bool one = (data >> (count - 1 - k)) & 1;
        if (toggleBitMask_ & place) {
            one =
                singleToggleBit ? (toggleState & place) != 0 : one != ((toggleState & place) != 0);
        }
        if ((r_.toggleMask & place) && toggleMaskFlip) {
            one = !one;
        }
        bits = bits << 1 | uint64_t{one};
    }
    return bits;
}

void CLircTransmitter::PulseDistanceOrBiphase(LircFrame& frame, uint64_t bits, int count,
                                              int done) const {
    for (int k = 0; k < count; ++k) {
        const bool one = (bits >> (count - 1 - k)) & 1;
        // The bit's place in the whole code decides RC6's double-length bit.
        const bool doubled = (rc6Mask_ & (uint64_t{1} << (allBits_ - 1 - done - k))) != 0;
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

// RC-MM sends the bits two at a time from the top, each pair 0 to 3 as the zero, one, two
// or three pulse and space; XMP four at a time, each nibble as the zero pulse and the zero
// space lengthened by the nibble's value times the one space.
void CLircTransmitter::Symbols(LircFrame& frame, uint64_t bits, int count) const {
    const bool rcmm = r_.flags & kRcmm;
    const int width = rcmm ? 2 : 4;
    for (int shift = count - width; shift >= 0; shift -= width) {
        const auto symbol = static_cast<int>((bits >> shift) & ((1u << width) - 1));
        if (rcmm) {
            const PulseSpace* const pairs[] = {&r_.zero, &r_.one, &r_.two, &r_.three};
            frame.Pulse(pairs[symbol]->pulse);
            frame.Space(pairs[symbol]->space);
        } else {
            frame.Pulse(r_.zero.pulse);
            frame.Space(r_.zero.space + symbol * r_.one.space);
        }
    }
}

void CLircTransmitter::Data(LircFrame& frame, uint64_t data, int count, int done,
                            uint64_t toggleState, bool toggleMaskFlip) const {
    const uint64_t bits = SentBits(data, count, done, toggleState, toggleMaskFlip);
    if (r_.flags & (kRcmm | kXmp)) {
        Symbols(frame, bits, count);
    } else {
        PulseDistanceOrBiphase(frame, bits, count, done);
    }
}

bool CLircTransmitter::Transmission(const LircCode* code, const LircRawCode* raw,
                                    uint64_t toggleState, int index, LircFrame& frame,
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
    std::array<LircFrame, 4> frames;
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
    signal.count = static_cast<uint16_t>(durations.size());
    signal.frameStart = static_cast<uint16_t>(frameStart < durations.size() ? frameStart : 0);
    const uint32_t hz = r_.frequencyHz != 0 ? r_.frequencyHz : kDefaultFrequencyHz;
    signal.carrierPeriod =
        static_cast<uint8_t>(std::clamp<uint64_t>((1000000ull + hz / 2) / hz, 1, 255));
    for (size_t k = 0; k < durations.size(); ++k) {
        signal.durations[k] = static_cast<int32_t>(durations[k]);
    }
    return true;
}
