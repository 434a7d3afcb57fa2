#include "app/ctl/ProtocolCommands.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <sstream>

#include "app/ctl/Durations.h"
#include "app/ctl/SimRun.h"
#include "platform/sim/SimRemotes.h"
#include "tests/app/CtlRun.h"

namespace {

CtlRun Decode(const std::string& input, std::optional<int64_t> carrierUs = {},
              const std::string& file = "") {
    return RunCommand(RunDecodeCommand, {file, carrierUs, {}}, input);
}

CtlRun Encode(const std::string& protocol, const std::string& address, const std::string& command,
              std::optional<int64_t> toggle = {}) {
    std::ostringstream out, err;
    const int status = RunEncodeCommand({protocol, address, command, toggle, {}}, out, err);
    return {status, out.str(), err.str()};
}

std::string Hex(uint32_t value) {
    std::ostringstream text;
    text << std::uppercase << std::hex << value;
    return text.str();
}

// The value of "key: value" in a command's output.
std::string Value(const std::string& output, const std::string& key) {
    const std::string prefix = key + ": ";
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        if (line.compare(0, prefix.size(), prefix) == 0) {
            return line.substr(prefix.size());
        }
    }
    return "<none>";
}

TEST(DecodeCommand, NamesANecFrame) {
    // NEC address 0x04, command 0x08: bytes 04 FB 08 F7, least significant bit first.
    const CtlRun run = Decode(
        "9000 -4500\n"
        "560,-560 560,-560 560,-1690 560,-560 560,-560 560,-560 560,-560 560,-560  # 04\n"
        "560,-1690 560,-1690 560,-560 560,-1690 560,-1690 560,-1690 560,-1690 560,-1690\n"
        "560,-560 560,-560 560,-560 560,-1690 560,-560 560,-560 560,-560 560,-560  # 08\n"
        "560,-1690 560,-1690 560,-1690 560,-560 560,-1690 560,-1690 560,-1690 560,-1690\n"
        "560 -40000\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "protocol: NEC\naddress: 0x4\ncommand: 0x8\n");
    EXPECT_EQ(run.err, "");
}

TEST(DecodeCommand, ToggleProtocolsPrintTheToggle) {
    const CtlRun encoded = Encode("RC6", "0x0C", "0x21", 1);
    ASSERT_EQ(encoded.status, 0) << encoded.err;
    const CtlRun run = Decode(Value(encoded.out, "durations"), 28);
    EXPECT_EQ(run.out, "protocol: RC6\naddress: 0xC\ncommand: 0x21\ntoggle: 1\n");
}

// What the simulated handheld learns from each device remote beside it (marks stretched by
// the receiver, the signal cut after its first repetition) is named with the remote's code.
TEST(DecodeCommand, ButtonsLearntOnTheSimulatedHandheld) {
    for (const SimRemote& remote : SimRemotes()) {
        const SimRemoteButton& button = remote.buttons.back();
        SCOPED_TRACE(std::string(remote.category) + " " + button.name);
        // How each kind of simulated remote is named, and the bits of its address and code
        // that the name keeps.
        struct Naming {
            SimProtocol kind;
            const char* protocol;  // nullptr: no protocol fits
            uint32_t addressMask;
            uint32_t commandMask;
            bool toggle;
        };
        static constexpr Naming kNamings[] = {
            {SimProtocol::Pulse12, "SIRC", 0x1F, 0x7F, false},
            {SimProtocol::BiPhase14, "RC5", 0x1F, 0x3F, true},
            // Its check byte is not the parity of Kaseikyo, whose frame it resembles.
            {SimProtocol::Pulse48, nullptr, 0, 0, false},
            {SimProtocol::Distance16, "JVC", 0xFF, 0xFF, false},
            {SimProtocol::Distance32, "NEC", 0xFF, 0xFF, false},
            {SimProtocol::BiPhaseLead, "RC6", 0xFF, 0xFF, true},
        };
        const auto naming =
            std::find_if(std::begin(kNamings), std::end(kNamings),
                         [&](const Naming& n) { return n.kind == remote.protocol; });
        ASSERT_NE(naming, std::end(kNamings));
        std::string expected = "protocol: unknown\n";
        if (naming->protocol) {
            expected = std::string("protocol: ") + naming->protocol + "\naddress: 0x" +
                       Hex(remote.address & naming->addressMask) + "\ncommand: 0x" +
                       Hex(button.code & naming->commandMask) + "\n" +
                       (naming->toggle ? "toggle: 0\n" : "");
        }
        RemoteWaveform wave = remote.Press(button.name, 300);
        wave.delayNs = 20000000;
        SimHandheld handheld(*FindSimProfile("pxa255"));
        const SimLearnOutcome learnt = SimLearn(handheld, wave);
        ASSERT_EQ(learnt.result, 0);
        const CtlRun run = Decode(JoinDurations(learnt.durations.data(), learnt.durations.size()),
                                  learnt.carrierPeriod);
        EXPECT_EQ(run.out, expected);
    }
}

TEST(DecodeCommand, RawSignalIsUnknown) {
    const CtlRun run = Decode("500 -500 700 -20000\n");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "protocol: unknown\n");
}

