#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "model/CRemoteModel.h"
#include "platform/host/HostHandheldFs.h"
#include "resources/dialogs/CAboutDlg.h"
#include "resources/dialogs/CHelpBar.h"
#include "store/CCodebaseFile.h"
#include "store/PrefFile.h"
#include "store/dialogs/CLoadPreferenceDlg.h"
#include "store/dialogs/CSavePreferenceDlg.h"
#include "tests/support/FailingHostFs.h"
#include "tests/support/ModalRunners.h"
#include "tests/support/TempFolder.h"

namespace {

constexpr const char* kFolder = "\\Preferences\\";

std::vector<QString> Texts(const CAnsweringModalRunner& modal) {
    std::vector<QString> texts;
    for (const auto& message : modal.messages) {
        texts.push_back(message.text);
    }
    return texts;
}

class PreferenceDialogTest : public testing::Test {
  protected:
    PreferenceDialogTest() {
        std::filesystem::create_directories(root.Path() / "Preferences");
        fs = std::make_unique<FailingHostFs>(root.Path().string());
        RemoteServices services;
        services.fs = fs.get();
        model = std::make_unique<CRemoteModel>(services);
    }

    // A preference set as the save command leaves it: header name = file name.
    void MakeSet(const QString& name) {
        CPrefFile file(fs.get());
        ASSERT_EQ(file.CreatePrefFile(kFolder + name + ".PDB"), kPdbOk);
        file.Close();
    }
    QStringList Shown(const CLoadPreferenceDlg& dialog) {
        QStringList names;
        for (int i = 0; i < dialog.List()->count(); ++i) {
            names << dialog.List()->item(i)->text();
        }
        return names;
    }

