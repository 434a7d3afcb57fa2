// Every face learns through the remote model's one learn operation: a test face calling the
// model and ardelctl get the same codebase file, the same report and the same message for
// each way a learn can end.
#include <gtest/gtest.h>

#include <linux/lirc.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/ctl/Commands.h"
#include "app/ctl/Durations.h"
#include "app/ctl/LircCommands.h"
#include "app/ctl/SimRun.h"
#include "ir/CLircIrDriver.h"
#include "ir/IrFactory.h"
#include "ir/IrResult.h"
#include "ir/protocols/IrProtocol.h"
#include "model/CRemoteModel.h"
#include "model/ResultText.h"
#include "platform/host/HostHandheldFs.h"
#include "platform/host/LircPlatform.h"
#include "platform/sim/SimHandheld.h"
#include "tests/support/SimLearnRig.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestSignals.h"

namespace {

// The value of "key: value" in ardelctl's output, or "" when there is none.
std::string Field(const std::string& out, const std::string& key) {
    std::istringstream lines(out);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.rfind(key + ": ", 0) == 0) {
            return line.substr(key.size() + 2);
        }
    }
    return "";
}

// A face that reads at once and remembers what it was shown.
class CTestFace : public LearnFace {
  public:
    int Read(const LearnStep& step, const std::function<int()>& read) override {
        steps.push_back(step.step);
        return read();
    }
    std::vector<int> steps;
};

// What ardelctl prints about a learn, as the test face's outcome would have it printed.
struct Seen {
    std::string result, cut, checked, stored, message, headline;
    bool learnt = false;
};

Seen FromOutcome(const LearnOutcome& outcome) {
    Seen seen;
    seen.result = std::to_string(outcome.ir.result);
    if (!outcome.reports.empty()) {
        seen.cut = outcome.reports[0].cut ? "yes" : "no";
        seen.checked =
            CheckWord(outcome.checks.empty() ? CheckOutcome::Skipped : outcome.checks[0].outcome);
    }
    seen.stored = outcome.Stored() ? "Power signal 1" : "";
    seen.message = LearnFailureText(outcome).toStdString();
    seen.learnt = outcome.code == kOpOk;
    seen.headline = seen.learnt ? LearntHeadline(outcome).toStdString() : "";
    return seen;
}

Seen FromCtl(int status, const std::string& out, const std::string& err,
             const std::string& command) {
    Seen seen;
    seen.result = Field(out, "result");
    seen.cut = Field(out, "cut");
    seen.checked = Field(out, "checked");
    seen.stored = Field(out, "stored");
    const std::string prefix = "ardelctl " + command + ": ";
    if (err.rfind(prefix, 0) == 0) {
        seen.message = err.substr(prefix.size(), err.size() - prefix.size() - 1);
    }
    seen.learnt = status == 0;
    seen.headline = Field(out, "learnt");
    return seen;
}

void ExpectSame(const Seen& model, const Seen& ctl) {
    EXPECT_EQ(model.result, ctl.result);
    EXPECT_EQ(model.cut, ctl.cut);
    EXPECT_EQ(model.checked, ctl.checked);
    EXPECT_EQ(model.stored, ctl.stored);
    EXPECT_EQ(model.message, ctl.message);
    EXPECT_EQ(model.learnt, ctl.learnt);
    EXPECT_EQ(model.headline, ctl.headline);
}

std::vector<int32_t> Encoded(const char* protocol, uint32_t address, uint32_t command) {
    IrEncoded encoded;
    IrCode code;
    code.address = address;
    code.command = command;
    EXPECT_EQ(EncodeIrSignal(*FindIrProtocol(protocol), code, encoded), kIrCodeOk);
    return encoded.durations;
}

// ---- the simulated handheld: a remote plays a waveform to it

struct SimCase {
    const char* name;
    std::vector<int32_t> remote;  // what the device's remote sends
    uint32_t carrierHz;
    uint32_t delayMs;
    // What both faces must see.
    bool learnt;
    const char* cut;      // "" when nothing was heard
    const char* checked;  // "" when nothing was heard
    const char* message;  // a part of the failure's message, "" for none
    bool toggled;
    const char* headline;  // what both say was learnt, "" for nothing
};

void PrintTo(const SimCase& c, std::ostream* os) {
    *os << c.name;
}

// The remote's marks are shorter than one period of its carrier: the receiver hears a mark
// that the emitter, which sends whole carrier periods, cannot give back.
std::vector<int32_t> ShortMarks() {
    std::vector<int32_t> frame = {2400, -600};
    for (int k = 0; k < 12; ++k) {
        frame.push_back(k % 2 ? 1200 : 90);
        frame.push_back(-600);
    }
    frame.push_back(600);
    return frame;
}

