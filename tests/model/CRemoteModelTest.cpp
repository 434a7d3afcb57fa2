#include "model/CRemoteModel.h"

#include <gtest/gtest.h>

#include "model/ButtonCodes.h"

#include "ir/CIrDriver.h"
#include "ir/protocols/IrProtocol.h"
#include "platform/host/HostHandheldFs.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/StoredButtons.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestSignals.h"

namespace {

const QString kBase = "\\";
const QString kPrefs = "\\DefPref.PDB";

class RemoteModel : public ::testing::Test {
  protected:
    RemoteModel() { model_.SetFolders(kBase, kPrefs); }

    static RemoteServices Services(HandheldFs& fs, HardKeys& keys) {
        RemoteServices services;
        services.fs = &fs;
        services.hardKeys = &keys;
        return services;
    }
    // A second model over the same files, as the next start of the program makes it.
    std::unique_ptr<CRemoteModel> NextStart() {
        auto next = std::make_unique<CRemoteModel>(Services(fs_, keys_));
        next->SetFolders(kBase, kPrefs);
        next->LoadState();
        return next;
    }

    TempFolder folder_;
    HostHandheldFs fs_{folder_.Path().string()};
    CRecordingHardKeys keys_;
    CRemoteModel model_{Services(fs_, keys_)};
};

TEST_F(RemoteModel, AHotCodebaseIsKeptForBothFormsOfItsCategory) {
    ASSERT_TRUE(model_.MakeHot(kCategoryVcr, "\\VCR_Old.PDB"));
    EXPECT_EQ(model_.HotCodebaseOfForm(FirstFormOf(kCategoryVcr)), "\\VCR_Old.PDB");
    EXPECT_EQ(model_.HotCodebaseOfForm(SecondFormOf(kCategoryVcr)), "\\VCR_Old.PDB");
    EXPECT_EQ(NextStart()->HotCodebase(kCategoryVcr), "\\VCR_Old.PDB");

    // Only for the program: the file keeps the old one, which ReloadHot takes back.
    ASSERT_TRUE(model_.MakeHot(kCategoryVcr, "\\VCR_New.PDB", false));
    EXPECT_EQ(NextStart()->HotCodebase(kCategoryVcr), "\\VCR_Old.PDB");
    model_.ReloadHot(kCategoryVcr);
    EXPECT_EQ(model_.HotCodebase(kCategoryVcr), "\\VCR_Old.PDB");

    // An empty path removes the record: the next start has none.
    ASSERT_TRUE(model_.MakeHot(kCategoryVcr, QString()));
    EXPECT_TRUE(NextStart()->HotCodebase(kCategoryVcr).isEmpty());
    EXPECT_FALSE(model_.MakeHot(kCategoryUnknown, "\\Unk_X.PDB"));
}

TEST_F(RemoteModel, TheStateSurvivesARestart) {
    model_.SetCurrentForm(3);
    model_.SetCurrentForm(8);
    model_.SetSounds(false);
    model_.SetKeyCapture(false);
    model_.SetKeyAssignment(2, true, 4, 7);
    model_.SetIrPort("COM3:");
    model_.SetGreetingDone(true);
    ASSERT_TRUE(model_.SaveState());

    const std::unique_ptr<CRemoteModel> next = NextStart();
    EXPECT_EQ(next->CurrentForm(), 8);
    EXPECT_EQ(next->RememberedForm(kCategoryCabSat), 1);
    EXPECT_EQ(next->RememberedForm(kCategoryAudio), 0);
    EXPECT_FALSE(next->SoundsOn());
    EXPECT_FALSE(next->KeyCapture());
    EXPECT_TRUE(next->GreetingDone());
    EXPECT_EQ(next->IrPort(), "COM3:");
    HardKeyAssignment key;
    ASSERT_TRUE(next->GetKeyAssignment(2, key));
    EXPECT_EQ(key.form, 4);
    EXPECT_EQ(key.button, 7);
}

TEST_F(RemoteModel, ASetIsSavedAndAppliedWithoutLeavingTheDefaultFile) {
    model_.SetSounds(false);
    ASSERT_TRUE(model_.SaveStateAs("Evening.PDB"));
    EXPECT_EQ(model_.PrefFile(), kPrefs);
    model_.SetSounds(true);
    ASSERT_TRUE(model_.SaveState());

    ASSERT_TRUE(model_.ApplyStateFrom("Evening.PDB"));
    EXPECT_FALSE(model_.SoundsOn());
    EXPECT_EQ(model_.PrefFile(), kPrefs);
    EXPECT_FALSE(NextStart()->SoundsOn());  // the applied set is the default state now
}

TEST_F(RemoteModel, KeysAreTakenAndGivenBackAndFoundByTheirCode) {
    keys_.keys.right = 0x27;
    model_.SetKeyCapture(true);
    EXPECT_TRUE(model_.ApplyKeyCapture());
    EXPECT_TRUE(keys_.open);
    keys_.closeSucceeds = false;
    model_.SetKeyCapture(false);
    EXPECT_FALSE(model_.ApplyKeyCapture());

    EXPECT_EQ(model_.AssignedSlotOfKey(0x27), 5);  // "Right"
    model_.SetKeyAssignment(5, false, -1, -1);
    EXPECT_EQ(model_.AssignedSlotOfKey(0x27), -1);
    EXPECT_EQ(model_.AssignedSlotOfKey(0x99), -1);
    HardKeyAssignment key;
    EXPECT_FALSE(model_.GetKeyAssignment(7, key));
    EXPECT_FALSE(model_.SetKeyAssignment(-1, true, 0, 0));
}

TEST_F(RemoteModel, WithoutADriverNothingIsLearntOrSent) {
    model_.SetIrPort("COM3:");
    EXPECT_EQ(model_.Driver(), nullptr);
    LearnFace face;
    LearnRequest request;
    request.button = "Power";
    request.category = kCategoryTv;
    const LearnOutcome learnt = model_.LearnButton(request, face);
    EXPECT_EQ(learnt.code, kOpNoDriver);
    EXPECT_TRUE(learnt.learnt.empty());
    EXPECT_EQ(model_.SendSignal(SignalFrom({600, -600, 600}), 1).code, kOpNoDriver);
    EXPECT_NE(model_.Load(IrSignal{}), 0);
    EXPECT_NE(model_.Send(0), 0);
}

}  // namespace