    TempFolder root;
    std::unique_ptr<FailingHostFs> fs;
    std::unique_ptr<CRemoteModel> model;
    CAnsweringModalRunner modal;
};

// ---- the name field of the save dialog

struct NameCase {
    const char* label;
    QString typed;
    bool paste;  // one change rather than key by key
    QString field;
    std::vector<QString> messages;
};
void PrintTo(const NameCase& c, std::ostream* os) {
    *os << c.label;
}

class SetNameTyping : public PreferenceDialogTest, public testing::WithParamInterface<NameCase> {};

TEST_P(SetNameTyping, CutsBeforeRefusedCharacters) {
    const NameCase& c = GetParam();
    modal.onDialog = [&](QDialog& dialog) {
        QLineEdit* edit = static_cast<CSavePreferenceDlg&>(dialog).NameEdit();
        if (c.paste) {
            edit->insert(c.typed);
        } else {
            QTest::keyClicks(edit, c.typed);
        }
        EXPECT_EQ(edit->text(), c.field);
        EXPECT_EQ(edit->cursorPosition(), c.field.size());
        return int(kIdCancel);
    };
    CSavePreferenceDlg dialog(modal, fs.get());
    dialog.folder = kFolder;
    modal.RunDialog(dialog);
    EXPECT_EQ(Texts(modal), c.messages);
}

INSTANTIATE_TEST_SUITE_P(
    Names, SetNameTyping,
    testing::Values(
        NameCase{"TypedColonIsDropped", "Eve:ning", false, "Evening", {"Illegal character :"}},
        NameCase{"PastedBackslashCutsTheRest", "Eve\\ning", true, "Eve", {"Illegal character \\"}},
        // The earliest refused character counts, so that no separator stays in the name.
        NameCase{"EarliestOfSeveralWins", "a|b*c", true, "a", {"Illegal character |"}},
        NameCase{"NoPathBeforeALaterCharacter", "..\\x*", true, "..", {"Illegal character \\"}},
        NameCase{"WideCharacterAfterTheCut",
                 QString("ab") + QChar(0xE9) + ":z",
                 true,
                 "ab",
                 {"Illegal character :", QString("Illegal character ") + QChar(0xE9)}},
        NameCase{"NoLengthLimit", QString(40, 'n'), false, QString(40, 'n'), {}},
        NameCase{"BlanksAndDotsStay", " My set.v2", true, " My set.v2", {}}),
    [](const testing::TestParamInfo<NameCase>& info) { return std::string(info.param.label); });

// ---- pressing Save

struct SaveCase {
    const char* label;
    QString typed;
    bool exists;
    int answer;  // to the overwrite question
    int result;
    std::vector<QString> messages;
};
void PrintTo(const SaveCase& c, std::ostream* os) {
    *os << c.label;
}

class SaveButton : public PreferenceDialogTest, public testing::WithParamInterface<SaveCase> {};

TEST_P(SaveButton, ConfirmsOnlyANewOrAgreedName) {
    const SaveCase& c = GetParam();
    if (c.exists) {
        MakeSet("Evening");
    }
    modal.messageAnswer = c.answer;
    bool enabledAfter = false;
    modal.onDialog = [&](QDialog& dialog) {
        auto& save = static_cast<CSavePreferenceDlg&>(dialog);
        save.NameEdit()->setText(c.typed);
        save.SaveButton()->click();
        enabledAfter = save.NameEdit()->isEnabled();
        return dialog.result();
    };
    CSavePreferenceDlg dialog(modal, fs.get());
    dialog.folder = kFolder;
    EXPECT_EQ(modal.RunDialog(dialog), c.result);
    EXPECT_EQ(Texts(modal), c.messages);
    EXPECT_TRUE(enabledAfter);
    if (c.result == kIdOk) {
        EXPECT_EQ(dialog.setName, c.typed);
        EXPECT_EQ(dialog.fileName, c.typed + ".PDB");
    }
    if (!c.messages.empty() && c.exists) {
        EXPECT_EQ(modal.messages[0].buttons, MessageButtons::YesNoDefaultNo);
    }
}

const QString kOverwrite = "A file with the name you specified already exists. Owerwrite it?";

INSTANTIATE_TEST_SUITE_P(
    Cases, SaveButton,
    testing::Values(
        SaveCase{"NewName", "Evening", false, kIdOk, kIdOk, {}},
        SaveCase{"Empty", "", false, kIdOk, kIdCancel, {"You must type a file name."}},
        SaveCase{"BlanksOnly", "   ", false, kIdOk, kIdCancel, {"You must type a file name."}},
        SaveCase{"ExistingYes", "Evening", true, kIdYes, kIdOk, {kOverwrite}},
        SaveCase{"ExistingOtherCaseYes", "EVENING", true, kIdYes, kIdOk, {kOverwrite}},
        SaveCase{"ExistingNo", "Evening", true, kIdNo, kIdCancel, {kOverwrite}}),
    [](const testing::TestParamInfo<SaveCase>& info) { return std::string(info.param.label); });

TEST_F(PreferenceDialogTest, HelpBarsOpenTheirOwnTopics) {
    CSavePreferenceDlg save(modal, fs.get());
    CLoadPreferenceDlg load(*model, modal);
    EXPECT_EQ(save.HelpBar()->HelpTopic(), 7);
    EXPECT_EQ(load.HelpBar()->HelpTopic(), 8);
}

TEST_F(PreferenceDialogTest, SaveDialogPaintsThePanelWithoutItsMagentaCorners) {
    const QImage panel = BuiltInBitmap(CSavePreferenceDlg::kPictureBitmap);
    ASSERT_EQ(panel.size(), QSize(220, 69));
    ASSERT_EQ(panel.pixel(0, 0) & 0xFFFFFF, 0xFF00FFu);
    CSavePreferenceDlg dialog(modal, fs.get());
    const QImage shown = dialog.grab().toImage();
    // Inside the panel, above the name row: the panel's own colour.
    EXPECT_EQ(shown.pixel(10 + 20, 90 + 5), panel.pixel(20, 5));
    // Its corner shows the dialog, not magenta.
    EXPECT_NE(shown.pixel(10, 90) & 0xFFFFFF, 0xFF00FFu);
}

// ---- the list of the load dialog

TEST_F(PreferenceDialogTest, ListsOnlyNamedPreferenceFilesSortedByName) {
    for (const char* name : {"beta", "Zed", "Alpha", "alpha2"}) {
        MakeSet(name);
    }
    // A preference file whose header name is empty.
    MakeSet("Nameless");
    {
        std::fstream file(fs->HostPath("\\Preferences\\Nameless.PDB"),
                          std::ios::in | std::ios::out | std::ios::binary);
        const char zeros[32] = {};
        file.write(zeros, sizeof zeros);
    }
    CCodebaseFile codebase(fs.get());
    ASSERT_TRUE(codebase.CreateCodebase("\\Preferences\\TV_Sony.PDB"));
    codebase.Close();
    std::ofstream(root / "Preferences/notes.txt") << "not a set";

    modal.onDialog = [this](QDialog& dialog) {
        auto& load = static_cast<CLoadPreferenceDlg&>(dialog);
        EXPECT_EQ(Shown(load), (QStringList{"Alpha", "Zed", "alpha2", "beta"}));
        EXPECT_TRUE(load.List()->selectedItems().isEmpty());
        EXPECT_EQ(load.Sets().at(1).path, "\\Preferences\\Zed.PDB");
        return int(kIdCancel);
    };
    CLoadPreferenceDlg dialog(*model, modal);
    dialog.folder = kFolder;
    EXPECT_EQ(modal.RunDialog(dialog), kIdCancel);
    EXPECT_FALSE(dialog.deleted);
}

TEST_F(PreferenceDialogTest, ListsAtMostAHundredSets) {
    for (int i = 0; i < 101; ++i) {
        MakeSet(QString("Set%1").arg(i, 3, 10, QChar('0')));
    }
    const std::vector<PreferenceSetEntry> sets = ListPreferenceSets(*fs, kFolder);
    EXPECT_EQ(sets.size(), 100u);
}

TEST_F(PreferenceDialogTest, LoadAndDeleteWithoutSelectionStay) {
    MakeSet("Evening");
    modal.onDialog = [](QDialog& dialog) {
        auto& load = static_cast<CLoadPreferenceDlg&>(dialog);
        load.LoadButton()->click();
        load.DeleteButton()->click();
        EXPECT_TRUE(load.isVisible());
        return dialog.result();
    };
    CLoadPreferenceDlg dialog(*model, modal);
    dialog.folder = kFolder;
    EXPECT_EQ(modal.RunDialog(dialog), kIdCancel);
    EXPECT_TRUE(modal.messages.empty());
    EXPECT_TRUE(dialog.fileName.isEmpty());
    EXPECT_TRUE(fs->FileExists("\\Preferences\\Evening.PDB"));
}

TEST_F(PreferenceDialogTest, LoadReturnsTheFileNameOfTheChosenSet) {
    MakeSet("Evening");
    MakeSet("Morning");
    modal.onDialog = [](QDialog& dialog) {
        auto& load = static_cast<CLoadPreferenceDlg&>(dialog);
        load.List()->setCurrentRow(1);
        load.LoadButton()->click();
        return dialog.result();
    };
    CLoadPreferenceDlg dialog(*model, modal);
    dialog.folder = kFolder;
    EXPECT_EQ(modal.RunDialog(dialog), kIdOk);
    EXPECT_EQ(dialog.fileName, "Morning.PDB");
}

struct DeleteCase {
    const char* label;
    int answer;    // to the question
    int failStep;  // the file system step that fails, 0 for none
    bool removed;
};
void PrintTo(const DeleteCase& c, std::ostream* os) {
    *os << c.label;
}

class DeleteSet : public PreferenceDialogTest, public testing::WithParamInterface<DeleteCase> {};

TEST_P(DeleteSet, RemovesTheFileOnlyWhenAgreedAndPossible) {
    const DeleteCase& c = GetParam();
    MakeSet("Evening");
    MakeSet("Morning");
    modal.messageAnswer = c.answer;
    QStringList shownAfter;
    modal.onDialog = [&](QDialog& dialog) {
        auto& load = static_cast<CLoadPreferenceDlg&>(dialog);
        load.List()->setCurrentRow(0);
        fs->FailStep(c.failStep);
        load.DeleteButton()->click();
        fs->FailStep(0);
        shownAfter = Shown(load);
        if (c.removed) {
            EXPECT_TRUE(load.List()->selectedItems().isEmpty());
        }
        return int(kIdCancel);
    };
    CLoadPreferenceDlg dialog(*model, modal);
    dialog.folder = kFolder;
    modal.RunDialog(dialog);

    std::vector<QString> expected = {"Are you sure you want to delete preferences 'Evening' ?"};
    if (c.failStep) {
        expected.push_back("File \\Preferences\\Evening.PDB cannot be removed");
    }
    EXPECT_EQ(Texts(modal), expected);
    EXPECT_EQ(fs->FileExists("\\Preferences\\Evening.PDB"), !c.removed);
    EXPECT_EQ(dialog.deleted, c.removed);
    EXPECT_EQ(shownAfter, c.removed ? QStringList{"Morning"} : (QStringList{"Evening", "Morning"}));
}

INSTANTIATE_TEST_SUITE_P(Cases, DeleteSet,
                         testing::Values(DeleteCase{"Agreed", kIdOk, 0, true},
                                         DeleteCase{"Cancelled", kIdCancel, 0, false},
                                         DeleteCase{"RemoveFails", kIdOk, 1, false}),
                         [](const testing::TestParamInfo<DeleteCase>& info) {
                             return std::string(info.param.label);
                         });

}  // namespace