const std::vector<int32_t> kNecFrame = Encoded("NEC", 0x04, 0x08);

const SimCase kSimCases[] = {
    {"NormalButton", Repeated(kNecFrame, 3, 40000), 38000, 20, true, "no", "yes", "", false,
     "Power: NEC 0x4/0x8"},
    {"ToggleButton", Repeated(Encoded("RC5", 0, 12), 3, 90000), 36000, 20, true, "no", "yes", "",
     true, "Power: RC5 0x0/0xC"},
    {"CutCapture", Repeated(NeverRepeatingFrame(), 2, 50000), 38000, 20, false, "yes", "skipped",
     "only its beginning was heard", false, ""},
    {"NoSignal", Repeated(kNecFrame, 1, 0), 38000, 25000, false, "", "", "No IR signal arrived",
     false, ""},
    {"FailedCheck", Repeated(ShortMarks(), 3, 30000), 10000, 20, true, "no", "no", "", false,
     "Power: no protocol recognised"},
};

class LearnFacesSim : public testing::TestWithParam<SimCase> {};

TEST_P(LearnFacesSim, ModelAndToolLearnAlike) {
    const SimCase& c = GetParam();
    TempFolder tool, program;

    // ardelctl sim learn, into a codebase file of its own.
    std::ostringstream text;
    for (const int32_t value : c.remote) {
        text << value << "\n";
    }
    std::istringstream in(text.str());
    std::ostringstream out, err;
    const int status = RunCtl(
        {"sim", "learn", "--chip", "pxa255", "--carrier", std::to_string(c.carrierHz), "--delay-ms",
         std::to_string(c.delayMs), "--codebase", tool / "TV_Sony.PDB", "--button", "Power"},
        in, out, err);
    const Seen ctl = FromCtl(status, out.str(), err.str(), "sim learn");

    // The model itself with a test face, on the same handheld and remote.
    RemoteWaveform wave;
    wave.durations = c.remote;
    wave.carrierHz = c.carrierHz;
    wave.delayNs = uint64_t{c.delayMs} * 1000000;
    SimLearnRig rig("pxa255", program.Path(), wave);
    InstallSimOwnReceiver(rig.handheld, rig.model);
    CTestFace face;
    LearnRequest request;
    request.path = "\\TV_Sony.PDB";
    request.button = "Power";
    request.category = kCategoryTv;
    const LearnOutcome outcome = rig.model.LearnButton(request, face);
    const Seen direct = FromOutcome(outcome);

    EXPECT_EQ(face.steps, std::vector<int>{0});
    EXPECT_EQ(direct.learnt, c.learnt) << direct.message;
    EXPECT_EQ(direct.cut, c.cut);
    EXPECT_EQ(direct.checked, c.checked);
    EXPECT_NE(direct.message.find(c.message), std::string::npos) << direct.message;
    EXPECT_EQ(*c.message == '\0', direct.message.empty()) << direct.message;
    EXPECT_EQ(outcome.toggled, c.toggled);
    EXPECT_EQ(direct.headline, c.headline);
    ExpectSame(direct, ctl);
    if (c.learnt) {
        EXPECT_EQ(Field(out.str(), "durations"),
                  JoinDurations(outcome.learnt[0].durations, outcome.learnt[0].count));
    }
    // The same file, or none for either.
    ASSERT_EQ(std::filesystem::exists(tool / "TV_Sony.PDB"),
              std::filesystem::exists(program / "TV_Sony.PDB"));
    EXPECT_EQ(std::filesystem::exists(program / "TV_Sony.PDB"), c.learnt);
    EXPECT_EQ(CodebaseBytes(tool / "TV_Sony.PDB"), CodebaseBytes(program / "TV_Sony.PDB"));
}

