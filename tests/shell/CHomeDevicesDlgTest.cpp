#include "shell/CHomeDevicesDlg.h"

#include <QAction>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

#include "platform/Modal.h"
#include "remote/CButtonViewDlg.h"
#include "remote/CLearnPromptDlg.h"
#include "resources/dialogs/CHelpBar.h"
#include "resources/dialogs/CHelpDlg.h"
#include "resources/dialogs/DialogUnits.h"
#include "shell/CCheckListCtrl.h"
#include "store/dialogs/CCodebaseDlg.h"
#include "tests/remote/RemoteWindowFixture.h"
#include "tests/support/PromptCapture.h"

// Paths and names in failure messages as text.
static void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace {

const QString kDocs = "\\My Documents\\";

// One row as the list shows it: category, name and whether its box is checked.
struct Row {
    QString category;
    QString name;
    bool checked;
    friend bool operator==(const Row&, const Row&) = default;
    friend std::ostream& operator<<(std::ostream& out, const Row& row) {
        return out << row.category.toStdString() << "|" << row.name.toStdString() << "|"
                   << row.checked;
    }
};

std::vector<Row> Rows(const CCheckListCtrl& list) {
    std::vector<Row> rows;
    for (int row = 0; row < list.RowCount(); ++row) {
        EXPECT_EQ(list.CellText(row, CHomeDevicesDlg::kHotColumn), "boolean");
        rows.push_back({list.CellText(row, 0), list.CellText(row, 1), list.IsChecked(row)});
    }
    return rows;
}

QPoint CellCentre(const CCheckListCtrl& list, int row, int column) {
    return list.visualRect(list.model()->index(row, column)).center();
}

void TapCell(CCheckListCtrl& list, int row, int column) {
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, CellCentre(list, row, column));
}

void Click(CHomeDevicesDlg& dialog, int id) {
    QTest::mouseClick(dialog.CommandButton(id), Qt::LeftButton);
}

// The filter buttons drawn bold, by category.
std::vector<int> BoldFilters(const CHomeDevicesDlg& dialog) {
    std::vector<int> bold;
    for (int c = 0; c < kCategoryCount; ++c) {
        if (dialog.FilterButton(c)->font().bold()) {
            bold.push_back(c);
        }
    }
    return bold;
}

// A remote window with four codebases in "\My Documents\": two TV, one Cab/Sat, one DVD/CD.
class HomeDevicesTest : public RemoteWindowTest {
  protected:
    HomeDevicesTest() : folders(FoldersFor(QString(kBase) + "ArdelRemote.exe")) {
        tvA = MakeCodebase("TV_Alpha");
        tvB = MakeCodebase("TV_Beta");
        sky = MakeCodebase("CAB_Sky");
        dvd = MakeCodebase("DVD_Player");
        window->hooks.openHomeDevices = [this](int category) {
            RunHomeDevices(*window, modal, *fs, folders, category);
        };
    }

    QString MakeCodebase(const QString& displayName, const QString& folder = kDocs) {
        const QString path = folder + displayName + ".PDB";
        CCodebaseFile file(fs.get());
        EXPECT_TRUE(file.CreateCodebase(path));
        file.Close();
        return path;
    }
    void MakeHot(int category, const QString& path) {
        model->MakeHot(category, path, false);
        window->ShowModel();
    }
    QString SlotOf(int form) { return window->GetForm(form)->Slot().Path(); }
    bool Exists(const QString& path) { return fs->FileExists(path.toStdString()); }
    std::vector<uint8_t> FileBytes(const QString& path) {
        FsError error = FsError::None;
        std::unique_ptr<HandheldFile> file = fs->Open(path.toStdString(), FsOpen::Read, error);
        std::vector<uint8_t> bytes(file ? file->Length() : 0);
        if (file && !file->Read(0, bytes.data(), bytes.size())) {
            bytes.clear();
        }
        return bytes;
    }

    // Runs the dialog; `act` works in it while it is open. Every other dialog is answered by
    // `answer` (Cancel when unset).
    void Run(int filter, const std::function<void(CHomeDevicesDlg&)>& act) {
        modal.onDialog = [this, act](QDialog& dialog) {
            if (auto* home = qobject_cast<CHomeDevicesDlg*>(&dialog)) {
                ++homeRuns;
                act(*home);
                return dialog.result();
            }
            return answer ? answer(dialog) : int(kIdCancel);
        };
        RunHomeDevices(*window, modal, *fs, folders, filter);
    }

    HandheldFolders folders;
    QString tvA, tvB, sky, dvd;
    std::function<int(QDialog&)> answer;
    int homeRuns = 0;
};

// ---- opening and filtering

TEST_F(HomeDevicesTest, ControlsCarryTheirTextsFontsAndColumns) {
    Run(0, [](CHomeDevicesDlg& dialog) {
        EXPECT_EQ(dialog.windowTitle(), "Home Devices");
        EXPECT_EQ(dialog.TitleText()->text(), "Home Devices");
        const std::vector<std::tuple<QWidget*, QString, int, bool>> fonts = {
            {dialog.TitleText(), "Home Devices", 18, true},
            {dialog.CommandButton(1024), "Add", 12, true},
            {dialog.CommandButton(1025), "ReLearn", 12, true},
            {dialog.CommandButton(1026), "Delete", 12, true},
            {dialog.CommandButton(1027), "Rename", 12, true},
            {dialog.CommandButton(1028), "Hot", 12, true},
            {dialog.CommandButton(2), "Select", 14, true},
            {dialog.CommandButton(1), "Done", 14, true},
            {dialog.FilterButton(0), "All", 12, true},
            {dialog.FilterButton(3), "DVD/CD", 12, false},
            {dialog.FilterButton(6), "TiVo", 12, false},
        };
        for (const auto& [widget, text, pixels, bold] : fonts) {
            ASSERT_NE(widget, nullptr) << text.toStdString();
            if (auto* button = qobject_cast<QPushButton*>(widget)) {
                EXPECT_EQ(button->text(), text);
            }
            EXPECT_EQ(widget->font().family(), "Arial") << text.toStdString();
            EXPECT_EQ(widget->font().pixelSize(), pixels) << text.toStdString();
            EXPECT_EQ(widget->font().bold(), bold) << text.toStdString();
        }
        for (const int id : {1015, 1016, 1019, 1020, 1021, 1022, 1023, 1024, 1028, 1017, 1037}) {
            EXPECT_NE(dialog.findChild<QWidget*>(QString::number(id)), nullptr) << id;
        }
        CCheckListCtrl& list = *dialog.List();
        const int w = list.ClientWidth();
        EXPECT_EQ(list.headerItem()->text(0), "Category");
        EXPECT_EQ(list.headerItem()->text(1), "Name");
        EXPECT_EQ(list.headerItem()->text(2), "Hot");
        EXPECT_EQ(list.columnWidth(0), 2 * w / 7 - 7);
        EXPECT_EQ(list.columnWidth(1), 4 * w / 7 + 7);  // four rows fit on a page
        EXPECT_EQ(list.columnWidth(2), w / 7);
        EXPECT_EQ(dialog.HelpBar()->HelpTopic(), 3);
        Click(dialog, CHomeDevicesDlg::kDoneId);
    });
}

