#include "CRemoteModel.h"

#include <gtest/gtest.h>

#include "../support/RecordingServices.h"
#include "../support/TempFolder.h"
#include "HostHandheldFs.h"

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
    EXPECT_NE(model_.Capture("Power", kCategoryTv), 0);
    EXPECT_NE(model_.Load(IrSignal{}), 0);
    EXPECT_NE(model_.Send(0), 0);
    EXPECT_EQ(model_.CapturedSignal().count, 0);
}

}  // namespace
