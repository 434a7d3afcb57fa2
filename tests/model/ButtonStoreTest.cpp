#include "model/ButtonStore.h"

#include <gtest/gtest.h>

#include "ir/protocols/IrProtocol.h"
#include "model/CRemoteModel.h"
#include "platform/host/HostHandheldFs.h"
#include "store/CCodebaseFile.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestSignals.h"

namespace {

// A held button of `protocol` as a receiver gives it, with the carrier period it measured.
IrSignal Learnt(const char* protocol, IrCode code, uint8_t carrierPeriod) {
    IrEncoded encoded;
    EXPECT_EQ(EncodeIrSignal(*FindIrProtocol(protocol), code, encoded), kIrCodeOk);
    IrSignal signal = MakeIrSignal(encoded.durations, encoded.frameStart, carrierPeriod);
    return signal;
}

IrDecoded Decode(const IrSignal& signal) {
    return DecodeIrSignal(std::span<const int32_t>(signal.durations, signal.count),
                          signal.carrierPeriod);
}

class ButtonStore : public ::testing::Test {
  protected:
    StoreResult Store(const char* button, int number, const IrSignal& signal,
                      LearnMode mode = LearnMode::Double, const QString& path = kPath) {
        bool created = false;
        const StoreResult ensured = EnsureCodebase(fs_, path, created);
        return ensured != kStoreOk ? ensured
                                   : StoreButtonSignal(fs_, path, button, signal, number, mode);
    }
    // Stores as a learn does, creating the codebase with its first button.
    StoreResult Learn(const QString& path, const char* button, const IrSignal& signal,
                      LearnMode mode = LearnMode::Single) {
        bool created = false;
        return StoreLearntSignal(fs_, path, button, signal, 1, mode, created);
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

// RC5/RC6 buttons learnt once send the other toggle as signal 2; other protocols, and a
// signal learnt in double mode, are stored as they are.
TEST_F(ButtonStore, ToggleButtonsLearntOnceGetTheOtherToggleAsSignal2) {
    struct Case {
        const char* protocol;
        IrCode code;
        LearnMode mode;
        bool doubled;
    };
    const Case cases[] = {
        {"RC5", {0x05, 0x10, 0}, LearnMode::Single, true},
        {"RC5", {0x1F, 0x3F, 1}, LearnMode::Single, true},
        {"RC6", {0x00, 0x0C, 0}, LearnMode::Single, true},
        {"NEC", {0x04, 0x08, 0}, LearnMode::Single, false},
        {"RC5", {0x05, 0x10, 0}, LearnMode::Double, false},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.protocol);
        const QString path = QString("\\Toggle%1.PDB").arg(++index);
        ASSERT_EQ(Learn(path, "1", Learnt(c.protocol, c.code, 28), c.mode), kStoreOk);
        IrSignal first;
        ASSERT_EQ(ReadButtonSignal(fs_, path, "1", 1, first), kStoreOk);
        EXPECT_EQ(Decode(first).frame.code.toggle, c.code.toggle);
        EXPECT_EQ(CRemoteModel::TogglesByItself(first), c.protocol[0] == 'R');
        // Signal 2 is what the second press sends (signal 1 again when the button has none).
        IrSignal second;
        ASSERT_EQ(ReadButtonSignal(fs_, path, "1", 2, second), kStoreOk);
        const IrDecoded other = Decode(second);
        ASSERT_NE(other.protocol, nullptr);
        EXPECT_STREQ(other.protocol->name, c.protocol);
        EXPECT_EQ(other.frame.code.address, c.code.address);
        EXPECT_EQ(other.frame.code.command, c.code.command);
        EXPECT_EQ(other.frame.code.toggle, c.doubled ? 1 - c.code.toggle : c.code.toggle);
        EXPECT_EQ(second.carrierPeriod, 28);
    }
}

// A receiver that measures no carrier leaves period 0: a recognised protocol gives its own;
// a measured carrier, and an unrecognised signal, are kept as they are.
TEST_F(ButtonStore, ASignalWithoutCarrierTakesItsProtocolsCarrier) {
    struct Case {
        const char* protocol;
        IrCode code;
        uint8_t learntPeriod;
        uint8_t storedPeriod;
    };
    const Case cases[] = {
        {"RC5", {1, 2, 0}, 0, CarrierPeriodUs(36000)},
        {"SIRC", {1, 2, 0}, 0, CarrierPeriodUs(40000)},
        {"NEC", {1, 2, 0}, 0, CarrierPeriodUs(38000)},
        {"Kaseikyo", {0x100, 2, 0}, 0, CarrierPeriodUs(37000)},
        {"NEC", {1, 2, 0}, 30, 30},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.protocol);
        const QString path = QString("\\Carrier%1.PDB").arg(++index);
        ASSERT_EQ(Learn(path, "A", Learnt(c.protocol, c.code, c.learntPeriod)), kStoreOk);
        IrSignal stored;
        ASSERT_EQ(ReadButtonSignal(fs_, path, "A", 1, stored), kStoreOk);
        EXPECT_EQ(stored.carrierPeriod, c.storedPeriod);
    }
    IrSignal unknown;
    unknown.count = 2;
    unknown.durations[0] = 1234;
    unknown.durations[1] = -20000;
    ASSERT_EQ(Learn("\\Raw.PDB", "A", unknown), kStoreOk);
    // No protocol names it: the common 38 kHz, since a signal without a carrier cannot be sent.
    IrSignal stored;
    ASSERT_EQ(ReadButtonSignal(fs_, "\\Raw.PDB", "A", 1, stored), kStoreOk);
    EXPECT_EQ(stored.carrierPeriod, CarrierPeriodUs(38000));
}

}  // namespace
