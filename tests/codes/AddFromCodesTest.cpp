#include "shell/CAddFromCodesDlg.h"

#include <QCompleter>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStringListModel>
#include <QTest>
#include <algorithm>
#include <cstdlib>

#include "ir/protocols/IrProtocol.h"
#include "shell/CCheckListCtrl.h"
#include "shell/CHomeDevicesDlg.h"
#include "shell/CMainFrame.h"
#include "tests/codes/CodeFixtures.h"
#include "tests/remote/RemoteWindowFixture.h"

namespace {

// Home Devices over a remote on a simulated handheld, with the test's collections added
// and the index kept in a folder of the test's.
class AddFromCodesTest : public RemoteWindowTest {
  protected:
    AddFromCodesTest() : folders(FoldersFor(QString(kBase) + "ArdelRemote.exe")) {
        CopyCodeFixtures(collections.Path());
        ::setenv("XDG_CACHE_HOME", (collections / "cache").c_str(), 1);
        EXPECT_TRUE(
            SetUserCodeCollections(*model, {QString::fromStdString(collections / "lirc"),
                                            QString::fromStdString(collections / "flipper")}));
    }
    ~AddFromCodesTest() override { ::unsetenv("XDG_CACHE_HOME"); }

    // What the handheld's emitter sent since the last call: protocol, address, command.
    std::string Emitted() {
        const Demodulated sent = handheld.Air().Demodulate();
        handheld.Air().ClearEmissions();
        const IrDecoded decoded = DecodeIrSignal(sent.durations, sent.carrierPeriodUs);
        return decoded.protocol
                   ? std::string(decoded.protocol->name) + " " + IrHex(decoded.frame.code.address) +
                         " " + IrHex(decoded.frame.code.command)
                   : "none";
    }

    std::vector<QString> Rows(const CAddFromCodesDlg& dialog) {
        std::vector<QString> rows;
        for (int row = 0; row < dialog.Candidates()->count(); ++row) {
            rows.push_back(dialog.Candidates()->item(row)->text());
        }
        return rows;
    }

