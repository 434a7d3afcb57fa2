#include "remote/CHandheldRemoteFiles.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

#include "remote/CSkinForm.h"
#include "store/CCodebaseFile.h"
#include "store/PrefFile.h"
#include "tests/store/DeviceRoot.h"
#include "tests/support/ModalRunners.h"

namespace {

const QString kBase = "\\Program Files\\ArdelRemote\\";
const QString kCodebase = "\\My Documents\\TV_Sony.PDB";
const QString kPrefs = kBase + "ArdelRemoteDefPref.PDB";

// A handheld with the generated skin installed, one codebase with "Power" learnt and a
// preference file.
class HandheldFiles : public testing::Test {
  protected:
    void SetUp() override {
        root_.fs.CreateFolder((kBase + "Skins").toStdString());
        const QDir skins(QStringLiteral(ARDEL_TEST_DATA "/../../resources/skins"));
        for (const QString& name : skins.entryList(QDir::Files)) {
            QFile file(skins.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            root_.Write(kBase + "Skins\\" + name, Bytes(bytes.begin(), bytes.end()));
        }
        CCodebaseFile codebase(&root_.fs);
        ASSERT_TRUE(codebase.CreateCodebase(kCodebase));
        ASSERT_TRUE(codebase.StoreSignal({9000, -4500, 560, -560}, 0, 26, "Power", 1));
        codebase.Close();
        CPrefFile prefs(&root_.fs);
        ASSERT_EQ(prefs.CreatePrefFile(kPrefs), 0);
    }

    DeviceRoot root_;
    CHandheldRemoteFiles files_{root_.fs};
};

TEST_F(HandheldFiles, ReadsFilesIgnoringLetterCase) {
    QByteArray bytes;
    EXPECT_TRUE(files_.ReadFile(kBase + "SKINS\\tv1_back.GIF", bytes));
    EXPECT_TRUE(bytes.startsWith("GIF8"));
    EXPECT_FALSE(files_.ReadFile(kBase + "Skins\\Nothing.gif", bytes));
    EXPECT_FALSE(files_.ReadFile("\\..\\etc\\passwd", bytes));
}

TEST_F(HandheldFiles, OpensOnlyCodebases) {
    std::unique_ptr<CodebaseReader> codebase = files_.OpenCodebase(kCodebase);
    ASSERT_NE(codebase, nullptr);
    EXPECT_EQ(codebase->HeaderName(), "TV_Sony");
    EXPECT_TRUE(codebase->HasButton("Power"));
    EXPECT_FALSE(codebase->HasButton("Mute"));
    EXPECT_EQ(files_.OpenCodebase(kPrefs), nullptr);  // a record database, but no codebase
    EXPECT_EQ(files_.OpenCodebase("\\My Documents\\VCR_Gone.PDB"), nullptr);
}

// The whole road: the generated skin loads from the handheld's skin folder, and the
// form's buttons follow what the hot codebase holds.
TEST_F(HandheldFiles, AFormLoadsItsSkinAndFollowsItsCodebase) {
    CUnansweredModalRunner modal;
    CSkinForm form(&files_, modal, FormSlotId(0));
    form.BuildRemoteForm(0, kBase);
    form.Slot().SetPath(kCodebase);
    form.RefreshButtons();
    ASSERT_TRUE(form.LoadImages());
    EXPECT_TRUE(form.Slot().IsValid());
    EXPECT_EQ(form.Slot().DisplayName(), "Sony");
    EXPECT_EQ(form.Element(0).GetState(), kStateActive);    // "Power"
    EXPECT_EQ(form.Element(1).GetState(), kStateDisabled);  // "Last"
    EXPECT_FALSE(files_.PlayablePath(kBase + "Skins\\TV1_Back.gif").empty());
}

}  // namespace
