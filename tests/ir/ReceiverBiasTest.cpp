// The receiver bias of one device, estimated over its captures: remotes whose spaces are all
// longer than their marks give nothing to estimate from, and still lose the bias.
#include "ir/ReceiverBias.h"

#include <gtest/gtest.h>

#include <vector>

#include "ir/protocols/IrProtocol.h"

namespace {

constexpr int32_t kBiasUs = 100;  // a receiver that lengthens marks by this much

// The first transmission of a code as the receiver reports it.
std::vector<int32_t> Heard(const char* protocol, int32_t biasUs) {
    IrEncoded encoded;
    EXPECT_EQ(EncodeIrSignal(*FindIrProtocol(protocol), IrCode{0x01, 0x12, 0}, encoded), kIrCodeOk);
    std::vector<int32_t> heard = encoded.durations;
    for (int32_t& value : heard) {
        value += biasUs;  // a mark grows, a (negative) space shrinks
    }
    return heard;
}

// The largest difference of a capture's marks from the code's own.
int32_t MarkError(const std::vector<int32_t>& corrected, const std::vector<int32_t>& nominal) {
    int32_t worst = 0;
    for (size_t k = 0; k < nominal.size(); ++k) {
        if (nominal[k] > 0) {
            worst = std::max(worst, std::abs(corrected[k] - nominal[k]));
        }
    }
    return worst;
}

// Protocols whose spaces are all longer than their marks: one capture shows no bias.
class SpacesLongerThanMarks : public ::testing::TestWithParam<const char*> {};

TEST_P(SpacesLongerThanMarks, LoseTheBiasLearntFromOtherCaptures) {
    const std::vector<int32_t> heard = Heard(GetParam(), kBiasUs);
    int32_t single = 0;
    EXPECT_FALSE(EstimateCaptureBias(heard, single));

    CReceiverBias device;
    // Learning an NEC remote and an RC5 remote first shows the device's bias.
    EXPECT_NEAR(device.Observe(Heard("NEC", kBiasUs)), kBiasUs, 5);
    EXPECT_NEAR(device.Observe(Heard("RC5", kBiasUs)), kBiasUs, 5);
    std::vector<int32_t> corrected = heard;
    RemoveCaptureBias(corrected, device.Observe(heard));
    EXPECT_LE(MarkError(corrected, Heard(GetParam(), 0)), 5);
}

INSTANTIATE_TEST_SUITE_P(Protocols, SpacesLongerThanMarks,
                         ::testing::Values("Sharp", "Denon", "RCA"));

TEST(ReceiverBias, RememberedEstimateServesTheFirstCapture) {
    const CReceiverBias saved = [] {
        CReceiverBias device;
        device.Observe(Heard("NEC", kBiasUs));
        return device;
    }();
    CReceiverBias restored(saved.BiasUs(), saved.Captures());
    EXPECT_NEAR(restored.Observe(Heard("Sharp", kBiasUs)), kBiasUs, 5);
    // Nothing remembered: a capture that shows nothing leaves the bias at 0.
    CReceiverBias fresh;
    EXPECT_EQ(fresh.Observe(Heard("Sharp", kBiasUs)), 0);
    EXPECT_EQ(fresh.Captures(), 0);
}

TEST(ReceiverBias, FollowsTheCapturesThatShowIt) {
    CReceiverBias device;
    EXPECT_EQ(device.Observe(Heard("NEC", 0)), 0);  // a receiver without bias
    for (int k = 0; k < 20; ++k) {
        device.Observe(Heard("NEC", 160));
    }
    EXPECT_NEAR(device.BiasUs(), 160, 10);
    // Marks longer than the spaces by far more than a receiver's bias: a protocol's shape,
    // which moves nothing.
    const int32_t before = device.BiasUs();
    const std::vector<int32_t> longMarks = {1500, -500, 1500, -500, 1500, -500, 1500, -40000};
    EXPECT_EQ(device.Observe(longMarks), before);
    EXPECT_NEAR(device.BiasUs(), 160, 10);
}

}  // namespace
