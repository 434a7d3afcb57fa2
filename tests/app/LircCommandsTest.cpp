#include "app/ctl/LircCommands.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/ctl/Durations.h"
#include "ir/IrResult.h"
#include "ir/IrSignal.h"
#include "ir/protocols/IrProtocol.h"
#include "platform/sim/SimRemotes.h"
#include "tests/support/FuseLircDevice.h"
#include "tests/support/TempFolder.h"

namespace {

constexpr uint32_t kSpeedUp = 10;

// ardelctl's lirc commands on a FUSE LIRC device, with the real system calls.
class LircCommands : public testing::Test {
  protected:
    void SetUp() override {
        if (!device.Mounted()) {
            GTEST_SKIP() << "FUSE cannot be mounted here: " << device.Error();
        }
    }

    // The value after "key: " in a command's output.
    static std::string Field(const std::string& output, const std::string& key) {
        std::istringstream lines(output);
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind(key + ": ", 0) == 0) {
                return line.substr(key.size() + 2);
            }
        }
        return "<missing>";
    }

    ScaledLircClock clock{kSpeedUp};
    FuseLircDevice device{clock};
    HostLircDevice transmitter, receiver, probe;
    LircServices services{transmitter, receiver, probe, clock, {}};
    std::ostringstream out, err;
};

TEST_F(LircCommands, ListNamesEveryDeviceWithItsDriverAndFeatures) {
    // A dev root with two lirc entries (one whose device is missing) and a stranger, and a
    // sysfs root where the first belongs to an rc device of the gpio receiver driver.
    TempFolder roots;
    std::filesystem::create_directories(roots / "dev");
    std::filesystem::create_symlink(device.Path(), roots / "dev/lirc0");
    std::filesystem::create_symlink(roots / "nowhere", roots / "dev/lirc1");
    std::ofstream(roots / "dev/lircx") << "";
    std::filesystem::create_directories(roots / "sys/class/rc/rc0/lirc0");
    std::ofstream(roots / "sys/class/rc/rc0/uevent") << "NAME=rc-rc6-mce\nDRV_NAME=gpio_ir_recv\n";
    services.roots = {roots / "dev", roots / "sys"};

    FuseLircConfig sendOnly;
    sendOnly.features = LIRC_CAN_SEND_PULSE | LIRC_CAN_SET_SEND_CARRIER;
    FuseLircDevice second(clock, sendOnly);
    ASSERT_TRUE(second.Mounted());

    // The first device named again by its own path is listed once.
    ASSERT_EQ(RunLircList({{device.Path(), second.Path()}}, services, out, err), 0);
    EXPECT_EQ(out.str(),
              roots / "dev/lirc0" + "\tgpio_ir_recv\t" +
                  "send,receive,carrier,wideband,set-carrier,duty-cycle,resolution=50us\n" +
                  roots / "dev/lirc1" + "\t-\t-\n" + second.Path() + "\t-\tsend,set-carrier\n");
    EXPECT_NE(err.str().find(roots / "dev/lirc1"), std::string::npos) << err.str();
}

// With no device at all, the list says so on standard error, in one line, and how devices
// come to be there; standard output stays empty for scripts.
TEST(LircListWithoutDevices, SaysSoInOneLine) {
    TempFolder roots;
    std::filesystem::create_directories(roots / "dev");
    std::filesystem::create_directories(roots / "sys");
    ScaledLircClock clock{kSpeedUp};
    HostLircDevice transmitter, receiver, probe;
    LircServices services{transmitter, receiver, probe, clock, {roots / "dev", roots / "sys"}};
    std::ostringstream out, err;
    EXPECT_EQ(RunLircList({}, services, out, err), 0);
    EXPECT_EQ(out.str(), "");
    const std::string message = err.str();
    EXPECT_NE(message.find("no LIRC device found"), std::string::npos) << message;
    EXPECT_NE(message.find(roots / "dev/lircN"), std::string::npos) << message;
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
    EXPECT_TRUE(message.ends_with("\n")) << message;
}

