#include "model/ButtonStore.h"

#include <gtest/gtest.h>

#include "platform/host/HostHandheldFs.h"
#include "store/CCodebaseFile.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestSignals.h"

namespace {

class ButtonStore : public ::testing::Test {
  protected:
    StoreResult Store(const char* button, int number, const IrSignal& signal,
                      LearnMode mode = LearnMode::Double, const QString& path = kPath) {
        bool created = false;
        const StoreResult ensured = EnsureCodebase(fs_, path, created);
        return ensured != kStoreOk ? ensured
                                   : StoreButtonSignal(fs_, path, button, signal, number, mode);
    }
    StoreResult Read(const char* button, int number, IrSignal& signal) {
        return ReadButtonSignal(fs_, kPath, button, number, signal);
    }

    static inline const QString kPath = "\\TV_Sony.PDB";
    TempFolder folder_;
    HostHandheldFs fs_{folder_.Path().string()};
};

TEST_F(ButtonStore, TheFirstButtonCreatesTheCodebaseAndSignalsComeBack) {
    bool created = false;
    ASSERT_EQ(EnsureCodebase(fs_, kPath, created), kStoreOk);
    EXPECT_TRUE(created);
    ASSERT_EQ(EnsureCodebase(fs_, kPath, created), kStoreOk);
    EXPECT_FALSE(created);

    ASSERT_EQ(Store("Power", 1, SignalFrom({9000, -4500, 560, -40000}, 2, 25)), kStoreOk);
    ASSERT_EQ(Store("Mute", 2, SignalFrom({560, -560})), kStoreOk);
    ASSERT_EQ(Store("Power", 2, SignalFrom({1000, -1000})), kStoreOk);

    IrSignal signal;
    ASSERT_EQ(Read("Power", 1, signal), kStoreOk);
    EXPECT_EQ(Durations(signal), (std::vector<int32_t>{9000, -4500, 560, -40000}));
    EXPECT_EQ(signal.frameStart, 2);
    EXPECT_EQ(signal.carrierPeriod, 26);  // the carrier of the last signal learnt
    ASSERT_EQ(Read("Power", 2, signal), kStoreOk);
    EXPECT_EQ(Durations(signal), (std::vector<int32_t>{1000, -1000}));
    // A button with one signal sends it for either number.
    ASSERT_EQ(Read("Mute", 2, signal), kStoreOk);
    EXPECT_EQ(Durations(signal), (std::vector<int32_t>{560, -560}));
}

TEST_F(ButtonStore, SingleModeDropsASecondSignalLearntBefore) {
    ASSERT_EQ(Store("Power", 1, SignalFrom({1000, -1000})), kStoreOk);
    ASSERT_EQ(Store("Power", 2, SignalFrom({2000, -2000})), kStoreOk);
    ASSERT_EQ(Store("Power", 1, SignalFrom({3000, -3000}), LearnMode::Single), kStoreOk);
    IrSignal signal;
    ASSERT_EQ(Read("Power", 2, signal), kStoreOk);
    EXPECT_EQ(Durations(signal), (std::vector<int32_t>{3000, -3000}));
}

TEST_F(ButtonStore, FailuresAreNamedAndLeaveOtherFilesAlone) {
    IrSignal signal;
    EXPECT_EQ(Read("Power", 1, signal), kStoreNotOpened);
    EXPECT_EQ(Store("Power", 1, SignalFrom({500, -500}), LearnMode::Double, "\\TV_Sony.txt"),
              kStoreNotCreated);
    EXPECT_EQ(Store("Power", 1, SignalFrom({})), kStoreNotStored);
    EXPECT_EQ(Read("Volume", 1, signal), kStoreNoButton);
    EXPECT_EQ(signal.count, 0);

    CPdbFile other(&fs_);
    ASSERT_EQ(other.Create("\\Other.PDB"), kPdbOk);
    other.Close();
    EXPECT_EQ(Store("Power", 1, SignalFrom({500, -500}), LearnMode::Double, "\\Other.PDB"),
              kStoreNotACodebase);
    EXPECT_EQ(std::filesystem::file_size(folder_.Path() / "Other.PDB"), 80u);
}

// A record may hold more durations than a signal has room for; what is sent is cut to the
// signal, with a frame start that still lies inside it.
TEST_F(ButtonStore, AnOverlongRecordIsCutToOneSignal) {
    bool created = false;
    ASSERT_EQ(EnsureCodebase(fs_, kPath, created), kStoreOk);
    std::vector<int32_t> longer;
    for (int k = 0; k < kMaxDurations + 100; ++k) {
        longer.push_back(k % 2 ? -600 : 600);
    }
    CCodebaseFile file(&fs_);
    ASSERT_EQ(file.Open(kPath, CPdbFile::kModeReadWrite), kPdbOk);
    ASSERT_TRUE(file.StoreSignal(CCodebaseFile::DurationsToValues(longer.data(), longer.size()),
                                 kMaxDurations + 50, 26, "Power", 1));
    file.Close();
    IrSignal signal;
    ASSERT_EQ(Read("Power", 1, signal), kStoreOk);
    EXPECT_EQ(signal.count, kMaxDurations);
    EXPECT_EQ(signal.frameStart, 0);
}

}  // namespace