namespace {

// A held button of `protocol` as a receiver gives it, with the carrier period it measured.
IrSignal Learnt(const char* protocol, IrCode code, uint8_t carrierPeriod) {
    IrEncoded encoded;
    EXPECT_EQ(EncodeIrSignal(*FindIrProtocol(protocol), code, encoded), kIrCodeOk);
    IrSignal signal = MakeIrSignal(encoded.durations, encoded.frameStart, carrierPeriod);
    return signal;
}

}  // namespace

// Home Devices and ardelctl name each stored signal by its protocol, or none ("raw").
TEST_F(RemoteModel, StoredButtonsAreDecodedSignalBySignal) {
    const QString path = "\\Codes.PDB";
    ASSERT_EQ(StoreLearntButton(fs_, path, "Play", Learnt("RC5", {0x05, 0x35, 0}, 28)), kStoreOk);
    IrSignal raw;
    raw.count = 2;
    raw.durations[0] = 1234;
    raw.durations[1] = -20000;
    ASSERT_EQ(StoreLearntButton(fs_, path, "Odd", raw), kStoreOk);

    std::vector<ButtonCode> rows;
    ASSERT_EQ(DecodeButtons(fs_, path, rows), kStoreOk);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].button, "Play");
    EXPECT_EQ(rows[1].signal, 2);
    for (int i = 0; i < 2; ++i) {
        ASSERT_NE(rows[i].protocol, nullptr);
        EXPECT_STREQ(rows[i].protocol->name, "RC5");
        EXPECT_EQ(rows[i].frame.code.command, 0x35u);
        EXPECT_EQ(rows[i].frame.code.toggle, i);
    }
    EXPECT_EQ(rows[2].button, "Odd");
    EXPECT_EQ(rows[2].protocol, nullptr);

    EXPECT_EQ(DecodeButtons(fs_, "\\Missing.PDB", rows), kStoreNotOpened);
    EXPECT_TRUE(rows.empty());
    ASSERT_TRUE(model_.SaveState());  // the preferences file: a file that is no codebase
    EXPECT_EQ(DecodeButtons(fs_, kPrefs, rows), kStoreNotACodebase);
}