TEST_F(LircCommands, LearntSignalSentBackComesOutAsLearnt) {
    const SimRemote* remote = FindSimRemote("VCR");
    device.Press({remote->Press("Power", 300).durations, remote->CarrierHz()});
    ASSERT_EQ(RunLircLearn({device.Path(), 2000, {}}, services, out, err), 0) << err.str();
    EXPECT_EQ(Field(out.str(), "result"), "0");
    EXPECT_EQ(Field(out.str(), "carrier_us"), "26");
    const std::string durations = Field(out.str(), "durations");
    const int count = std::stoi(Field(out.str(), "count"));
    ASSERT_GT(count, 30);

    // Through a file, one pass.
    TempFolder folder;
    std::ofstream(folder / "signal.txt") << "# learnt\n" << durations << "\n";
    std::istringstream none;
    std::ostringstream sendOut;
    LircSendOptions send{device.Path(),
                         1,
                         0,
                         folder / "signal.txt",
                         26,
                         static_cast<uint32_t>(std::stoi(Field(out.str(), "frame_start"))),
                         {}};
    ASSERT_EQ(RunLircSend(send, services, none, sendOut, err), 0) << err.str();
    EXPECT_EQ(sendOut.str(), "result: 0\n");
    std::vector<int32_t> sent;
    for (const FuseLircWrite& write : device.Writes()) {
        for (size_t k = 0; k < write.values.size(); ++k) {
            sent.push_back(k % 2 ? -int32_t(write.values[k]) : int32_t(write.values[k]));
        }
        sent.push_back(0);  // a wait
    }
    std::ostringstream written;
    for (size_t k = 0; k < sent.size(); ++k) {
        written << (k ? "," : "") << sent[k];
    }
    // The pass went out in one write; the learnt pause at its end is the wait after it.
    ASSERT_EQ(device.Writes().size(), 1u);
    EXPECT_EQ(written.str().substr(0, written.str().size() - 2),
              durations.substr(0, durations.rfind(',')));
    EXPECT_EQ(device.Writes()[0].carrierHz, 38462u);
}

// A receiver that cannot measure the carrier: the learnt signal takes its protocol's carrier,
// and a signal that no protocol names the common 38 kHz. The pair is not checked.
TEST_F(LircCommands, WithoutAMeasuredCarrierTheProtocolGivesIt) {
    FuseLircConfig config;
    config.features &= ~LIRC_CAN_MEASURE_CARRIER;
    FuseLircDevice blind(clock, config);
    ASSERT_TRUE(blind.Mounted()) << blind.Error();
    struct Case {
        const char* protocol;  // null: a raw signal
        uint32_t carrierHz;
        const char* carrierUs;
    };
    const Case cases[] = {
        {"RC5", 36000, "28"}, {"SIRC", 40000, "25"}, {"NEC", 38000, "26"}, {nullptr, 33000, "26"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.protocol ? c.protocol : "raw");
        std::vector<int32_t> wave;
        if (c.protocol) {
            IrEncoded encoded;
            ASSERT_EQ(EncodeIrSignal(*FindIrProtocol(c.protocol), {1, 2, 0}, encoded), kIrCodeOk);
            wave = encoded.durations;
            for (int pass = 0; pass < 2; ++pass) {
                wave.insert(wave.end(), encoded.durations.begin() + encoded.frameStart,
                            encoded.durations.end());
            }
        } else {
            wave = {3000, -1000, 1000, -2000, 1000, -1000, 3000, -3000, 1000, -60000};
        }
        while (!wave.empty() && wave.back() < 0) {
            wave.pop_back();  // the remote's last pause is silence
        }
        blind.Press({wave, c.carrierHz});
        out.str("");
        ASSERT_EQ(RunLircLearn({blind.Path(), 2000, {}}, services, out, err), 0) << err.str();
        EXPECT_EQ(Field(out.str(), "carrier_us"), c.carrierUs);
        EXPECT_EQ(Field(out.str(), "cut"), "no");
        EXPECT_EQ(Field(out.str(), "checked"), "skipped");
    }
}

TEST_F(LircCommands, SampleCaptureLearntThroughTheReceiverAnalysesAsTheOriginal) {
    std::vector<int32_t> capture;
    std::string error;
    std::istringstream none;
    ASSERT_TRUE(ReadDurationsFrom(
        std::string(ARDEL_TEST_DATA) + "/../../resources/captures/tv-power-held.txt", none, capture,
        error))
        << error;
    IrSignal original;
    ASSERT_EQ(AnalyseCapture(original, capture.data(), static_cast<uint32_t>(capture.size())), 0);

    device.Press({capture, 40000});
    ASSERT_EQ(RunLircLearn({device.Path(), 2000, {}}, services, out, err), 0) << err.str();
    EXPECT_EQ(Field(out.str(), "carrier_us"), "25");
    EXPECT_EQ(Field(out.str(), "frame_start"), std::to_string(original.frameStart));
    ASSERT_EQ(Field(out.str(), "count"), std::to_string(original.count));
    std::vector<int32_t> learnt;
    std::istringstream text(Field(out.str(), "durations"));
    ASSERT_TRUE(ReadDurations(text, learnt, error)) << error;
    for (size_t k = 0; k < learnt.size(); ++k) {
        EXPECT_NEAR(learnt[k], original.durations[k], 50) << "entry " << k;
    }
}

