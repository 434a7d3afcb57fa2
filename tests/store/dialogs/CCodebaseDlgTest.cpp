#include "store/dialogs/CCodebaseDlg.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "platform/host/HostHandheldFs.h"
#include "resources/dialogs/CHelpBar.h"
#include "store/CPdbFile.h"
#include "tests/support/ModalRunners.h"
#include "tests/support/TempFolder.h"

namespace {

// A device root of its own, with "\\My Documents\\" in it.
class DeviceRoot : public testing::Test {
  protected:
    DeviceRoot() { std::filesystem::create_directories(root_.Path() / "My Documents"); }

    TempFolder root_;
    HostHandheldFs device_{root_.Path().string()};
};

std::vector<QString> Texts(const CAnsweringModalRunner& modal) {
    std::vector<QString> texts;
    for (const auto& message : modal.messages) {
        texts.push_back(message.text);
    }
    return texts;
}

// ---- typing into the name field

struct TypingCase {
    const char* label;
    int mode;
    int category;
    QString typed;
    bool paste;  // inserted in one change rather than key by key
    QString field;
    std::vector<QString> messages;
};

class CodebaseNameTyping : public DeviceRoot, public testing::WithParamInterface<TypingCase> {};

TEST_P(CodebaseNameTyping, KeepsTheFieldWithinTheRules) {
    const TypingCase& c = GetParam();
    CAnsweringModalRunner modal;
    modal.onDialog = [&](QDialog& dialog) {
        auto& codebase = static_cast<CCodebaseDlg&>(dialog);
        QLineEdit* edit = codebase.NameEdit();
        if (c.paste) {
            edit->insert(c.typed);
        } else {
            QTest::keyClicks(edit, c.typed);
        }
        return kIdCancel;
    };
    CCodebaseDlg dialog(device_, modal);
    dialog.mode = c.mode;
    dialog.category = c.category;
    modal.RunDialog(dialog);
    EXPECT_EQ(dialog.NameEdit()->text(), c.field);
    EXPECT_EQ(dialog.NameEdit()->cursorPosition(), c.field.size());
    EXPECT_EQ(Texts(modal), c.messages);
}

const QString k30 = QString(30, 'x');

INSTANTIATE_TEST_SUITE_P(
    Names, CodebaseNameTyping,
    testing::Values(
        TypingCase{"ColonIsRefusedAndCut", 0, -1, "ab:c", false, "abc", {"Illegal character :"}},
        TypingCase{
            "PastedColonKeepsWhatCameBefore", 0, 0, "ab:cd", true, "ab", {"Illegal character :"}},
        TypingCase{
            "EarliestRefusedCharacterWins", 0, 0, "a|b*c", true, "a", {"Illegal character |"}},
        TypingCase{"ThenControlAndWideCharacters",
                   0,
                   0,
                   QString("ab") + QChar(0xE9) + "c",
                   true,
                   "ab",
                   {QString("Illegal character ") + QChar(0xE9)}},
        TypingCase{"TwentySixthCharacterWithoutCategoryIsDropped",
                   0,
                   -1,
                   QString(26, 'x'),
                   false,
                   QString(25, 'x'),
                   {}},
        TypingCase{"CabSatKeepsTwentySix", 0, 1, k30, false, QString(26, 'x'), {}},
        TypingCase{"TvKeepsTwentySeven", 0, 0, k30, false, QString(27, 'x'), {}},
        TypingCase{"LongPasteLosesItsPathSeparators",
                   0,
                   -1,
                   "abc\\..\\" + QString(30, 'y'),
                   true,
                   "abc",
                   {"Illegal character \\"}},
        TypingCase{"RelearnChecksCharactersButNeverCuts", 1, -1, k30, false, k30, {}},
        TypingCase{"RelearnStillRefusesColons", 1, 0, "a:b", false, "ab", {"Illegal character :"}}),
    [](const testing::TestParamInfo<TypingCase>& info) { return std::string(info.param.label); });

// ---- OK

struct OkCase {
    const char* label;
    int mode;
    int category;
    QString name;
    bool existing;  // TV_Sony.PDB already lies in the folder
    std::vector<QString> messages;
    int result;
    int categoryOut;
    QString fileName;
};

class CodebaseOk : public DeviceRoot, public testing::WithParamInterface<OkCase> {};

TEST_P(CodebaseOk, ChecksBeforeClosing) {
    const OkCase& c = GetParam();
    if (c.existing) {
        CPdbFile file(&device_);
        ASSERT_EQ(file.Create("\\My Documents\\TV_Sony.PDB"), kPdbOk);
    }
    CAnsweringModalRunner modal;
    modal.onDialog = [](QDialog& dialog) {
        QTest::mouseClick(static_cast<CCodebaseDlg&>(dialog).OkButton(), Qt::LeftButton);
        return dialog.result();
    };
    CCodebaseDlg dialog(device_, modal);
    dialog.mode = c.mode;
    dialog.category = c.category;
    dialog.name = c.name;
    dialog.folder = "\\My Documents\\";
    EXPECT_EQ(modal.RunDialog(dialog), c.result);
    EXPECT_EQ(Texts(modal), c.messages);
    if (c.result == kIdOk) {
        EXPECT_EQ(dialog.category, c.categoryOut);
        EXPECT_EQ(dialog.fileName, c.fileName);
    }
}

const QString kExists =
    "A codebase with the name you specified already exists.\nSpecify a different codebase name.";
const QString kTooLong = "Maximal codebase name length is exceeded.";

INSTANTIATE_TEST_SUITE_P(
    Checks, CodebaseOk,
    testing::Values(
        OkCase{"NewCodebase", 0, 0, "Sony", false, {}, kIdOk, 1, "TV_Sony.PDB"},
        OkCase{
            "NoCategory", 0, -1, "Sony", false, {"You must select a category."}, kIdCancel, 0, ""},
        OkCase{
            "BlanksOnly", 0, 0, "   ", false, {"You must type a codebase name."}, kIdCancel, 0, ""},
        OkCase{"AlreadyThere", 0, 0, "Sony", true, {kExists}, kIdCancel, 0, ""},
        OkCase{"FullNameOfThirtyTwoIsTooLong",
               2,
               0,
               QString(29, 'n'),
               false,
               {kTooLong},
               kIdCancel,
               0,
               ""},
        // "\\" + a display name of 31 + ".PDB" is more than the 35 characters of a file
        // name that can be created: the name would pass here and fail at the first button.
        OkCase{"FullNameOfThirtyOneIsTooLong",
               0,
               5,
               QString(27, 'n'),
               false,
               {kTooLong},
               kIdCancel,
               0,
               ""},
        OkCase{"FullNameOfThirtyFits",
               2,
               5,
               QString(26, 'n'),
               false,
               {},
               kIdOk,
               6,
               "TIV_" + QString(26, 'n') + ".PDB"},
        // A name that was never typed (the header name of a renamed codebase) is checked
        // for the characters that no file name may hold as well.
        OkCase{"RenameToAReservedCharacter",
               2,
               0,
               "a:b",
               false,
               {"Illegal character :"},
               kIdCancel,
               0,
               ""},
        OkCase{"RelearnNeverComplains", 1, -1, "", true, {}, kIdOk, 0, "Unk_.PDB"},
        OkCase{"RelearnOfAnExistingCodebase", 1, 0, "Sony", true, {}, kIdOk, 1, "TV_Sony.PDB"},
        // Its own file is no other codebase of the name.
        OkCase{"CategoryLeftAsItWas", 3, 0, "Sony", true, {}, kIdOk, 1, "TV_Sony.PDB"}),
    [](const testing::TestParamInfo<OkCase>& info) { return std::string(info.param.label); });

TEST_F(DeviceRoot, BothFailedTestsOfOkShowTheirMessages) {
    // A name too long for a new file can still lie on the device, copied there by hand.
    const QString name(28, 'n');
    CPdbFile empty(&device_);
    ASSERT_EQ(empty.Create("\\My Documents\\short.PDB"), kPdbOk);
    empty.Close();
    WriteHostFile(root_ / ("My Documents/CAB_" + name.toStdString() + ".PDB"),
                  ReadHostFile(root_ / "My Documents/short.PDB"));
    CAnsweringModalRunner modal;
    modal.onDialog = [](QDialog& dialog) {
        QTest::mouseClick(static_cast<CCodebaseDlg&>(dialog).OkButton(), Qt::LeftButton);
        return dialog.result();
    };
    CCodebaseDlg dialog(device_, modal);
    dialog.mode = CCodebaseDlg::kRename;
    dialog.category = 1;
    dialog.name = name;
    dialog.folder = "\\My Documents\\";
    EXPECT_EQ(modal.RunDialog(dialog), kIdCancel);
    EXPECT_EQ(Texts(modal), (std::vector<QString>{kTooLong, kExists}));
}

TEST_F(DeviceRoot, DoubleModeIsReportedAndCancelChangesNothing) {
    CAnsweringModalRunner modal;
    CCodebaseDlg dialog(device_, modal);
    dialog.category = 2;
    dialog.name = "Pioneer";
    modal.onDialog = [](QDialog& shown) {
        auto& codebase = static_cast<CCodebaseDlg&>(shown);
        QTest::mouseClick(codebase.DoubleMode(), Qt::LeftButton);
        QTest::mouseClick(codebase.OkButton(), Qt::LeftButton);
        return shown.result();
    };
    ASSERT_EQ(modal.RunDialog(dialog), kIdOk);
    EXPECT_EQ(dialog.learnMode, 1);
    EXPECT_EQ(dialog.category, 3);
    EXPECT_EQ(dialog.fileName, "DVD_Pioneer.PDB");

    CCodebaseDlg cancelled(device_, modal);
    cancelled.category = 2;
    modal.onDialog = [](QDialog& shown) {
        QTest::mouseClick(shown.findChild<QPushButton*>("2"), Qt::LeftButton);
        return shown.result();
    };
    EXPECT_EQ(modal.RunDialog(cancelled), kIdCancel);
    EXPECT_EQ(cancelled.category, 2);
    EXPECT_TRUE(cancelled.fileName.isEmpty());
}

// ---- opening, by mode

struct OpeningCase {
    int mode;
    const char* windowTitle;
    const char* title;
    const char* ok;
    const char* categoryLabel;
    bool modeButtons;
    int helpTopic;  // -1: no help bar
};

class CodebaseOpening : public DeviceRoot, public testing::WithParamInterface<OpeningCase> {};

TEST_P(CodebaseOpening, SetsUpItsMode) {
    const OpeningCase& c = GetParam();
    CAnsweringModalRunner modal;
    modal.onDialog = [&](QDialog& dialog) {
        auto& codebase = static_cast<CCodebaseDlg&>(dialog);
        EXPECT_EQ(codebase.windowTitle(), c.windowTitle);
        EXPECT_EQ(codebase.TitleText()->text(), c.title);
        EXPECT_EQ(codebase.OkButton()->text(), c.ok);
        EXPECT_EQ(codebase.CategoryLabel(), c.categoryLabel);
        EXPECT_EQ(codebase.SingleMode()->isVisible(), c.modeButtons);
        EXPECT_EQ(codebase.DoubleMode()->isVisible(), c.modeButtons);
        EXPECT_TRUE(codebase.SingleMode()->isChecked());
        EXPECT_EQ(codebase.HelpBar() ? codebase.HelpBar()->HelpTopic() : -1, c.helpTopic);
        EXPECT_EQ(codebase.CategoryList()->count(), 6);
        EXPECT_EQ(codebase.CategoryList()->currentText(), "VCR");
        EXPECT_FALSE(codebase.CategoryList()->isEnabled());
        EXPECT_TRUE(codebase.NameEdit()->isReadOnly());
        EXPECT_EQ(codebase.NameEdit()->text(), "Old");
        return kIdCancel;
    };
    CCodebaseDlg dialog(device_, modal);
    dialog.mode = c.mode;
    dialog.category = 3;
    dialog.name = "Old";
    dialog.categorySelectable = false;
    dialog.nameEditable = false;
    modal.RunDialog(dialog);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, CodebaseOpening,
    testing::Values(OpeningCase{0, "Create & Learn New Codebase", "New Codebase",
                                "Start Learning...", "Select Category:", true, 4},
                    OpeningCase{1, "Relearn Codebase", "Learn Existing Codebase",
                                "Start Relearning...", "Category:", true, 5},
                    OpeningCase{2, "Rename Codebase", "Rename Codebase", "Rename Codebase",
                                "Category:", false, -1},
                    OpeningCase{3, "Change Category", "Change Category", "Change Category",
                                "Category:", false, -1}),
    [](const testing::TestParamInfo<OpeningCase>& info) {
        return "Mode" + std::to_string(info.param.mode);
    });

}  // namespace