    TempFolder collections;
    HandheldFolders folders;
};

// The walk a person makes: Home Devices, "Add from codes…", the category, a brand typed with
// the suggestions, Try, Next, Try, Use this one.
TEST_F(AddFromCodesTest, ChooseTryNextAndUse) {
    std::vector<std::string> sent;
    QStringList suggested;
    std::vector<QString> tvRows, audioRows;
    QString status;
    modal.onDialog = [&](QDialog& shown) -> int {
        if (auto* home = qobject_cast<CHomeDevicesDlg*>(&shown)) {
            QPushButton* add = home->CommandButton(CHomeDevicesDlg::kAddFromCodesId);
            EXPECT_EQ(add->text(), "Add from codes…");
            QTest::mouseClick(add, Qt::LeftButton);
            EXPECT_EQ(home->List()->RowCount(), 1);
            return kIdOk;
        }
        auto* dialog = qobject_cast<CAddFromCodesDlg*>(&shown);
        if (!dialog) {
            return kIdCancel;
        }
        dialog->CategoryList()->setCurrentIndex(dialog->CategoryList()->findText("Audio"));
        audioRows = Rows(*dialog);
        dialog->CategoryList()->setCurrentIndex(dialog->CategoryList()->findText("TV"));
        QTest::keyClicks(dialog->BrandEdit(), "sa");
        suggested = static_cast<QStringListModel*>(dialog->BrandCompleter()->model())->stringList();
        dialog->BrandCompleter()->setCompletionPrefix("sa");
        EXPECT_EQ(dialog->BrandCompleter()->currentCompletion(), "Samsung");
        QTest::keyClicks(dialog->BrandEdit(), "msung");
        tvRows = Rows(*dialog);
        handheld.Air().ClearEmissions();
        QTest::mouseClick(dialog->TryButton(), Qt::LeftButton);
        sent.push_back(Emitted());
        status = dialog->Status()->text();
        QTest::mouseClick(dialog->NextButton(), Qt::LeftButton);
        EXPECT_EQ(dialog->Status()->text(), "");
        EXPECT_FALSE(dialog->NextButton()->isEnabled());  // the last candidate
        QTest::mouseClick(dialog->TryButton(), Qt::LeftButton);
        sent.push_back(Emitted());
        // Another button of the same remote.
        dialog->ButtonList()->setCurrentIndex(dialog->ButtonList()->findText("Vol_up"));
        QTest::mouseClick(dialog->TryButton(), Qt::LeftButton);
        sent.push_back(Emitted());
        QTest::mouseClick(dialog->UseButton(), Qt::LeftButton);
        return dialog->result();
    };
    RunHomeDevices(*window, modal, *fs, folders, 0);

    // LIRC's remote database, where installed, is searched as well.
    const auto has = [](const std::vector<QString>& rows, const char* row) {
        return std::find(rows.begin(), rows.end(), QString(row)) != rows.end();
    };
    EXPECT_TRUE(has(audioRows, "Samsung HW-Q60 (4)"));
    EXPECT_TRUE(has(audioRows, "Yamaha rav315 (3)"));
    EXPECT_FALSE(has(audioRows, "Samsung BN59-01315J (3)"));
    for (const char* brand : {"LG", "Samsung", "Sony"}) {
        EXPECT_TRUE(suggested.contains(brand)) << brand;
    }
    EXPECT_FALSE(suggested.contains("Yamaha"));
    EXPECT_EQ(tvRows, (std::vector<QString>{"Samsung bn59 (3)", "Samsung BN59-01315J (3)"}));
    // The LIRC remote's Power (NEC, address 0x07 0x07 as sent), then the Flipper remote's.
    EXPECT_EQ(sent, (std::vector<std::string>{"NECext 0x707 0xFD02", "Samsung32 0x7 0x2",
                                              "Samsung32 0x7 0x7"}));
    EXPECT_EQ(status,
              "KEY_POWER of Samsung bn59 sent. Did the device react? If not: Next, then "
              "Try.");
    EXPECT_TRUE(modal.messages.empty()) << modal.messages[0].text.toStdString();
    // The remote that worked is a codebase of the category, and hot there.
    const QString path = QString(kBase) + "CodeBases\\TV_Samsung_BN59-01315J.PDB";
    EXPECT_EQ(model->HotCodebase(kCategoryTv), path);
    IrSignal power;
    EXPECT_EQ(model->ReadButton(path, "Power", 1, power), kStoreOk);
}

TEST_F(AddFromCodesTest, SaysWhenNothingMatchesAndWhatWasLeftOut) {
    modal.onDialog = [&](QDialog& shown) -> int {
        auto* dialog = qobject_cast<CAddFromCodesDlg*>(&shown);
        if (!dialog) {
            return kIdCancel;
        }
        QTest::keyClicks(dialog->BrandEdit(), "nobrand");
        EXPECT_TRUE(Rows(*dialog).empty());
        EXPECT_FALSE(dialog->TryButton()->isEnabled());
        EXPECT_FALSE(dialog->UseButton()->isEnabled());
        QTest::mouseClick(dialog->DetailsButton(), Qt::LeftButton);
        return kIdCancel;
    };
    EXPECT_FALSE(RunAddFromCodes(window.get(), modal, *model, folders, kCategoryTv));
    ASSERT_EQ(modal.messages.size(), 1u);
    EXPECT_TRUE(modal.messages[0].text.startsWith(
        "Files of the code collections left out:\n" +
        QString::fromStdString(collections / "flipper/TVs/Broken/Broken_X1.ir") +
        ": line 4: 'Power' has no command"))
        << modal.messages[0].text.toStdString();
    EXPECT_TRUE(model->HotCodebase(kCategoryTv).isEmpty());
}

// Preferences/Code collections: folders added and removed, kept in the preference file
// (also when the remote's state is saved afterwards), and nothing kept without OK.
TEST_F(AddFromCodesTest, CollectionsAreChosenInThePreferences) {
    const QString lirc = QString::fromStdString(collections / "lirc");
    const QString flipper = QString::fromStdString(collections / "flipper");
    const QString extra = QString::fromStdString(collections.Path().string());
    modal.onDialog = [&](QDialog& shown) -> int {
        auto* dialog = qobject_cast<CCodeCollectionsDlg*>(&shown);
        if (!dialog) {
            return kIdCancel;
        }
        EXPECT_EQ(dialog->Chosen(), (QStringList{lirc, flipper}));
        QTest::keyClicks(dialog->FolderEdit(), extra + "/none");
        QTest::mouseClick(dialog->AddButton(), Qt::LeftButton);
        dialog->FolderEdit()->setText(extra + "/./lirc/../");
        QTest::mouseClick(dialog->AddButton(), Qt::LeftButton);
        dialog->Folders()->setCurrentRow(0);
        QTest::mouseClick(dialog->RemoveButton(), Qt::LeftButton);
        EXPECT_EQ(dialog->Chosen(), (QStringList{flipper, extra}));
        QTest::mouseClick(dialog->OkButton(), Qt::LeftButton);
        return dialog->result();
    };
    RunCodeCollections(window.get(), modal, *model);
    ASSERT_EQ(modal.messages.size(), 1u);
    EXPECT_EQ(modal.messages[0].text, extra + "/none is not a folder.");
    ASSERT_TRUE(model->SaveState());
    EXPECT_EQ(UserCodeCollections(*model), (QStringList{flipper, extra}));
    EXPECT_TRUE(CodeCollections(*model).endsWith(extra));

    modal.onDialog = [&](QDialog& shown) -> int {
        auto* dialog = qobject_cast<CCodeCollectionsDlg*>(&shown);
        dialog->Folders()->setCurrentRow(0);
        QTest::mouseClick(dialog->RemoveButton(), Qt::LeftButton);
        return kIdCancel;
    };
    RunCodeCollections(window.get(), modal, *model);
    EXPECT_EQ(UserCodeCollections(*model), (QStringList{flipper, extra}));
}

}  // namespace
