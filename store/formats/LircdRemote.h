// A LIRC remote as its file describes it: what the reader of lircd.conf files makes of the
// text, and what the transmitter turns into the signals LIRC sends.
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ir/IrSignal.h"

namespace lircd {

inline constexpr uint32_t kDefaultFrequencyHz = 38000;
// Raw codes longer than a signal holds are only counted.
inline constexpr size_t kMaxRawDurations = kMaxDurations + 1;

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
inline constexpr uint32_t kEncodings =
    kRawCodes | kRc5 | kRc6 | kRcmm | kSpaceEnc | kSpaceFirst | kGrundig | kBo | kSerial | kXmp;

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
    PulseSpace header, one, zero, two, three, foot, repeat, pre, post;
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
    std::vector<QString> comments;  // the comment lines before its end, without their '#'
};

}  // namespace lircd