TEST_F(HomeDevicesTest, NameColumnMakesRoomForTheScrollBarWhenRowsExceedAPage) {
    for (int i = 0; i < 20; ++i) {
        MakeCodebase(QString("VCR_Tape %1").arg(i, 2, 10, QChar('0')));
    }
    Run(0, [](CHomeDevicesDlg& dialog) {
        CCheckListCtrl& list = *dialog.List();
        ASSERT_GT(list.RowCount(), list.CountPerPage());
        EXPECT_EQ(list.columnWidth(1), 4 * list.ClientWidth() / 7 + 2);
        Click(dialog, CHomeDevicesDlg::kDoneId);
    });
}

struct OpeningCase {
    const char* label;
    int form;  // the form shown when the Select element is tapped; -1: opened from the menu
    std::vector<Row> rows;
    int bold;
};

class HomeDevicesOpening : public HomeDevicesTest,
                           public testing::WithParamInterface<OpeningCase> {};

TEST_P(HomeDevicesOpening, ShowsTheCategoryItWasOpenedFor) {
    const OpeningCase& c = GetParam();
    MakeHot(kCategoryCabSat, sky);
    std::vector<Row> rows;
    std::vector<int> bold;
    const auto look = [&](CHomeDevicesDlg& dialog) {
        rows = Rows(*dialog.List());
        bold = BoldFilters(dialog);
        Click(dialog, CHomeDevicesDlg::kDoneId);
    };
    if (c.form < 0) {
        Run(0, look);
    } else {
        modal.onDialog = [&](QDialog& dialog) {
            look(static_cast<CHomeDevicesDlg&>(dialog));
            return dialog.result();
        };
        window->SelectForm(c.form);
        CSkinForm& skin = *window->Current();
        const CRemoteButton& select = skin.Element(skin.FindElement(kPanelSelect));
        TapAt(QPoint(select.left + select.width / 2, select.top + select.height / 2) *
              window->Scale());
        ASSERT_EQ(modal.dialogs, std::vector<QString>{"CHomeDevicesDlg"});
    }
    EXPECT_EQ(rows, c.rows);
    EXPECT_EQ(bold, std::vector<int>{c.bold});
}

