#include "platform/sim/SimRemotes.h"

#include <strings.h>

#include <cstdlib>

namespace {

// Marks and spaces in microseconds; neighbours of the same kind melt into one, as the
// light does in the air.
class Pulses {
  public:
    void Mark(int32_t us) { Add(us); }
    void Space(int32_t us) { Add(-us); }
    // Bi-phase halves: a 1 lights the given half.
    void Half(bool on, int32_t us) { on ? Mark(us) : Space(us); }
    int64_t Elapsed() const { return elapsed_; }
    std::vector<int32_t> Take() {
        if (!out_.empty() && out_.back() < 0) {
            out_.pop_back();  // nothing follows the last mark
        }
        return std::move(out_);
    }

  private:
    void Add(int32_t value) {
        elapsed_ += std::abs(value);
        if (out_.empty() && value < 0) {
            return;  // silence before the first mark is no part of the signal
        }
        if (!out_.empty() && (out_.back() < 0) == (value < 0)) {
            out_.back() += value;
        } else {
            out_.push_back(value);
        }
    }
    std::vector<int32_t> out_;
    int64_t elapsed_ = 0;
};

// Pulse-distance bits: a fixed mark, then a short space for 0 or a long one for 1.
void DistanceBits(Pulses& p, uint64_t bits, int count, int32_t mark, int32_t zero, int32_t one) {
    for (int k = 0; k < count; ++k) {
        p.Mark(mark);
        p.Space((bits >> k) & 1 ? one : zero);
    }
}

struct ProtocolInfo {
    uint32_t carrierHz;
    int32_t periodUs;  // from the start of one frame to the start of the next
    int minimumFrames;
};

ProtocolInfo Info(SimProtocol protocol) {
    switch (protocol) {
        case SimProtocol::Pulse12:
            return {40000, 45000, 3};
        case SimProtocol::BiPhase14:
            return {36000, 113778, 1};
        case SimProtocol::Pulse48:
            return {36700, 74000, 1};
        case SimProtocol::Distance16:
            return {38000, 59080, 2};
        case SimProtocol::Distance32:
            return {38000, 108000, 1};
        case SimProtocol::BiPhaseLead:
            return {36000, 107000, 1};
    }
    return {38000, 100000, 1};
}

// One frame; `index` counts the frames of this press from 0.
void Frame(Pulses& p, SimProtocol protocol, uint32_t address, uint32_t code, int index) {
    switch (protocol) {
        case SimProtocol::Pulse12: {
            // Header, then 7 command and 5 address bits, low bit first; the mark's width
            // carries the bit.
            p.Mark(2400);
            p.Space(600);
            const uint32_t bits = (code & 0x7F) | (address & 0x1F) << 7;
            for (int k = 0; k < 12; ++k) {
                p.Mark((bits >> k) & 1 ? 1200 : 600);
                p.Space(600);
            }
            break;
        }
        case SimProtocol::BiPhase14: {
            // Two start bits, toggle, 5 address and 6 command bits, high bit first;
            // a 1 is dark then lit, a 0 lit then dark.
            const uint32_t bits = 0x3000 | (address & 0x1F) << 6 | (code & 0x3F);
            for (int k = 13; k >= 0; --k) {
                const bool one = (bits >> k) & 1;
                p.Half(!one, 889);
                p.Half(one, 889);
            }
            break;
        }
        case SimProtocol::Pulse48: {
            // Header, then six bytes: our maker id, address, command and a check byte.
            p.Mark(3456);
            p.Space(1728);
            const uint64_t maker = 0x5A31;
            const uint64_t a = address & 0xFF, c = code & 0xFF;
            const uint64_t check = (a ^ c ^ 0x5A ^ 0x31) & 0xFF;
            const uint64_t bits = maker | a << 16 | c << 24 | (~c & 0xFF) << 32 | check << 40;
            DistanceBits(p, bits, 48, 432, 432, 1296);
            p.Mark(432);
            break;
        }
        case SimProtocol::Distance16: {
            if (index == 0) {
                p.Mark(8400);
                p.Space(4200);
            }
            DistanceBits(p, (address & 0xFF) | (code & 0xFF) << 8, 16, 526, 526, 1574);
            p.Mark(526);
            break;
        }
        case SimProtocol::Distance32: {
            if (index == 0) {
                p.Mark(9000);
                p.Space(4500);
                const uint64_t a = address & 0xFF, c = code & 0xFF;
                DistanceBits(p, a | (~a & 0xFF) << 8 | c << 16 | (~c & 0xFF) << 24, 32, 560, 560,
                             1690);
                p.Mark(560);
            } else {
                p.Mark(9000);  // held: the short repeat code
                p.Space(2250);
                p.Mark(560);
            }
            break;
        }
        case SimProtocol::BiPhaseLead: {
            // Leader, start bit, three mode bits, a double-length trailer bit, then 8
            // address and 8 command bits; a 1 is lit then dark.
            constexpr int32_t t = 444;
            p.Mark(6 * t);
            p.Space(2 * t);
            auto bit = [&](bool one, int32_t length) {
                p.Half(one, length);
                p.Half(!one, length);
            };
            bit(true, t);
            for (int k = 0; k < 3; ++k) {
                bit(false, t);
            }
            bit(false, 2 * t);  // trailer (the toggle, not flipped here)
            const uint32_t bits = (address & 0xFF) << 8 | (code & 0xFF);
            for (int k = 15; k >= 0; --k) {
                bit((bits >> k) & 1, t);
            }
            break;
        }
    }
}

std::vector<SimRemoteButton> Digits(uint32_t first) {
    static const char* const kDigits[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    std::vector<SimRemoteButton> buttons;
    for (uint32_t d = 0; d < 10; ++d) {
        buttons.push_back({kDigits[d], first + d});
    }
    return buttons;
}

std::vector<SimRemoteButton> With(std::vector<SimRemoteButton> buttons,
                                  std::vector<SimRemoteButton> more) {
    buttons.insert(buttons.end(), more.begin(), more.end());
    return buttons;
}

std::vector<SimRemote> Build() {
    // The programmable keys (F1 to F4) and a few rarer buttons exist on no device remote:
    // learning them waits for a signal that never comes.
    return {
        {"TV", "TV remote (12-bit pulse-width code, 40 kHz)", SimProtocol::Pulse12, 3,
         With(Digits(0), {{"Power", 21},
                          {"Last", 59},
                          {"Input", 37},
                          {"Mute", 20},
                          {"Ch+", 16},
                          {"Ch-", 17},
                          {"Vol+", 18},
                          {"Vol-", 19},
                          {"Enter", 11},
                          {"Guide", 96},
                          {"Up", 116},
                          {"Down", 117},
                          {"Left", 52},
                          {"Right", 51},
                          {"OK", 101},
                          {"Cancel", 102},
                          {"Menu", 97},
                          {"Exit", 99},
                          {"PIP", 91}})},
        {"Cab/Sat", "satellite receiver remote (14-bit bi-phase code, 36 kHz)",
         SimProtocol::BiPhase14, 8,
         With(Digits(0),
              {{"Power", 12}, {"TV/Sat", 56}, {"Last", 34}, {"Favorite", 40}, {"Mute", 13},
               {"Ch+", 32},   {"Ch-", 33},    {"Vol+", 16}, {"Vol-", 17},     {"Enter", 14},
               {"Guide", 15}, {"Up", 20},     {"Info", 18}, {"Left", 21},     {"OK", 23},
               {"Right", 22}, {"Menu", 46},   {"Down", 19}, {"Exit", 47},     {"Day-", 24},
               {"Day+", 25},  {"Page-", 26},  {"Page+", 27}})},
        {"DVD/CD", "DVD player remote (48-bit pulse-distance code, 37 kHz)", SimProtocol::Pulse48,
         0x41,
         With(Digits(0x10),
              {{"Power", 0x3D},   {"Menu", 0x80},        {"Up", 0x85},           {"Title", 0x9B},
               {"Left", 0x87},    {"OK", 0x82},          {"Right", 0x86},        {"Display", 0x55},
               {"Down", 0x81},    {"Exit", 0x83},        {"Play", 0x0A},         {"Pause", 0x06},
               {"Stop", 0x00},    {"Fast Rewind", 0x49}, {"Fast Forward", 0x4A}, {"Rewind", 0x04},
               {"Forward", 0x05}, {"Enter", 0x1D},       {"+10", 0x1E},          {"Clear", 0xA3},
               {"Mute", 0x32},    {"Subtitle", 0xA6},    {"Audio", 0xA9},        {"Vol-", 0x21},
               {"Vol+", 0x20}})},
        {"VCR", "video recorder remote (16-bit pulse-distance code, 38 kHz)",
         SimProtocol::Distance16, 0xC3,
         With(Digits(0x20),
              {{"Power", 0x17},   {"Input", 0x0F},       {"Up", 0x3C},           {"Menu", 0x3A},
               {"Left", 0x3E},    {"OK", 0x3B},          {"Right", 0x3F},        {"Down", 0x3D},
               {"Display", 0x55}, {"Exit", 0x39},        {"Play", 0x0C},         {"Pause", 0x0D},
               {"Stop", 0x03},    {"Fast Rewind", 0x06}, {"Fast Forward", 0x07}, {"Eject", 0x16},
               {"Record", 0x1C},  {"Ch+", 0x18},         {"Ch-", 0x19},          {"Clear", 0x45},
               {"Enter", 0x46}})},
        {"Audio", "amplifier remote (32-bit pulse-distance code with repeat codes, 38 kHz)",
         SimProtocol::Distance32, 0x7A,
         With(Digits(0x40), {{"Power", 0x1F},   {"TV", 0x54},      {"Input", 0x0B}, {"Aux", 0x55},
                             {"Cab/Sat", 0x4A}, {"DVD", 0x4B},     {"Phono", 0x14}, {"VCR", 0x0F},
                             {"CD", 0x15},      {"Tape", 0x18},    {"Vol-", 0x1B},  {"Mute", 0x1C},
                             {"Vol+", 0x1A},    {"Tuner", 0x16},   {"Surr", 0x5E},  {"Up", 0x60},
                             {"DSP", 0x5F},     {"Preset+", 0x11}, {"Left", 0x62},  {"OK", 0x64},
                             {"Right", 0x63},   {"Preset-", 0x12}, {"Menu", 0x65},  {"Down", 0x61},
                             {"Mode", 0x66},    {"Enter", 0x67}})},
        {"TiVo", "video recorder remote (bi-phase code with leader, 36 kHz)",
         SimProtocol::BiPhaseLead, 0x2E,
         With(Digits(0x00), {{"Power", 0x0C},         {"Up", 0x58},        {"Left", 0x5A},
                             {"Right", 0x5B},         {"Down", 0x59},      {"Select", 0x5C},
                             {"Thumbs Down", 0x71},   {"Thumbs Up", 0x70}, {"TiVo Service", 0x54},
                             {"LiveTV/Guide", 0xCC},  {"Play", 0x2C},      {"Pause", 0x30},
                             {"Record", 0x37},        {"Back", 0x29},      {"Forward", 0x28},
                             {"Slow", 0x2A},          {"Clear", 0x31},     {"Mute", 0x0D},
                             {"Ch/P+", 0x20},         {"Vol-", 0x11},      {"Enter/Jump", 0x75},
                             {"Vol+", 0x10},          {"Ch/P-", 0x21},     {"Advance", 0x7A},
                             {"Instant Replay", 0x7B}})},
    };
}

}  // namespace

uint32_t SimRemote::CarrierHz() const {
    return Info(protocol).carrierHz;
}

bool SimRemote::HasButton(const std::string& button) const {
    for (const SimRemoteButton& b : buttons) {
        if (button == b.name) {
            return true;
        }
    }
    return false;
}

RemoteWaveform SimRemote::Press(const std::string& button, uint32_t holdMs) const {
    RemoteWaveform wave;
    wave.carrierHz = CarrierHz();
    wave.dutyPercent = 33;
    const SimRemoteButton* found = nullptr;
    for (const SimRemoteButton& b : buttons) {
        if (button == b.name) {
            found = &b;
        }
    }
    if (!found) {
        return wave;
    }
    const ProtocolInfo info = Info(protocol);
    Pulses pulses;
    for (int index = 0;
         index < info.minimumFrames || index * static_cast<int64_t>(info.periodUs) < holdMs * 1000;
         ++index) {
        const int64_t start = pulses.Elapsed();
        Frame(pulses, protocol, address, found->code, index);
        pulses.Space(static_cast<int32_t>(info.periodUs - (pulses.Elapsed() - start)));
    }
    wave.durations = pulses.Take();
    return wave;
}

const std::vector<SimRemote>& SimRemotes() {
    static const std::vector<SimRemote> remotes = Build();
    return remotes;
}

const SimRemote* FindSimRemote(const std::string& category) {
    for (const SimRemote& remote : SimRemotes()) {
        if (strcasecmp(remote.category, category.c_str()) == 0) {
            return &remote;
        }
    }
    return nullptr;
}

const SimRemote* FindSimRemote(int category) {
    if (category < 1 || category > static_cast<int>(SimRemotes().size())) {
        return nullptr;
    }
    return &SimRemotes()[static_cast<size_t>(category - 1)];
}
