#include "remote/CButtonViewDlg.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>

#include "remote/CSignalView.h"
#include "resources/dialogs/DialogUnits.h"
#include "tests/remote/CodebaseFixture.h"
#include "tests/support/ModalRunners.h"

namespace {

std::vector<QStringList> ListedRows(const CButtonViewDlg& dialog) {
    std::vector<QStringList> rows;
    for (int i = 0; i < dialog.List()->topLevelItemCount(); ++i) {
        QStringList cells;
        for (int c = 0; c < dialog.List()->columnCount(); ++c) {
            cells << dialog.List()->topLevelItem(i)->text(c);
        }
        rows.push_back(cells);
    }
    return rows;
}

class ButtonViewTest : public testing::Test, public CodebaseFixture {
  protected:
    CUnansweredModalRunner unanswered;
};

TEST_F(ButtonViewTest, ListsEachSignalsCodeOrRaw) {
    Store("Power", Encoded("NEC", 0x04, 0x08));
    Store("1", Encoded("RC5", 0x05, 0x10));  // doubles by itself with the other toggle
    Store("Vol+", Encoded("Samsung32", 0x07, 0x02));
    IrSignal raw;
    const int32_t odd[] = {3000, -3000, 800, -800, 800, -30000};
    std::copy(std::begin(odd), std::end(odd), raw.durations);
    raw.count = 6;
    raw.carrierPeriod = 26;
    Store("Menu", raw);

    CButtonViewDlg dialog(fs, unanswered, kPath);
    ASSERT_TRUE(dialog.Open());
    // Named as Home Devices lists it, not by its file.
    EXPECT_EQ(dialog.TitleText()->text(), "TV: Test");
    const std::vector<QStringList> expected = {
        {"Power", "1", "NEC", "0x4", "0x8"}, {"1", "1", "RC5 t0", "0x5", "0x10"},
        {"1", "2", "RC5 t1", "0x5", "0x10"}, {"Vol+", "1", "Samsung32", "0x7", "0x2"},
        {"Menu", "1", "raw", "", ""},
    };
    EXPECT_EQ(ListedRows(dialog), expected);

    // The first row is shown at once; a double button shows both of its signals.
    ASSERT_EQ(dialog.SignalView()->Signals().size(), 1u);
    EXPECT_EQ(dialog.SignalView()->Signals()[0].count, Encoded("NEC", 0x04, 0x08).count);
    ASSERT_TRUE(dialog.SelectRow(2));
    ASSERT_EQ(dialog.SignalView()->Signals().size(), 2u);
    EXPECT_NE(dialog.SignalView()->Signals()[0].durations[2],
              dialog.SignalView()->Signals()[1].durations[2]);
    ASSERT_TRUE(dialog.SelectButton("menu"));
    ASSERT_EQ(dialog.SignalView()->Signals().size(), 1u);
    EXPECT_EQ(dialog.SignalView()->Signals()[0].durations[0], 3000);
    EXPECT_FALSE(dialog.SelectButton("Guide"));
}

TEST_F(ButtonViewTest, EveryControlLiesInside) {
    Store("Power", Encoded("NEC", 0x04, 0x08));
    CButtonViewDlg dialog(fs, unanswered, kPath);
    for (QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        EXPECT_TRUE(dialog.rect().contains(child->geometry())) << child->metaObject()->className();
    }
}

// Every cell and header shows its whole text, the last column included, with long names and
// protocol names of the kind a learnt or imported codebase holds.
TEST_F(ButtonViewTest, EveryCellShowsItsWholeText) {
    Store("Q.menu", Encoded("NECext", 0x1234, 0x5678));
    Store("Display", Encoded("Samsung32", 0x07, 0x02));
    Store("Instant Replay", Encoded("NEC", 0xFF, 0xFF));  // the longest name on the forms
    Store("1", Encoded("RC5", 0x05, 0x10));
    CButtonViewDlg dialog(fs, unanswered, kPath);
    ASSERT_TRUE(dialog.Open());
    dialog.show();
    QCoreApplication::processEvents();  // the last column stretches once the list is laid out
    QTreeWidget* list = dialog.List();
    const QFontMetrics cells(list->font());
    const QFontMetrics heads(list->header()->font());
    for (int c = 0; c < list->columnCount(); ++c) {
        const QRect column(list->header()->sectionViewportPosition(c), 0,
                           list->header()->sectionSize(c), 1);
        EXPECT_LE(column.right(), list->viewport()->width()) << "column " << c;
        EXPECT_LE(heads.horizontalAdvance(list->headerItem()->text(c)), column.width())
            << list->headerItem()->text(c).toStdString();
        for (int row = 0; row < list->topLevelItemCount(); ++row) {
            const QString text = list->topLevelItem(row)->text(c);
            EXPECT_LE(cells.horizontalAdvance(text), column.width()) << text.toStdString();
        }
    }
}

TEST_F(ButtonViewTest, CodebaseThatCannotBeReadIsSaidSo) {
    CAnsweringModalRunner modal;
    RunButtonView(fs, modal, "\\TV_Gone.PDB", nullptr);
    EXPECT_TRUE(modal.dialogs.empty());
    ASSERT_EQ(modal.messages.size(), 1u);
    EXPECT_EQ(modal.messages[0].text, "Cannot read codebase '\\TV_Gone.PDB'.");
}

}  // namespace
