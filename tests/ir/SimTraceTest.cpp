// What every driver does on its simulated chip, down to the nanosecond: the emitter's level
// changes of a send, the capture of a remote and of the handheld's own echo, the virtual
// time each took and the interrupt masks on the way. The recorded traces were taken from
// the drivers' plain polling loops, before the simulated handheld learnt to leave out the
// reads of a busy-wait that cannot end it; both ways must give them, edge for edge.
//
// ARDEL_RECORD_TRACES=FILE writes the traces of this build into FILE instead of checking.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/ctl/SimRun.h"
#include "ir/IrFactory.h"
#include "platform/sim/SimHandheld.h"

namespace {

const char* const kChips[] = {"sa1110", "pxa250",  "pxa255",  "pxa26x",
                              "pxa27x", "s3c2410", "s3c2440", "omap1510"};

// FNV-1a over 64-bit words: a trace of tens of thousands of edges in one number.
class Digest {
  public:
    void Add(uint64_t value) {
        for (int k = 0; k < 8; ++k) {
            hash_ = (hash_ ^ ((value >> (8 * k)) & 0xFF)) * 0x100000001B3ull;
        }
    }
    uint64_t Value() const { return hash_; }

  private:
    uint64_t hash_ = 0xCBF29CE484222325ull;
};

std::vector<int32_t> NecFrame(uint32_t code) {
    std::vector<int32_t> frame = {9000, -4500};
    for (int bit = 0; bit < 32; ++bit) {
        frame.insert(frame.end(), {560, (code >> bit) & 1 ? -1690 : -560});
    }
    frame.insert(frame.end(), {560, -40000, 9000, -2250, 560});
    return frame;
}

// A handheld that makes every read of a driver's busy-wait, as a real chip does.
class EveryReadHandheld : public SimHandheld {
  public:
    using SimHandheld::SimHandheld;
    PollResult Poll(const CounterPoll& poll) override { return IrPlatform::Poll(poll); }
};

// One line per chip: the figures that a reader can compare by eye, then the digests.
template <typename Handheld>
std::string Trace(const char* chip) {
    Handheld handheld(*FindSimProfile(chip));
    std::unique_ptr<CIrDriver> driver(CreateIrDriver(handheld.Profile().family, handheld));
    driver->SetPortName(SimIrPortName(handheld.Profile()));
    std::ostringstream line;
    line << chip;

    // A send of two passes, the second from the repeat frame on.
    const std::vector<int32_t> frame = NecFrame(0x04FB08F7);
    Digest send;
    const int loaded =
        driver->LoadSignal(frame.data(), static_cast<uint16_t>(frame.size()), 67, 26);
    const int sent = driver->Send(2);
    driver->ClosePort();
    for (const auto& [time, on] : handheld.Air().Emissions()) {
        send.Add(time);
        send.Add(on);
    }
    for (const SimChip::MaskChange& change : handheld.Chip().MaskHistory()) {
        send.Add(change.time);
        send.Add(change.mask);
    }
    line << " send " << loaded << '/' << sent << ' ' << handheld.Air().Emissions().size() << ' '
         << handheld.Clock().Now() << ' ' << std::hex << send.Value() << std::dec;

    // A remote with an unsteady receiver, then the handheld's own send heard back.
    auto capture = [&](const char* what) {
        const int result = driver->Capture();
        Digest heard;
        for (int32_t d : driver->LastCaptureHeard()) {
            heard.Add(static_cast<uint32_t>(d));
        }
        std::vector<int32_t> durations;
        uint16_t count = 0, frameStart = 0;
        uint8_t carrier = 0;
        driver->GetSignal(durations, count, frameStart, carrier);
        for (int32_t d : durations) {
            heard.Add(static_cast<uint32_t>(d));
        }
        heard.Add(frameStart);
        heard.Add(carrier);
        driver->ClosePort();
        line << ' ' << what << ' ' << result << ' ' << driver->LastCaptureHeard().size() << ' '
             << handheld.Clock().Now() << ' ' << std::hex << heard.Value() << std::dec;
    };
    RemoteWaveform wave;
    wave.durations = NecFrame(0x20DF10EF);
    wave.delayNs = 3'000'000;
    wave.jitterNs = 700;
    wave.stretchNs = 40'000;
    handheld.Air().Play(wave, handheld.Clock().Now());
    capture("capture");

    handheld.ListenToOwnEmitter();
    driver->LoadSignal(frame.data(), static_cast<uint16_t>(frame.size()), 67, 26);
    driver->Send(1);
    handheld.HearOwnEmitter();
    capture("echo");
    line << " guest " << handheld.GuestErrors().size();
    return line.str();
}

std::map<std::string, std::string> Recorded() {
    std::map<std::string, std::string> traces;
    std::ifstream in(std::string(ARDEL_TEST_DATA) + "/fixtures/sim-traces.txt");
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line[0] != '#') {
            traces[line.substr(0, line.find(' '))] = line;
        }
    }
    return traces;
}

TEST(SimTrace, EveryChipSendsAndCapturesAsRecorded) {
    if (const char* record = std::getenv("ARDEL_RECORD_TRACES")) {
        std::ofstream out(record);
        out << "# chip send load/send edges end-ns digest capture result entries end-ns digest "
               "echo result entries end-ns digest guest errors\n";
        for (const char* chip : kChips) {
            out << Trace<EveryReadHandheld>(chip) << '\n';
        }
        GTEST_SKIP() << "traces written to " << record;
    }
    const std::map<std::string, std::string> recorded = Recorded();
    ASSERT_EQ(recorded.size(), std::size(kChips));
    for (const char* chip : kChips) {
        EXPECT_EQ(Trace<EveryReadHandheld>(chip), recorded.at(chip)) << "every read made";
        EXPECT_EQ(Trace<SimHandheld>(chip), recorded.at(chip)) << "reads left out";
    }
}

}  // namespace