namespace {

// A codebase with the button Power, stored as a learn stores it.
void MakeCodebase(CRemoteModel& model, const QString& path) {
    IrSignal power = MakeIrSignal(std::vector<int32_t>{900, -450, 560, -40000}, 0, 26);
    ASSERT_EQ(StoreLearntButton(model.Fs(), path, "Power", power), kStoreOk);
}

struct RenameCase {
    const char* name;
    int category;      // the category it is renamed into
    const char* path;  // where it is then
    bool staysHot;     // whether the TV buttons still send from it
};

class RenameCodebase : public RemoteModel, public testing::WithParamInterface<RenameCase> {};

// Renaming keeps a hot codebase hot in its category; moving it to another category (a
// codebase imported under the wrong one) takes it from the old category's buttons.
TEST_P(RenameCodebase, MovesTheFileAndKeepsTheHotCodebaseInStep) {
    const RenameCase& c = GetParam();
    MakeCodebase(model_, "\\TV_Den.PDB");
    ASSERT_TRUE(model_.MakeHot(kCategoryTv, "\\TV_Den.PDB"));
    int changes = 0;
    QObject::connect(&model_, &CRemoteModel::CodebasesChanged, [&] { ++changes; });
    QString moved;
    ASSERT_EQ(model_.RenameCodebase("\\TV_Den.PDB", c.category, "Lounge", &moved), kCatalogueOk);
    EXPECT_EQ(moved, c.path);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(fs_.FileExists("\\TV_Den.PDB"));
    IrSignal signal;
    EXPECT_EQ(model_.ReadButton(c.path, "Power", 1, signal), kStoreOk);
    EXPECT_EQ(model_.HotCodebase(kCategoryTv), c.staysHot ? QString(c.path) : QString());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RenameCodebase,
    testing::Values(RenameCase{"SameCategory", kCategoryTv, "\\TV_Lounge.PDB", true},
                    RenameCase{"OtherCategory", kCategoryDvdCd, "\\DVD_Lounge.PDB", false},
                    RenameCase{"NoCategory", kCategoryUnknown, "\\Unk_Lounge.PDB", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RemoteModel, ACodebaseThatCannotBeOpenedIsNotRenamed) {
    EXPECT_EQ(model_.RenameCodebase("\\TV_None.PDB", kCategoryTv, "Any"), kCatalogueCannotOpen);
}

TEST_F(RemoteModel, DeletingAHotCodebaseLeavesItsCategoryWithoutOne) {
    MakeCodebase(model_, "\\TV_Den.PDB");
    ASSERT_TRUE(model_.MakeHot(kCategoryTv, "\\TV_Den.PDB"));
    EXPECT_EQ(model_.DeleteCodebase("\\TV_Den.PDB"), kCatalogueOk);
    EXPECT_FALSE(fs_.FileExists("\\TV_Den.PDB"));
    EXPECT_TRUE(model_.HotCodebase(kCategoryTv).isEmpty());
    EXPECT_EQ(model_.DeleteCodebase("\\TV_Den.PDB"), kCatalogueCannotOpen);
}

// Only a preference file is deleted as a set: a codebase or a missing file is left alone.
TEST_F(RemoteModel, DeletingASetRemovesOnlyAPreferenceFile) {
    ASSERT_TRUE(model_.SaveStateAs("Evening.PDB"));
    MakeCodebase(model_, "\\TV_Den.PDB");
    const std::pair<QString, int> cases[] = {
        {kBase + QString("Evening.PDB"), kCatalogueOk},
        {kBase + QString("Evening.PDB"), kCatalogueCannotOpen},  // gone already
        {"\\TV_Den.PDB", kCatalogueCannotOpen},
    };
    for (const auto& [path, result] : cases) {
        EXPECT_EQ(model_.DeletePreferenceSet(path), result) << path.toStdString();
    }
    EXPECT_FALSE(fs_.FileExists((kBase + QString("Evening.PDB")).toStdString()));
    EXPECT_TRUE(fs_.FileExists("\\TV_Den.PDB"));
}

TEST_F(RemoteModel, DeletingAButtonLeavesTheOthers) {
    MakeCodebase(model_, "\\TV_Den.PDB");
    IrSignal mute = MakeIrSignal(std::vector<int32_t>{500, -500, 500, -30000}, 0, 26);
    ASSERT_EQ(StoreLearntButton(fs_, "\\TV_Den.PDB", "Mute", mute), kStoreOk);
    EXPECT_EQ(model_.DeleteButton("\\TV_Den.PDB", "Power"), kStoreOk);
    IrSignal signal;
    EXPECT_EQ(model_.ReadButton("\\TV_Den.PDB", "Power", 1, signal), kStoreNoButton);
    EXPECT_EQ(model_.ReadButton("\\TV_Den.PDB", "Mute", 1, signal), kStoreOk);
    EXPECT_EQ(model_.DeleteButton("\\TV_Den.PDB", "Power"), kStoreNoButton);
    EXPECT_EQ(model_.DeleteButton("\\TV_None.PDB", "Power"), kStoreNotOpened);
}

// A tapped volume button sends one pass at least, so that a tap is one step; every other
// tap, and every hardware key, sends three at least.
TEST(PressRepeat, OnlyATappedVolumeButtonStartsWithOnePass) {
    EXPECT_EQ(CRemoteModel::RepeatOf("Vol+", PressSource::Pen), CIrDriver::kRepeatOnceThenHeld);
    EXPECT_EQ(CRemoteModel::RepeatOf("Vol-", PressSource::Pen), CIrDriver::kRepeatOnceThenHeld);
    EXPECT_EQ(CRemoteModel::RepeatOf("Vol+", PressSource::Key), CIrDriver::kRepeatWhileHeld);
    EXPECT_EQ(CRemoteModel::RepeatOf("Power", PressSource::Pen), CIrDriver::kRepeatWhileHeld);
}

}  // namespace
