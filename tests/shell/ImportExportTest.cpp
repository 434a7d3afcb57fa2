#include "shell/ImportExport.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>

#include "resources/dialogs/CHelpBar.h"
#include "resources/dialogs/DialogUnits.h"
#include "shell/CCheckListCtrl.h"
#include "shell/CHomeDevicesDlg.h"
#include "tests/remote/RemoteWindowFixture.h"

namespace {

const QString kTvIr = QStringLiteral(ARDEL_TEST_DATA "/../store/formats/fixtures/tv.ir");

class ImportExportTest : public RemoteWindowTest {
  protected:
    ImportExportTest() : folders(FoldersFor(QString(kBase) + "ArdelRemote.exe")) {}

    // Runs Home Devices; `act` works in it. The category dialog chooses `category`.
    void Run(const std::function<void(CHomeDevicesDlg&)>& act) {
        modal.onDialog = [this, act](QDialog& dialog) {
            if (auto* home = qobject_cast<CHomeDevicesDlg*>(&dialog)) {
                act(*home);
                return int(kIdOk);
            }
            if (auto* category = qobject_cast<CImportCategoryDlg*>(&dialog)) {
                ++categoryRuns;
                QComboBox* list = category->CategoryList();
                shownCategory = list->currentText();
                list->setCurrentIndex(list->findText(categoryAnswer));
                return categoryAnswer.isEmpty() ? int(kIdCancel) : int(kIdOk);
            }
            return int(kIdCancel);
        };
        RunHomeDevices(*window, modal, *fs, folders, 0);
    }
    std::vector<QString> Names(const CHomeDevicesDlg& dialog) {
        std::vector<QString> names;
        for (int row = 0; row < dialog.List()->RowCount(); ++row) {
            names.push_back(dialog.List()->CellText(row, CHomeDevicesDlg::kCategoryColumn) + "|" +
                            dialog.List()->CellText(row, CHomeDevicesDlg::kNameColumn));
        }
        return names;
    }