INSTANTIATE_TEST_SUITE_P(Cases, LearnFacesSim, testing::ValuesIn(kSimCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- the kernel's LIRC devices: a receiver that fails as the kernel's do

// A LIRC receiver that fails its open with an errno, lacks the receive feature, or reports
// an overflow as its first sample.
class CFailingReceiver : public LircDevice {
  public:
    int openError = 0;
    uint32_t features = LIRC_CAN_REC_MODE2;
    bool overflow = false;
    int readError = 0;

    int Open(const std::string&, bool) override {
        open_ = openError == 0;
        return openError;
    }
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    int Read(void* buffer, size_t size, size_t& done) override {
        done = 0;
        if (readError != 0) {
            return readError;
        }
        const uint32_t sample = LIRC_OVERFLOW(0);
        if (overflow && size >= sizeof sample) {
            std::memcpy(buffer, &sample, sizeof sample);
            done = sizeof sample;
        }
        return 0;
    }
    int Write(const void*, size_t, size_t& done) override {
        done = 0;
        return EIO;
    }
    int Ioctl(unsigned long request, uint32_t& value) override {
        if (request == LIRC_GET_FEATURES) {
            value = features;
        }
        return 0;
    }
    int WaitReadable(int, bool& readable) override {
        readable = overflow || readError != 0;
        return 0;
    }
    std::string OwnerGroup(const std::string&) override { return "plugdev"; }

  private:
    bool open_ = false;
};

// Time that passes only as the driver asks for it.
class CStepClock : public LircClock {
  public:
    uint64_t NowUs() override { return nowUs_ += 1000; }
    void SleepUntilUs(uint64_t deadlineUs) override { nowUs_ = std::max(nowUs_, deadlineUs); }

  private:
    uint64_t nowUs_ = 0;
};

struct LircCase {
    int result;
    std::function<void(CFailingReceiver&)> fail;
    const char* message;
};

void PrintTo(const LircCase& c, std::ostream* os) {
    *os << c.result;
}

class LearnFacesLirc : public testing::TestWithParam<LircCase> {};

TEST_P(LearnFacesLirc, ModelAndToolReportTheFaultAlike) {
    const LircCase& c = GetParam();
    TempFolder tool, program;
    const std::string device = "/dev/lirc0";

    CFailingReceiver receiver, transmitter, probe;
    c.fail(receiver);
    CStepClock clock;
    LircServices services{transmitter, receiver, probe, clock, {}};
    std::ostringstream out, err;
    const int status =
        RunLircLearn({device, 2000, {tool / "TV_Sony.PDB", "Power", 1, false}}, services, out, err);
    const Seen ctl = FromCtl(status, out.str(), err.str(), "lirc learn");

    CFailingReceiver modelReceiver, modelTransmitter;
    c.fail(modelReceiver);
    LircPlatform platform;
    CLircIrDriver driver(platform, modelTransmitter, modelReceiver, clock);
    driver.SetDevices("", device);
    HostHandheldFs fs(program.Path().string());
    RemoteServices modelServices;
    modelServices.fs = &fs;
    modelServices.driver = [&driver]() -> CIrDriver* { return &driver; };
    CRemoteModel model(modelServices);
    model.SetIrPort(device);
    CTestFace face;
    LearnRequest request;
    request.path = "\\TV_Sony.PDB";
    request.button = "Power";
    const LearnOutcome outcome = model.LearnButton(request, face);
    const Seen direct = FromOutcome(outcome);

    EXPECT_EQ(outcome.code, kOpIrFailed);
    EXPECT_EQ(outcome.ir.result, c.result);
    EXPECT_EQ(direct.message, c.message);
    ExpectSame(direct, ctl);
    EXPECT_FALSE(std::filesystem::exists(tool / "TV_Sony.PDB"));
    EXPECT_FALSE(std::filesystem::exists(program / "TV_Sony.PDB"));
}

std::function<void(CFailingReceiver&)> OpenFails(int error) {
    return [error](CFailingReceiver& device) { device.openError = error; };
}

// A learn meets every fault of a receiver; a transmitter's own faults (it cannot send, or
// cannot carry a signal) come only with a send.
const LircCase kLircCases[] = {
    {kIrLircNoDevice, OpenFails(ENOENT), "There is no IR device '/dev/lirc0'."},
    {kIrLircNoPermission, OpenFails(EACCES),
     "No permission to use the IR device '/dev/lirc0'. Add your user to the group 'plugdev' "
     "that owns it, then log in again."},
    {kIrLircBusy, OpenFails(EBUSY),
     "The IR device '/dev/lirc0' is busy: another program is using it."},
    {kIrLircCannotReceive, [](CFailingReceiver& device) { device.features = 0; },
     "The IR device '/dev/lirc0' cannot learn signals."},
    {kIrLircUnplugged, OpenFails(ENODEV), "The IR device '/dev/lirc0' went away (unplugged?)."},
    {kIrLircInvalid, OpenFails(EINVAL), "The IR device '/dev/lirc0' refused the request."},
    {kIrLircOverflow, [](CFailingReceiver& device) { device.overflow = true; },
     "The IR receiver '/dev/lirc0' lost part of the signal. Please try again."},
    {kIrLircIoError, [](CFailingReceiver& device) { device.readError = EIO; },
     "The IR device '/dev/lirc0' failed."},
};

INSTANTIATE_TEST_SUITE_P(Faults, LearnFacesLirc, testing::ValuesIn(kLircCases),
                         [](const auto& info) { return std::to_string(info.param.result); });

}  // namespace