TEST(DecodeCommand, LoneRepeatCodeNamesNoCode) {
    EXPECT_EQ(Decode("9000 -2250 560 -96000\n").out, "protocol: NEC\nrepeat: 1\n");
}

struct BadDecode {
    const char* name;
    std::string input;
    std::optional<int64_t> carrierUs;
    const char* message;
};

class DecodeBadInput : public ::testing::TestWithParam<BadDecode> {};

TEST_P(DecodeBadInput, IsRefusedWithAMessage) {
    const CtlRun run = Decode(GetParam().input, GetParam().carrierUs);
    EXPECT_NE(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(GetParam().message), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, DecodeBadInput,
    ::testing::Values(BadDecode{"NotANumber", "9000 -45x0\n", {}, "'-45x0' is not a whole number"},
                      BadDecode{"Empty", "# nothing\n", {}, "empty"},
                      BadDecode{"TooMany", AlternatingDurations(1025), {}, "at most 1024"},
                      BadDecode{"CarrierZero", "500\n", 0, "--carrier-us takes"},
                      BadDecode{"CarrierTooLong", "500\n", 256, "from 1 to 255"}),
    [](const auto& info) { return info.param.name; });

TEST(DecodeCommand, MissingFileIsReported) {
    const CtlRun run = Decode("", {}, "/nonexistent/signal.txt");
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find("cannot open '/nonexistent/signal.txt'"), std::string::npos);
}

TEST(EncodeCommand, NecHeldButton) {
    const CtlRun run = Encode("nec", "4", "0x08");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Value(run.out, "carrier_us"), "26");
    // Header, 32 bits, stop mark and gap; then the repeat code and its gap.
    EXPECT_EQ(Value(run.out, "frame_start"), "68");
    EXPECT_EQ(Value(run.out, "count"), "72");
    EXPECT_EQ(Decode(Value(run.out, "durations")).out,
              "protocol: NEC\naddress: 0x4\ncommand: 0x8\n");
}

TEST(EncodeCommand, EdgesOfTheRangeDecodeBack) {
    const struct {
        const char* protocol;
        const char* address;
        const char* command;
        const char* decoded;
    } cases[] = {
        {"NECext", "0xFFFF", "0", "protocol: NECext\naddress: 0xFFFF\ncommand: 0x0\n"},
        {"SIRC20", "8191", "127", "protocol: SIRC20\naddress: 0x1FFF\ncommand: 0x7F\n"},
        {"Kaseikyo", "0x3FFFFFF", "0x3FF",
         "protocol: Kaseikyo\naddress: 0x3FFFFFF\ncommand: 0x3FF\n"},
        {"RC5X", "0x1F", "0x3F", "protocol: RC5X\naddress: 0x1F\ncommand: 0x3F\ntoggle: 0\n"},
    };
    for (const auto& c : cases) {
        const CtlRun run = Encode(c.protocol, c.address, c.command);
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(Decode(Value(run.out, "durations"), std::stoi(Value(run.out, "carrier_us"))).out,
                  c.decoded);
    }
}

struct BadEncode {
    const char* name;
    const char* protocol;
    const char* address;
    const char* command;
    std::optional<int64_t> toggle;
    const char* message;
};

class EncodeBadInput : public ::testing::TestWithParam<BadEncode> {};

TEST_P(EncodeBadInput, IsRefusedWithAMessage) {
    const BadEncode& bad = GetParam();
    const CtlRun run = Encode(bad.protocol, bad.address, bad.command, bad.toggle);
    EXPECT_NE(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(bad.message), std::string::npos) << run.err;
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, EncodeBadInput,
    ::testing::Values(
        BadEncode{"UnknownProtocol",
                  "NEC43",
                  "0",
                  "0",
                  {},
                  "unknown protocol 'NEC43'; known protocols: NEC, NECext, NEC42, NEC42ext, "
                  "Samsung32, RC5, RC5X, RC6, SIRC, SIRC15, SIRC20, Kaseikyo, RCA, Pioneer, JVC, "
                  "Sharp, Denon"},
        BadEncode{"AddressOutOfRange",
                  "NEC",
                  "0x100",
                  "0",
                  {},
                  "address 0x100 is out of range for NEC: 0x0 to 0xFF"},
        BadEncode{"CommandOutOfRange",
                  "RC5",
                  "0",
                  "64",
                  {},
                  "command 0x40 is out of range for RC5: 0x0 to 0x3F"},
        BadEncode{"AddressBeyond32Bits", "NEC", "0x100000000", "0", {}, "not a whole number"},
        BadEncode{"NegativeCommand", "NEC", "0", "-1", {}, "not a whole number"},
        BadEncode{"HexWithoutDigits", "NEC", "0x", "0", {}, "not a whole number"},
        BadEncode{"ToggleOnNec", "NEC", "0", "0", 1, "NEC has no toggle bit"},
        BadEncode{"ToggleTwo", "RC6", "0", "0", 2, "--toggle takes 0 or 1"}),
    [](const auto& info) { return info.param.name; });

}  // namespace