    HandheldFolders folders;
    QString categoryAnswer = "DVD/CD";
    QString shownCategory;  // what the category dialog showed chosen
    int categoryRuns = 0;
};

// Export... sits with the commands on the selected codebase, Import... with those that add
// codebases, both below Select and Done and above the help bar.
TEST_F(ImportExportTest, ButtonsSitInTheRowsOfTheirKind) {
    Run([](CHomeDevicesDlg& dialog) {
        const QPushButton* import = dialog.CommandButton(CHomeDevicesDlg::kImportId);
        const QPushButton* exportButton = dialog.CommandButton(CHomeDevicesDlg::kExportId);
        EXPECT_EQ(import->text(), "Import...");
        EXPECT_EQ(exportButton->text(), "Export...");
        EXPECT_EQ(exportButton->y(), dialog.CommandButton(CHomeDevicesDlg::kButtonsId)->y());
        EXPECT_EQ(import->y(), dialog.CommandButton(CHomeDevicesDlg::kAddFromCodesId)->y());
        const int selectBottom =
            dialog.CommandButton(CHomeDevicesDlg::kSelectId)->geometry().bottom();
        EXPECT_GT(exportButton->y(), selectBottom);
        EXPECT_GT(import->y(), exportButton->geometry().bottom());
        EXPECT_LE(import->geometry().bottom(), dialog.HelpBar()->geometry().top());
    });
}

TEST_F(ImportExportTest, ImportsInTheChosenCategoryAndSaysWhatWasLeftOut) {
    modal.openAnswer = kTvIr;
    Run([this](CHomeDevicesDlg& dialog) {
        EXPECT_TRUE(Names(dialog).empty());
        QTest::mouseClick(dialog.CommandButton(CHomeDevicesDlg::kImportId), Qt::LeftButton);
        EXPECT_EQ(Names(dialog), std::vector<QString>{"DVD/CD|tv"});
        EXPECT_EQ(dialog.List()->SelectedRow(), 0);  // what was made, ready for Export...
    });
    EXPECT_EQ(categoryRuns, 1);
    // The guess from the file's name and buttons is shown, and the choice made over it counts.
    EXPECT_EQ(shownCategory, "TV");
    ASSERT_EQ(modal.messages.size(), 1u);
    const QString text = modal.messages[0].text;
    EXPECT_TRUE(text.startsWith("Imported:\nDVD_tv: 2 buttons\n\nLeft out:\n"))
        << text.toStdString();
    EXPECT_TRUE(text.contains("Mystery (line 17): unknown protocol 'Foo'")) << text.toStdString();
    EXPECT_TRUE(fs->FileExists("\\Program Files\\ArdelRemote\\CodeBases\\DVD_tv.PDB"));
}

TEST_F(ImportExportTest, AsksBeforeReplacingAndKeepsTheOldOneOnNo) {
    modal.openAnswer = kTvIr;
    Run([](CHomeDevicesDlg& dialog) {
        QTest::mouseClick(dialog.CommandButton(CHomeDevicesDlg::kImportId), Qt::LeftButton);
    });
    modal.messages.clear();
    modal.messageAnswer = kIdNo;
    Run([](CHomeDevicesDlg& dialog) {
        QTest::mouseClick(dialog.CommandButton(CHomeDevicesDlg::kImportId), Qt::LeftButton);
    });
    ASSERT_EQ(modal.messages.size(), 2u);
    EXPECT_EQ(modal.messages[0].text,
              "A codebase named 'DVD_tv' exists already. Replace it with the imported one?");
    EXPECT_EQ(modal.messages[0].buttons, MessageButtons::YesNoDefaultNo);
    EXPECT_TRUE(modal.messages[1].text.contains("nothing was imported"))
        << modal.messages[1].text.toStdString();
}

TEST_F(ImportExportTest, BadFileOrCancelImportsNothing) {
    modal.openAnswer = "";
    Run([](CHomeDevicesDlg& dialog) {
        QTest::mouseClick(dialog.CommandButton(CHomeDevicesDlg::kImportId), Qt::LeftButton);
    });
    EXPECT_EQ(modal.filesOpened, 1);
    EXPECT_EQ(categoryRuns, 0);
    EXPECT_TRUE(modal.messages.empty());

    TempFolder folder;
    const std::string bad = folder / "bad.txt";
    QFile file(QString::fromStdString(bad));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("0000 006D 0002 0001 0156\n");
    file.close();
    modal.openAnswer = QString::fromStdString(bad);
    Run([](CHomeDevicesDlg& dialog) {
        QTest::mouseClick(dialog.CommandButton(CHomeDevicesDlg::kImportId), Qt::LeftButton);
    });
    ASSERT_EQ(modal.messages.size(), 1u);
    EXPECT_TRUE(modal.messages[0].text.startsWith(QString::fromStdString(bad) + ": line 1:"))
        << modal.messages[0].text.toStdString();
    EXPECT_EQ(categoryRuns, 0);

    // Cancel in the category dialog.
    modal.openAnswer = kTvIr;
    categoryAnswer.clear();
    modal.messages.clear();
    Run([](CHomeDevicesDlg& dialog) {
        QTest::mouseClick(dialog.CommandButton(CHomeDevicesDlg::kImportId), Qt::LeftButton);
    });
    EXPECT_TRUE(modal.messages.empty());
    EXPECT_FALSE(fs->FileExists("\\Program Files\\ArdelRemote\\CodeBases\\TV_tv.PDB"));
}

TEST_F(ImportExportTest, ExportsTheSelectedCodebaseInTheChosenFormat) {
    modal.openAnswer = kTvIr;
    TempFolder folder;
    modal.saveAnswer = QString::fromStdString(folder / "tv");
    modal.filterAnswer = "Pronto hex codes (*.txt)";
    Run([](CHomeDevicesDlg& dialog) {
        QTest::mouseClick(dialog.CommandButton(CHomeDevicesDlg::kImportId), Qt::LeftButton);
        dialog.List()->setCurrentItem(dialog.List()->topLevelItem(0));
        QTest::mouseClick(dialog.CommandButton(CHomeDevicesDlg::kExportId), Qt::LeftButton);
    });
    EXPECT_EQ(modal.suggestedName, "DVD_tv.ir");
    EXPECT_TRUE(modal.offeredFilters.contains("Flipper Zero IR file (*.ir)"));
    QFile file(QString::fromStdString(folder / "tv.txt"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.startsWith("Power: 0000 006C ")) << text.toStdString();
    EXPECT_EQ(text.count(QByteArrayView("\n")), 3);  // Power, Vol_up, and Vol_up as Vol+
}

}  // namespace