INSTANTIATE_TEST_SUITE_P(From, HomeDevicesOpening,
                         testing::Values(OpeningCase{"Menu",
                                                     -1,
                                                     {{"TV", "Alpha", false},
                                                      {"TV", "Beta", false},
                                                      {"Cab/Sat", "Sky", true},
                                                      {"DVD/CD", "Player", false}},
                                                     0},
                                         OpeningCase{
                                             "CabSatForm", 3, {{"Cab/Sat", "Sky", true}}, 2}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(HomeDevicesTest, FilterOfTheShownCategoryAgainLeavesTheListAlone) {
    Run(kCategoryTv, [](CHomeDevicesDlg& dialog) {
        CCheckListCtrl& list = *dialog.List();
        TapCell(list, 1, CHomeDevicesDlg::kNameColumn);
        ASSERT_EQ(list.SelectedRow(), 1);
        QTest::mouseClick(dialog.FilterButton(kCategoryTv), Qt::LeftButton);
        EXPECT_EQ(list.SelectedRow(), 1);
        EXPECT_EQ(list.RowCount(), 2);

        QTest::mouseClick(dialog.FilterButton(kCategoryDvdCd), Qt::LeftButton);
        EXPECT_EQ(Rows(list), (std::vector<Row>{{"DVD/CD", "Player", false}}));
        EXPECT_EQ(BoldFilters(dialog), std::vector<int>{kCategoryDvdCd});
        EXPECT_EQ(dialog.ShownFilter(), kCategoryDvdCd);
        QTest::mouseClick(dialog.FilterButton(kCategoryTiVo), Qt::LeftButton);
        EXPECT_EQ(list.RowCount(), 0);
        EXPECT_EQ(list.SelectedRow(), -1);
        Click(dialog, CHomeDevicesDlg::kDoneId);
    });
}

// ---- hot marks

TEST_F(HomeDevicesTest, TapOnNameSelectsAndTapOnHotTogglesTheRow) {
    Run(kCategoryTv, [this](CHomeDevicesDlg& dialog) {
        CCheckListCtrl& list = *dialog.List();
        TapCell(list, 0, CHomeDevicesDlg::kNameColumn);
        EXPECT_EQ(list.SelectedRow(), 0);
        EXPECT_FALSE(list.IsChecked(0));
        EXPECT_FALSE(dialog.Changed());

        TapCell(list, 1, CHomeDevicesDlg::kHotColumn);
        EXPECT_EQ(list.SelectedRow(), 1);
        EXPECT_TRUE(list.IsChecked(1));
        EXPECT_EQ(SlotOf(0), tvB);
        TapCell(list, 1, CHomeDevicesDlg::kHotColumn);
        EXPECT_FALSE(list.IsChecked(1));
        EXPECT_EQ(SlotOf(0), "");
        Click(dialog, CHomeDevicesDlg::kDoneId);
    });
}

struct HotCase {
    const char* label;
    bool byButton;  // the Hot button on the selected row, else a tap on its Hot cell
};

class HomeDevicesHot : public HomeDevicesTest, public testing::WithParamInterface<HotCase> {
  protected:
    void Toggle(CHomeDevicesDlg& dialog, int row) {
        if (GetParam().byButton) {
            TapCell(*dialog.List(), row, CHomeDevicesDlg::kNameColumn);
            Click(dialog, CHomeDevicesDlg::kHotId);
        } else {
            TapCell(*dialog.List(), row, CHomeDevicesDlg::kHotColumn);
        }
    }
};

TEST_P(HomeDevicesHot, SecondTvCodebaseTakesOverBothTvForms) {
    MakeHot(kCategoryTv, tvA);
    MakeHot(kCategoryCabSat, sky);
    Run(0, [this](CHomeDevicesDlg& dialog) {
        Toggle(dialog, 1);  // TV Beta
        EXPECT_EQ(Rows(*dialog.List()), (std::vector<Row>{{"TV", "Alpha", false},
                                                          {"TV", "Beta", true},
                                                          {"Cab/Sat", "Sky", true},
                                                          {"DVD/CD", "Player", false}}));
        EXPECT_EQ(dialog.Entries()[0].mark, 0);
        EXPECT_EQ(dialog.Entries()[1].mark, 1);
        EXPECT_TRUE(dialog.Changed());
        Click(dialog, CHomeDevicesDlg::kDoneId);
    });
    EXPECT_EQ(SlotOf(0), tvB);
    EXPECT_EQ(SlotOf(1), tvB);
    EXPECT_TRUE(window->GetForm(1)->Slot().IsValid());
    EXPECT_EQ(SlotOf(2), sky);
}

TEST_P(HomeDevicesHot, UncheckingTheOnlyHotDvdLeavesBothDvdFormsWithout) {
    MakeHot(kCategoryDvdCd, dvd);
    MakeHot(kCategoryTv, tvA);
    Run(kCategoryDvdCd, [this](CHomeDevicesDlg& dialog) {
        ASSERT_TRUE(dialog.List()->IsChecked(0));
        Toggle(dialog, 0);
        EXPECT_FALSE(dialog.List()->IsChecked(0));
        Click(dialog, CHomeDevicesDlg::kDoneId);
    });
    EXPECT_EQ(SlotOf(FirstFormOf(kCategoryDvdCd)), "");
    EXPECT_EQ(SlotOf(SecondFormOf(kCategoryDvdCd)), "");
    EXPECT_FALSE(window->GetForm(SecondFormOf(kCategoryDvdCd))->Slot().IsValid());
    EXPECT_EQ(SlotOf(0), tvA);
}

TEST_P(HomeDevicesHot, CodebaseOfNoCategoryCannotBeMadeHot) {
    MakeCodebase("XYZ_Odd");
    Run(kCategoryUnknown, [this](CHomeDevicesDlg& dialog) {
        ASSERT_EQ(dialog.List()->CellText(0, 0), "Unknown");
        Toggle(dialog, 0);
        EXPECT_FALSE(dialog.List()->IsChecked(0));
        EXPECT_EQ(dialog.Entries()[0].mark, 0);
        Click(dialog, CHomeDevicesDlg::kDoneId);
    });
    for (int form = 0; form < kFormCount; ++form) {
        EXPECT_EQ(SlotOf(form), "") << form;
    }
}

INSTANTIATE_TEST_SUITE_P(By, HomeDevicesHot,
                         testing::Values(HotCase{"HotCell", false}, HotCase{"HotButton", true}),
                         [](const auto& info) { return std::string(info.param.label); });

// The commands that work on a row are disabled until one is selected, and stay so when a
// refill leaves nothing selected.
TEST_F(HomeDevicesTest, CommandsOfARowNeedASelectedRow) {
    const std::vector<int> rowCommands = {
        CHomeDevicesDlg::kRelearnId, CHomeDevicesDlg::kDeleteId,  CHomeDevicesDlg::kRenameId,
        CHomeDevicesDlg::kHotId,     CHomeDevicesDlg::kSelectId,  CHomeDevicesDlg::kButtonsId,
        CHomeDevicesDlg::kExportId,  CHomeDevicesDlg::kCategoryId};
    const auto enabled = [&rowCommands](CHomeDevicesDlg& dialog) {
        std::vector<int> ids;
        for (const int id : rowCommands) {
            if (dialog.CommandButton(id)->isEnabled()) {
                ids.push_back(id);
            }
        }
        return ids;
    };
    MakeHot(kCategoryTv, tvA);
    Run(0, [&](CHomeDevicesDlg& dialog) {
        EXPECT_EQ(enabled(dialog), std::vector<int>{});
        for (const int id :
             {CHomeDevicesDlg::kAddId, CHomeDevicesDlg::kImportId, CHomeDevicesDlg::kDoneId}) {
            EXPECT_TRUE(dialog.CommandButton(id)->isEnabled()) << id;
        }
        TapCell(*dialog.List(), 2, CHomeDevicesDlg::kNameColumn);
        EXPECT_EQ(enabled(dialog), rowCommands);
        // Sky is not shown under DVD/CD: nothing is selected there.
        QTest::mouseClick(dialog.FilterButton(kCategoryDvdCd), Qt::LeftButton);
        EXPECT_EQ(enabled(dialog), std::vector<int>{});
        EXPECT_FALSE(dialog.Changed());
        EXPECT_TRUE(modal.messages.empty());
        EXPECT_EQ(modal.dialogs.size(), 1u);
        Click(dialog, CHomeDevicesDlg::kDoneId);
    });
    EXPECT_EQ(SlotOf(0), tvA);
    EXPECT_TRUE(Exists(tvA));
}

// Hot and the filters leave the selection on the codebase that was selected, wherever its row
// is now.
TEST_F(HomeDevicesTest, SelectionStaysOnTheCodebaseThroughHotAndFilters) {
    Run(0, [](CHomeDevicesDlg& dialog) {
        CCheckListCtrl& list = *dialog.List();
        const auto selected = [&list] {
            return list.SelectedRow() < 0 ? QString() : list.CellText(list.SelectedRow(), 1);
        };
        TapCell(list, 2, CHomeDevicesDlg::kNameColumn);
        ASSERT_EQ(selected(), "Sky");
        Click(dialog, CHomeDevicesDlg::kHotId);
        EXPECT_EQ(selected(), "Sky");
        EXPECT_TRUE(list.IsChecked(2));
        QTest::mouseClick(dialog.FilterButton(kCategoryCabSat), Qt::LeftButton);
        EXPECT_EQ(list.SelectedRow(), 0);
        EXPECT_EQ(selected(), "Sky");
        QTest::mouseClick(dialog.FilterButton(kCategoryUnknown), Qt::LeftButton);
        EXPECT_EQ(list.SelectedRow(), 2);
        Click(dialog, CHomeDevicesDlg::kDoneId);
    });
}

// Every command button shows its whole text, apart from the others, above the help bar.
TEST_F(HomeDevicesTest, CommandButtonsLieApartAboveTheHelpBar) {
    Run(0, [](CHomeDevicesDlg& dialog) {
        std::vector<QPushButton*> buttons;
        for (const int id :
             {CHomeDevicesDlg::kAddId, CHomeDevicesDlg::kRelearnId, CHomeDevicesDlg::kDeleteId,
              CHomeDevicesDlg::kRenameId, CHomeDevicesDlg::kHotId, CHomeDevicesDlg::kSelectId,
              CHomeDevicesDlg::kDoneId, CHomeDevicesDlg::kButtonsId, CHomeDevicesDlg::kCategoryId,
              CHomeDevicesDlg::kImportId, CHomeDevicesDlg::kExportId,
              CHomeDevicesDlg::kAddFromCodesId}) {
            buttons.push_back(dialog.CommandButton(id));
        }
        for (size_t i = 0; i < buttons.size(); ++i) {
            const QString text = buttons[i]->text();
            // With the room beside its text that the style gives a button ("ReLearn" and
            // "Rename" were cramped against their frames).
            QStyleOptionButton option;
            option.initFrom(buttons[i]);
            const QStyle* style = buttons[i]->style();
            const int room =
                style->pixelMetric(QStyle::PM_ButtonMargin, &option, buttons[i]) +
                2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, buttons[i]);
            EXPECT_LE(buttons[i]->fontMetrics().horizontalAdvance(text) + room, buttons[i]->width())
                << text.toStdString();
            EXPECT_LE(buttons[i]->geometry().bottom(), dialog.HelpBar()->geometry().top())
                << text.toStdString();
            EXPECT_GE(buttons[i]->geometry().top(), dialog.List()->geometry().bottom())
                << text.toStdString();
            for (size_t j = i + 1; j < buttons.size(); ++j) {
                EXPECT_FALSE(buttons[i]->geometry().intersects(buttons[j]->geometry()))
                    << text.toStdString() << " and " << buttons[j]->text().toStdString();
            }
        }
        Click(dialog, CHomeDevicesDlg::kDoneId);
    });
}

// On a screen of 1280 x 1024 at three times the handheld's size, the dialog opens at that size
// with a window's title bar and borders, as the remote beside it does.
TEST_F(HomeDevicesTest, FitsAScreenOf1024PixelsAtThreeTimesItsSize) {
    Run(0, [](CHomeDevicesDlg& dialog) {
        // In the handheld's pixels, as the program lays it out: the screen and a title bar of
        // 30 pixels, each a third.
        EXPECT_EQ(FittingZoom(dialog.size(), QMargins(1, 10, 1, 1), 3, QSize(1280, 1024) / 3), 3)
            << dialog.width() << "x" << dialog.height();
        Click(dialog, CHomeDevicesDlg::kDoneId);
    });
}

// ---- closing and the preference file

struct CloseCase {
    const char* label;
    bool changeHot;
    int closeWith;  // a button id, or 0 for Escape
    bool saved;
};

class HomeDevicesClose : public HomeDevicesTest, public testing::WithParamInterface<CloseCase> {};

TEST_P(HomeDevicesClose, SavesThePreferencesOnlyAfterAChange) {
    const CloseCase& c = GetParam();
    EnsurePrefFiles(*fs, folders.baseFolder, folders.programName);
    MakeHot(kCategoryTv, tvA);  // not saved yet
    const std::vector<uint8_t> before = FileBytes(model->PrefFile());
    ASSERT_FALSE(before.empty());
    Run(kCategoryTv, [&](CHomeDevicesDlg& dialog) {
        if (c.changeHot) {
            TapCell(*dialog.List(), 1, CHomeDevicesDlg::kHotColumn);  // Beta takes over
        }
        if (c.closeWith) {
            Click(dialog, c.closeWith);
        } else {
            QTest::keyClick(&dialog, Qt::Key_Escape);
        }
        EXPECT_FALSE(dialog.isVisible());
    });
    if (c.saved) {
        RemoteState file;
        LoadState(*fs, model->PrefFile(), file);
        EXPECT_EQ(file.hotCodebases[0], tvB);
        EXPECT_EQ(file.hotCodebases[1], tvB);
    } else {
        EXPECT_EQ(FileBytes(model->PrefFile()), before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Closing, HomeDevicesClose,
    testing::Values(CloseCase{"DoneUnchanged", false, CHomeDevicesDlg::kDoneId, false},
                    CloseCase{"DoneAfterHotChange", true, CHomeDevicesDlg::kDoneId, true},
                    CloseCase{"EscapeAfterHotChange", true, 0, true}),
    [](const auto& info) { return std::string(info.param.label); });

// A default preference file that cannot be written (a folder has taken its name) is told
// once when Done keeps the change, not once for every record that the save writes.
TEST_F(HomeDevicesTest, DoneTellsOnceThatThePreferenceFileCannotBeWritten) {
    const std::filesystem::path blocked = fs->HostPath(model->PrefFile().toStdString());
    ASSERT_FALSE(blocked.empty());
    std::filesystem::remove(blocked);
    ASSERT_TRUE(std::filesystem::create_directory(blocked));
    MakeHot(kCategoryTv, tvA);
    Run(kCategoryTv, [&](CHomeDevicesDlg& dialog) {
        TapCell(*dialog.List(), 1, CHomeDevicesDlg::kHotColumn);  // Beta takes over
        Click(dialog, CHomeDevicesDlg::kDoneId);
    });
    std::vector<QString> texts;
    for (const auto& message : modal.messages) {
        texts.push_back(message.text);
    }
    EXPECT_EQ(texts,
              std::vector<QString>{"Failure on creating the file.\n '" + model->PrefFile() + "'"});
    EXPECT_EQ(SlotOf(0), tvB);  // the choice holds for this session all the same
}

struct SelectCase {
    const char* label;
    bool doubleTap;
};

class HomeDevicesSelect : public HomeDevicesTest, public testing::WithParamInterface<SelectCase> {};

TEST_P(HomeDevicesSelect, MakesTheRowHotGoesToItsRemoteAndSaves) {
    EnsurePrefFiles(*fs, folders.baseFolder, folders.programName);
    Run(0, [this](CHomeDevicesDlg& dialog) {
        CCheckListCtrl& list = *dialog.List();
        if (GetParam().doubleTap) {
            // A double tap: a tap, then the second press arrives as a double click.
            const QPoint at = CellCentre(list, 3, CHomeDevicesDlg::kNameColumn);
            QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
            QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
        } else {
            TapCell(list, 3, CHomeDevicesDlg::kNameColumn);
            Click(dialog, CHomeDevicesDlg::kSelectId);
        }
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_EQ(window->CurrentForm(), FirstFormOf(kCategoryDvdCd));
    EXPECT_EQ(SlotOf(4), dvd);
    EXPECT_EQ(SlotOf(5), dvd);
    RemoteState file;
    LoadState(*fs, model->PrefFile(), file);
    EXPECT_EQ(file.hotCodebases[5], dvd);
    EXPECT_EQ(file.currentForm, 4);
}

INSTANTIATE_TEST_SUITE_P(By, HomeDevicesSelect,
                         testing::Values(SelectCase{"SelectButton", false},
                                         SelectCase{"DoubleTap", true}),
                         [](const auto& info) { return std::string(info.param.label); });

// ---- Add and ReLearn

TEST_F(HomeDevicesTest, AddPrefillsTheNumberOfRowsShownPlusOne) {
    MakeCodebase("TV_Gamma");
    QString prefilled;
    QString folder;
    answer = [&](QDialog& dialog) {
        auto& codebase = static_cast<CCodebaseDlg&>(dialog);
        prefilled = codebase.NameEdit()->text();
        folder = codebase.folder;
        EXPECT_EQ(codebase.TitleText()->text(), "New Codebase");
        return int(kIdCancel);
    };
    Run(kCategoryTv, [](CHomeDevicesDlg& dialog) {
        ASSERT_EQ(dialog.List()->RowCount(), 3);
        Click(dialog, CHomeDevicesDlg::kAddId);
        EXPECT_TRUE(dialog.isVisible());  // a cancelled Add keeps the dialog open
        EXPECT_EQ(dialog.focusWidget(), dialog.List());
        Click(dialog, CHomeDevicesDlg::kDoneId);
    });
    EXPECT_EQ(prefilled, "4");
    EXPECT_EQ(folder, folders.defaultCodebaseFolder);
    EXPECT_FALSE(window->Current()->Learning());
}

TEST_F(HomeDevicesTest, AddConfirmedStartsLearningTheNewCodebase) {
    window->SelectForm(8);  // Audio1
    answer = [](QDialog& dialog) {
        auto& codebase = static_cast<CCodebaseDlg&>(dialog);
        codebase.CategoryList()->setCurrentIndex(kCategoryVcr - 1);
        codebase.NameEdit()->setText("Hall");
        codebase.DoubleMode()->setChecked(true);
        QTest::mouseClick(codebase.OkButton(), Qt::LeftButton);
        return dialog.result();
    };
    Run(0, [](CHomeDevicesDlg& dialog) {
        Click(dialog, CHomeDevicesDlg::kAddId);
        EXPECT_FALSE(dialog.isVisible());
    });
    const QString path = folders.defaultCodebaseFolder + "VCR_Hall.PDB";
    const int first = FirstFormOf(kCategoryVcr);
    EXPECT_EQ(window->CurrentForm(), first);
    for (const int form : {first, first + 1}) {
        EXPECT_EQ(SlotOf(form), path) << form;
        EXPECT_EQ(window->GetForm(form)->Learning(), 1) << form;
        EXPECT_EQ(window->GetForm(form)->learnMode, 1) << form;
    }
    EXPECT_FALSE(window->GetForm(8)->Learning());
    EXPECT_FALSE(Exists(path));  // made by the first button learnt

    // The codebase folder may be missing on a fresh installation; the first learnt button
    // must still find a place for its file.
    modal.onDialog = [this](QDialog& dialog) {
        return qobject_cast<CLearnPromptDlg*>(&dialog) ? LetPromptCapture(dialog) : int(kIdOk);
    };
    window->GetForm(first)->learnMode = 0;
    window->GetForm(first + 1)->learnMode = 0;
    Tap("Power");
    EXPECT_TRUE(Exists(path));
    EXPECT_TRUE(window->GetForm(first)->Slot().IsValid());
}

TEST_F(HomeDevicesTest, RelearnConfirmedLearnsIntoTheRowsCodebaseAndSaves) {
    EnsurePrefFiles(*fs, folders.baseFolder, folders.programName);
    MakeHot(kCategoryTv, tvA);
    answer = [](QDialog& dialog) {
        auto& codebase = static_cast<CCodebaseDlg&>(dialog);
        EXPECT_EQ(codebase.NameEdit()->text(), "Beta");
        EXPECT_TRUE(codebase.NameEdit()->isReadOnly());
        EXPECT_FALSE(codebase.CategoryList()->isEnabled());
        EXPECT_EQ(codebase.CategoryList()->currentText(), "TV");
        QTest::mouseClick(codebase.OkButton(), Qt::LeftButton);
        return dialog.result();
    };
    Run(0, [](CHomeDevicesDlg& dialog) {
        TapCell(*dialog.List(), 1, CHomeDevicesDlg::kNameColumn);
        Click(dialog, CHomeDevicesDlg::kRelearnId);
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_EQ(SlotOf(0), tvB);
    EXPECT_EQ(SlotOf(1), tvB);
    EXPECT_EQ(window->Current()->Learning(), 1);
    RemoteState file;
    LoadState(*fs, model->PrefFile(), file);
    EXPECT_EQ(file.hotCodebases[0], tvB);
}

TEST_F(HomeDevicesTest, RelearnOfACodebaseWithoutCategoryIsRefused) {
    MakeCodebase("XYZ_Odd");
    Run(0, [this](CHomeDevicesDlg& dialog) {
        TapCell(*dialog.List(), 0, CHomeDevicesDlg::kNameColumn);
        Click(dialog, CHomeDevicesDlg::kRelearnId);
        EXPECT_TRUE(dialog.isVisible());
        ASSERT_EQ(modal.messages.size(), 1u);
        Click(dialog, CHomeDevicesDlg::kDoneId);
    });
    EXPECT_EQ(modal.dialogs, std::vector<QString>{"CHomeDevicesDlg"});
    EXPECT_FALSE(window->Current()->Learning());
}

// ---- Delete and Rename

struct DeleteCase {
    const char* label;
    int answer;
    bool removed;
};

class HomeDevicesDelete : public HomeDevicesTest, public testing::WithParamInterface<DeleteCase> {};

TEST_P(HomeDevicesDelete, HotCodebaseGoesOnlyWhenConfirmed) {
    const DeleteCase& c = GetParam();
    MakeHot(kCategoryTv, tvA);
    modal.messageAnswer = c.answer;
    Run(kCategoryTv, [&](CHomeDevicesDlg& dialog) {
        TapCell(*dialog.List(), 0, CHomeDevicesDlg::kNameColumn);
        Click(dialog, CHomeDevicesDlg::kDeleteId);
        EXPECT_TRUE(dialog.isVisible());
        const std::vector<Row> kept = {{"TV", "Alpha", true}, {"TV", "Beta", false}};
        const std::vector<Row> removed = {{"TV", "Beta", false}};
        EXPECT_EQ(Rows(*dialog.List()), c.removed ? removed : kept);
        // Beta takes the deleted row's place and the selection.
        EXPECT_EQ(dialog.List()->SelectedRow(), 0);
        Click(dialog, CHomeDevicesDlg::kDoneId);
    });
    ASSERT_EQ(modal.messages.size(), 1u);
    EXPECT_EQ(modal.messages[0].text,
              "All infrared signals stored inside the codebase will be lost, and you cannot "
              "control your device anymore! To restore the codebase you'll have to create a new "
              "one and learn it from the original remote control.Are you sure you want to delete "
              "'TV_Alpha' ?");
    EXPECT_EQ(modal.messages[0].buttons, MessageButtons::YesNoDefaultNo);
    EXPECT_EQ(Exists(tvA), !c.removed);
    EXPECT_EQ(SlotOf(0), c.removed ? "" : tvA);
    EXPECT_EQ(SlotOf(1), c.removed ? "" : tvA);
}

INSTANTIATE_TEST_SUITE_P(Answer, HomeDevicesDelete,
                         testing::Values(DeleteCase{"Yes", kIdYes, true},
                                         DeleteCase{"No", kIdNo, false}),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(HomeDevicesTest, FileThatCannotBeRemovedStaysListedAndHot) {
    MakeHot(kCategoryTv, tvA);
    modal.messageAnswer = kIdYes;
    Run(kCategoryTv, [this](CHomeDevicesDlg& dialog) {
        TapCell(*dialog.List(), 0, CHomeDevicesDlg::kNameColumn);
        fs->FailStep(1);
        Click(dialog, CHomeDevicesDlg::kDeleteId);
        fs->FailStep(0);
        EXPECT_EQ(Rows(*dialog.List()),
                  (std::vector<Row>{{"TV", "Alpha", true}, {"TV", "Beta", false}}));
        Click(dialog, CHomeDevicesDlg::kDoneId);
    });
    ASSERT_EQ(modal.messages.size(), 2u);
    EXPECT_EQ(modal.messages[1].text, "File " + tvA + " cannot be removed");
    EXPECT_TRUE(Exists(tvA));
    EXPECT_EQ(SlotOf(0), tvA);
}

TEST_F(HomeDevicesTest, RenamedHotCodebaseStaysHotUnderItsNewName) {
    MakeHot(kCategoryTv, tvB);
    answer = [](QDialog& dialog) {
        auto& codebase = static_cast<CCodebaseDlg&>(dialog);
        EXPECT_EQ(codebase.NameEdit()->text(), "Beta");
        codebase.NameEdit()->setText("Kitchen");
        QTest::mouseClick(codebase.OkButton(), Qt::LeftButton);
        return dialog.result();
    };
    Run(0, [](CHomeDevicesDlg& dialog) {
        TapCell(*dialog.List(), 1, CHomeDevicesDlg::kNameColumn);
        Click(dialog, CHomeDevicesDlg::kRenameId);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(Rows(*dialog.List()), (std::vector<Row>{{"TV", "Alpha", false},
                                                          {"TV", "Kitchen", true},
                                                          {"Cab/Sat", "Sky", false},
                                                          {"DVD/CD", "Player", false}}));
        EXPECT_TRUE(dialog.Changed());
        Click(dialog, CHomeDevicesDlg::kDoneId);
    });
    const QString renamed = kDocs + "TV_Kitchen.PDB";
    EXPECT_TRUE(Exists(renamed));
    EXPECT_FALSE(Exists(tvB));
    EXPECT_EQ(SlotOf(0), renamed);
    EXPECT_EQ(SlotOf(1), renamed);
    EXPECT_TRUE(window->GetForm(0)->Slot().IsValid());
}

// Rename keeps the category; the name alone changes.
TEST_F(HomeDevicesTest, RenameKeepsTheCategory) {
    const QString odd = MakeCodebase("XYZ_Odd");
    answer = [](QDialog& dialog) {
        auto& codebase = static_cast<CCodebaseDlg&>(dialog);
        EXPECT_FALSE(codebase.CategoryList()->isEnabled());
        codebase.NameEdit()->setText("Crate");
        QTest::mouseClick(codebase.OkButton(), Qt::LeftButton);
        return dialog.result();
    };
    Run(0, [](CHomeDevicesDlg& dialog) {
        TapCell(*dialog.List(), 0, CHomeDevicesDlg::kNameColumn);
        Click(dialog, CHomeDevicesDlg::kRenameId);
        CCheckListCtrl& list = *dialog.List();
        ASSERT_GE(list.SelectedRow(), 0);
        EXPECT_EQ(list.CellText(list.SelectedRow(), 0), "Unknown");
        EXPECT_EQ(list.CellText(list.SelectedRow(), 1), "Crate");
        Click(dialog, CHomeDevicesDlg::kDoneId);
    });
    EXPECT_TRUE(modal.messages.empty());
    EXPECT_FALSE(Exists(odd));
    EXPECT_TRUE(Exists(kDocs + "Unk_Crate.PDB"));
}

struct CategoryCase {
    const char* label;
    QString from;  // the codebase file in My Documents, without ".PDB"
    int filter;
    int chosen;        // the category chosen in the dialog
    const char* file;  // where the codebase is afterwards
    std::vector<QString> messages;
    int shownFilter;  // the filter afterwards
};

class HomeDevicesCategory : public HomeDevicesTest,
                            public testing::WithParamInterface<CategoryCase> {};

// A codebase imported under the wrong category, or under none, is moved to another category
// under its name; it stays selected, in the whole list when it left the category shown.
TEST_P(HomeDevicesCategory, MovesTheCodebaseUnderItsName) {
    const CategoryCase& c = GetParam();
    const QString from = kDocs + c.from + ".PDB";
    if (!Exists(from)) {
        MakeCodebase(c.from);
    }
    MakeCodebase("VCR_Player");  // a name that VCR has already
    MakeHot(kCategoryTv, tvA);
    answer = [&c](QDialog& dialog) {
        auto& codebase = static_cast<CCodebaseDlg&>(dialog);
        EXPECT_EQ(codebase.windowTitle(), "Change Category");
        EXPECT_TRUE(codebase.CategoryList()->isEnabled());
        EXPECT_TRUE(codebase.NameEdit()->isReadOnly());
        codebase.CategoryList()->setCurrentIndex(c.chosen - 1);
        QTest::mouseClick(codebase.OkButton(), Qt::LeftButton);
        return dialog.result();
    };
    Run(c.filter, [&](CHomeDevicesDlg& dialog) {
        CCheckListCtrl& list = *dialog.List();
        const QString name = c.from.mid(c.from.indexOf('_') + 1);
        for (int row = 0; row < list.RowCount(); ++row) {
            if (list.CellText(row, 1) == name) {
                TapCell(list, row, CHomeDevicesDlg::kNameColumn);
            }
        }
        Click(dialog, CHomeDevicesDlg::kCategoryId);
        EXPECT_EQ(dialog.ShownFilter(), c.shownFilter);
        ASSERT_GE(list.SelectedRow(), 0);
        EXPECT_EQ(list.CellText(list.SelectedRow(), 1), name);
        EXPECT_EQ(dialog.Changed(), c.file != c.from + ".PDB");
        Click(dialog, CHomeDevicesDlg::kDoneId);
    });
    std::vector<QString> texts;
    for (const auto& message : modal.messages) {
        texts.push_back(message.text);
    }
    EXPECT_EQ(texts, c.messages);
    EXPECT_TRUE(Exists(kDocs + c.file));
    EXPECT_EQ(Exists(from), c.file == c.from + ".PDB");
    // A hot TV codebase moved elsewhere no longer answers for the TV forms.
    EXPECT_EQ(SlotOf(0), Exists(tvA) ? tvA : "");
}

const QString kNameTaken =
    "A codebase with the name you specified already exists.\nSpecify a different codebase name.";

INSTANTIATE_TEST_SUITE_P(
    Cases, HomeDevicesCategory,
    testing::Values(
        CategoryCase{"UnknownGetsVcr", "XYZ_Odd", 0, kCategoryVcr, "VCR_Odd.PDB", {}, 0},
        CategoryCase{
            "HotTvToAudio", "TV_Alpha", kCategoryTv, kCategoryAudio, "AUD_Alpha.PDB", {}, 0},
        CategoryCase{"SameCategoryChangesNothing",
                     "TV_Beta",
                     kCategoryTv,
                     kCategoryTv,
                     "TV_Beta.PDB",
                     {},
                     kCategoryTv},
        CategoryCase{"NameTakenThere",
                     "DVD_Player",
                     kCategoryDvdCd,
                     kCategoryVcr,
                     "DVD_Player.PDB",
                     {kNameTaken},
                     kCategoryDvdCd}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(HomeDevicesTest, RenameToANameTakenInTheCodebasesFolderIsRefusedByTheDialog) {
    answer = [](QDialog& dialog) {
        auto& codebase = static_cast<CCodebaseDlg&>(dialog);
        codebase.NameEdit()->setText("Alpha");
        QTest::mouseClick(codebase.OkButton(), Qt::LeftButton);
        EXPECT_TRUE(dialog.isVisible());
        return int(kIdCancel);
    };
    Run(kCategoryTv, [](CHomeDevicesDlg& dialog) {
        TapCell(*dialog.List(), 1, CHomeDevicesDlg::kNameColumn);
        Click(dialog, CHomeDevicesDlg::kRenameId);
        EXPECT_EQ(dialog.List()->CellText(1, 1), "Beta");
        Click(dialog, CHomeDevicesDlg::kDoneId);
    });
    ASSERT_EQ(modal.messages.size(), 1u);
    EXPECT_TRUE(modal.messages[0].text.startsWith("A codebase with the name you specified"));
    EXPECT_TRUE(Exists(tvA));
    EXPECT_TRUE(Exists(tvB));
}

TEST_F(HomeDevicesTest, HelpButtonOpensTopicThree) {
    int topic = -1;
    answer = [&](QDialog& dialog) {
        topic = static_cast<CHelpDlg&>(dialog).Topic();
        return int(kIdOk);
    };
    Run(0, [](CHomeDevicesDlg& dialog) {
        for (QAction* action : dialog.HelpBar()->actions()) {
            if (action->data().toInt() == CHelpBar::kHelpCommand) {
                action->trigger();
            }
        }
        Click(dialog, CHomeDevicesDlg::kDoneId);
    });
    EXPECT_EQ(modal.dialogs, (std::vector<QString>{"CHomeDevicesDlg", "CHelpDlg"}));
    EXPECT_EQ(topic, 3);
}

TEST_F(HomeDevicesTest, ButtonsShowsTheSelectedCodebasesButtons) {
    {
        CCodebaseFile file(fs.get());
        ASSERT_EQ(file.Open(tvB, CPdbFile::kModeReadWrite), kPdbOk);
        const int32_t durations[] = {9000, -4500, 560, -40000};
        ASSERT_TRUE(file.StoreSignal(CCodebaseFile::DurationsToValues(durations, 4), 0, 26,
                                     ToFileBytes("Power"), 1));
    }
    QString shown;
    std::vector<QString> buttons;
    answer = [&](QDialog& dialog) {
        auto& view = dynamic_cast<CButtonViewDlg&>(dialog);
        shown = view.TitleText()->text();
        for (const ButtonCode& row : view.Rows()) {
            buttons.push_back(row.button);
        }
        return int(kIdOk);
    };
    Run(0, [](CHomeDevicesDlg& dialog) {
        QPushButton* button = dialog.CommandButton(CHomeDevicesDlg::kButtonsId);
        EXPECT_EQ(button->text(), "Buttons...");
        CCheckListCtrl& list = *dialog.List();
        for (int row = 0; row < list.RowCount(); ++row) {
            if (list.CellText(row, 1) == "Beta") {
                TapCell(list, row, 1);
            }
        }
        Click(dialog, CHomeDevicesDlg::kButtonsId);
        EXPECT_TRUE(dialog.isVisible()) << "Home Devices stays open";
        Click(dialog, CHomeDevicesDlg::kDoneId);
    });
    EXPECT_EQ(modal.dialogs, (std::vector<QString>{"CHomeDevicesDlg", "CButtonViewDlg"}));
    EXPECT_EQ(shown, "TV: Beta");  // named as the list names it
    EXPECT_EQ(buttons, std::vector<QString>{"Power"});
}

// ---- the check list's drawing

TEST(CheckListCtrl, CheckBoxSitsCentredInTheShrunkenCell) {
    // A cell 32 x 18 at (100, 20): shrunk to 28 x 16 at (102, 21), so the box is 17 x 16
    // with its left edge at 102 + 14 - 8 - 1.
    const CCheckListCtrl::CheckBoxShape shape = CCheckListCtrl::CheckBoxIn(QRect(100, 20, 32, 18));
    EXPECT_EQ(shape.frame, QRect(107, 21, 17, 16));
    const std::array<QLine, 7> strokes = {QLine(117, 24, 117, 26), QLine(116, 25, 116, 27),
                                          QLine(115, 26, 115, 28), QLine(114, 27, 114, 29),
                                          QLine(113, 26, 113, 28), QLine(112, 25, 112, 27),
                                          QLine(111, 24, 111, 26)};
    EXPECT_EQ(shape.strokes, strokes);
}

TEST(CheckListCtrl, DrawsTheBoxFrameAndTheMarkOfCheckedRowsOnly) {
    CCheckListCtrl list;
    list.setHeaderLabels({"Category", "Name", "Hot"});
    list.setGeometry(0, 0, 240, 120);
    list.setColumnWidth(0, 60);
    list.setColumnWidth(1, 120);
    list.setColumnWidth(2, 40);
    list.AddRow({"TV", "Alpha", "boolean"});
    list.AddRow({"TV", "Beta", "boolean"});
    list.SetChecked(1, true);
    list.show();
    QApplication::processEvents();
    const QImage image = list.viewport()->grab().toImage();
    const auto black = [&](QPoint p) { return image.pixelColor(p) == QColor(Qt::black); };

    for (int row = 0; row < 2; ++row) {
        const QRect cell = list.visualRect(list.model()->index(row, 2));
        const CCheckListCtrl::CheckBoxShape shape = CCheckListCtrl::CheckBoxIn(cell);
        const QRect& f = shape.frame;
        ASSERT_GE(f.height(), 12) << "a row too low for the mark";
        for (const QPoint corner :
             {f.topLeft(), f.topRight(), f.bottomLeft(), f.bottomRight(),
              QPoint(f.center().x(), f.top()), QPoint(f.left(), f.center().y())}) {
            EXPECT_TRUE(black(corner)) << row << " frame " << corner.x() << "," << corner.y();
        }
        // Just outside the frame is the cell's background.
        EXPECT_FALSE(black(f.topLeft() - QPoint(1, 0))) << row;
        EXPECT_FALSE(black(f.topRight() + QPoint(1, 0))) << row;
        for (const QLine& stroke : shape.strokes) {
            for (int y = stroke.y1(); y <= stroke.y2(); ++y) {
                EXPECT_EQ(black(QPoint(stroke.x1(), y)), row == 1) << row << " stroke " << y;
            }
            // A stroke ends before its end point.
            EXPECT_FALSE(black(QPoint(stroke.x1(), stroke.y2() + 1))) << row;
        }
        EXPECT_FALSE(black(f.topLeft() + QPoint(2, 2))) << row;
    }
}

}  // namespace