TEST_F(LircCommands, SendHoldsTheButtonForHoldMs) {
    std::istringstream in("9000 -4500 560 -40000");
    // A first pass of 54 ms, then frames of 40.6 ms: held for a second, up to 25 passes
    // start (fewer when this machine is slow), and none after the release.
    ASSERT_EQ(RunLircSend({device.Path(), 0xFFFF, 1000, "", 26, 2, {}}, services, in, out, err), 0)
        << err.str();
    EXPECT_GE(device.Writes().size(), 3u);
    EXPECT_LE(device.Writes().size(), 25u);
}

// A button learnt into a codebase and sent from it, through the remote model as the
// program learns and sends.
TEST_F(LircCommands, ACodebaseButtonIsLearntAndSentFromTheFile) {
    const SimRemote* remote = FindSimRemote("TV");
    device.Press({remote->Press("Power", 300).durations, remote->CarrierHz()});
    TempFolder folder;
    CodebaseTarget power{folder / "TV_Den.PDB", "Power", 1, false};
    ASSERT_EQ(RunLircLearn({device.Path(), 2000, power}, services, out, err), 0) << err.str();
    EXPECT_NE(out.str().find("stored: Power signal 1"), std::string::npos) << out.str();
    const std::string learnt = Field(out.str(), "durations");
    const std::string frameStart = Field(out.str(), "frame_start");

    std::istringstream none;
    std::ostringstream sendOut;
    ASSERT_EQ(RunLircSend({device.Path(), 0, 0, "", 0, 0, power}, services, none, sendOut, err), 0)
        << err.str();
    const std::vector<FuseLircWrite> writes = device.Writes();
    ASSERT_FALSE(writes.empty());
    // What went out first is the learnt signal up to its first space.
    const std::vector<uint32_t>& first = writes.front().values;
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(learnt.substr(0, learnt.find(',')), std::to_string(first[0]));

    CodebaseTarget missing{folder / "TV_Den.PDB", "Mute", 1, false};
    std::ostringstream missingOut;
    EXPECT_EQ(
        RunLircSend({device.Path(), 0, 0, "", 0, 0, missing}, services, none, missingOut, err), 1);
    EXPECT_NE(err.str().find("no button 'Mute'"), std::string::npos) << err.str();
}

TEST_F(LircCommands, LearnReportsAQuietReceiverAndAMissingDevice) {
    ASSERT_EQ(RunLircLearn({device.Path(), 100, {}}, services, out, err), 1);
    EXPECT_EQ(out.str(), "result: 17\ncarrier_us: 0\nframe_start: 0\ncount: 0\ndurations: \n");
    std::ostringstream missingOut;
    ASSERT_EQ(RunLircLearn({device.MountPoint() + "/lirc7", 100, {}}, services, missingOut, err),
              1);
    EXPECT_EQ(Field(missingOut.str(), "result"), std::to_string(kIrLircNoDevice));
    EXPECT_NE(err.str().find(device.MountPoint() + "/lirc7"), std::string::npos) << err.str();
}

struct BadSend {
    const char* name;
    LircSendOptions options;
    const char* input;
};

class LircSendInput : public testing::TestWithParam<BadSend> {};

TEST_P(LircSendInput, IsRefusedWithExitTwoAndNothingSent) {
    ScaledLircClock clock(kSpeedUp);
    HostLircDevice transmitter, receiver, probe;
    LircServices services{transmitter, receiver, probe, clock, {}};
    std::istringstream in(GetParam().input);
    std::ostringstream out, err;
    EXPECT_EQ(RunLircSend(GetParam().options, services, in, out, err), 2);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Table, LircSendInput,
    testing::Values(BadSend{"NoDevice", {"", 3, 0, "", 26, 0, {}}, "600 -600 600"},
                    BadSend{"NoCarrier", {"/dev/lirc0", 3, 0, "", 0, 0, {}}, "600 -600 600"},
                    BadSend{"CarrierTooBig", {"/dev/lirc0", 3, 0, "", 256, 0, {}}, "600"},
                    BadSend{"NotANumber", {"/dev/lirc0", 3, 0, "", 26, 0, {}}, "600 -6x0"},
                    BadSend{"NoDurations", {"/dev/lirc0", 3, 0, "", 26, 0, {}}, "# nothing"},
                    BadSend{"MissingFile", {"/dev/lirc0", 3, 0, "/no/such/file", 26, 0, {}}, ""},
                    // A stored button is pressed with its own repeat rule.
                    BadSend{"RepeatWithCodebase",
                            {"/dev/lirc0", 3, 0, "", 0, 0, {"/tmp/TV_Den.PDB", "Power", 1, false}},
                            ""}),
    [](const testing::TestParamInfo<BadSend>& info) { return info.param.name; });

}  // namespace
