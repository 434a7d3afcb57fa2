#include "remote/CButtonViewDlg.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "ir/CIrDriver.h"
#include "ir/IrResult.h"
#include "platform/sim/SimHandheld.h"
#include "platform/sim/SimProfile.h"
#include "remote/CSignalView.h"
#include "resources/Strings.h"
#include "resources/dialogs/CHelpBar.h"
#include "resources/dialogs/DialogUnits.h"
#include "tests/support/CodebaseFixture.h"
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

    CButtonViewDlg dialog(*model, unanswered, kPath);
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
    CButtonViewDlg dialog(*model, unanswered, kPath);
    for (QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        EXPECT_TRUE(dialog.rect().contains(child->geometry())) << child->metaObject()->className();
    }
    // The Help button sits at the right edge of the bar along the dialog's bottom.
    dialog.show();
    QCoreApplication::processEvents();
    const QWidget* help = dialog.HelpBar()->widgetForAction(dialog.HelpBar()->HelpAction());
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_GE(help->mapTo(&dialog, QPoint(help->width(), 0)).x(), dialog.width() - 8);
}

// Every cell and header shows its whole text, the last column included, with long names and
// protocol names of the kind a learnt or imported codebase holds.
TEST_F(ButtonViewTest, EveryCellShowsItsWholeText) {
    Store("Q.menu", Encoded("NECext", 0x1234, 0x5678));
    Store("Display", Encoded("Samsung32", 0x07, 0x02));
    Store("Instant Replay", Encoded("NEC", 0xFF, 0xFF));  // the longest name on the forms
    Store("1", Encoded("RC5", 0x05, 0x10));
    CButtonViewDlg dialog(*model, unanswered, kPath);
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
    EXPECT_FALSE(RunButtonView(*model, modal, "\\TV_Gone.PDB", nullptr));
    EXPECT_TRUE(modal.dialogs.empty());
    ASSERT_EQ(modal.messages.size(), 1u);
    EXPECT_EQ(modal.messages[0].text, "Cannot read codebase '\\TV_Gone.PDB'.");
}

// A driver that keeps what it was asked to send.
class SendingDriver : public CIrDriver {
  public:
    using CIrDriver::CIrDriver;
    int Send(uint16_t repeat) override {
        repeats.push_back(repeat);
        sent.assign(Signal().durations, Signal().durations + Signal().count);
        return result;
    }
    int Capture() override { return kIrNoSignal; }
    int OpenPort() override { return 0; }
    std::vector<uint16_t> repeats;
    std::vector<int32_t> sent;
    int result = 0;
};

struct SendCase {
    const char* label;
    bool driver;          // the device has an IR driver
    int result;           // what the driver's Send gives
    const char* message;  // what the user is told; empty for nothing
};

class ButtonViewSend : public testing::TestWithParam<SendCase>, public CodebaseFixture {
  protected:
    ButtonViewSend() {
        RemoteServices services;
        services.fs = &fs;
        if (GetParam().driver) {
            services.driver = [this] { return &driver; };
        }
        model = std::make_unique<CRemoteModel>(services);
        model->SetIrPort("COM3:");
        driver.result = GetParam().result;
    }
    SimHandheld handheld{*FindSimProfile("pxa255")};
    SendingDriver driver{handheld};
};

// Send sends the selected row's signal, the second of a double button too, once: one pass.
TEST_P(ButtonViewSend, SendsTheSelectedSignalOnce) {
    const SendCase& c = GetParam();
    Store("Power", Encoded("NEC", 0x04, 0x08));
    Store("1", Encoded("RC5", 0x05, 0x10));  // signal 2 holds the other toggle
    IrSignal second;
    ASSERT_EQ(model->ReadButton(kPath, "1", 2, second), kStoreOk);
    CAnsweringModalRunner modal;
    CButtonViewDlg dialog(*model, modal, kPath);
    ASSERT_TRUE(dialog.Open());
    ASSERT_TRUE(dialog.SelectRow(2));
    EXPECT_TRUE(dialog.SendButton()->isEnabled());
    QTest::mouseClick(dialog.SendButton(), Qt::LeftButton);
    if (c.driver) {
        EXPECT_EQ(driver.repeats, std::vector<uint16_t>{1});
        EXPECT_EQ(driver.sent,
                  std::vector<int32_t>(second.durations, second.durations + second.count));
    }
    std::vector<QString> told;
    for (const auto& message : modal.messages) {
        told.push_back(message.text);
    }
    EXPECT_EQ(told, *c.message ? std::vector<QString>{c.message} : std::vector<QString>{});
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, ButtonViewSend,
    testing::Values(SendCase{"Sent", true, 0, ""},
                    SendCase{"NoDriver", false, 0,
                             "ArdelRemote cannot use the infrared port of your device. Check "
                             "compatibility at " ARDEL_WEB_ADDRESS "."},
                    SendCase{"DeviceGone", true, kIrLircUnplugged,
                             "The IR device 'COM3:' went away (unplugged?)."}),
    [](const auto& info) { return std::string(info.param.label); });

struct DeleteCase {
    const char* label;
    int answer;
    std::vector<QString> buttons;  // the buttons listed afterwards
    QString selected;              // the button selected afterwards
};

class ButtonViewDelete : public testing::TestWithParam<DeleteCase>, public CodebaseFixture {};

// Delete asks with No as the default, then removes the button with both its signals; the
// next button takes the selection.
TEST_P(ButtonViewDelete, RemovesTheSelectedButtonOnlyWhenConfirmed) {
    const DeleteCase& c = GetParam();
    Store("Power", Encoded("NEC", 0x04, 0x08));
    Store("1", Encoded("RC5", 0x05, 0x10));
    Store("Mute", Encoded("NEC", 0x04, 0x09));
    CAnsweringModalRunner modal;
    modal.messageAnswer = c.answer;
    CButtonViewDlg dialog(*model, modal, kPath);
    ASSERT_TRUE(dialog.Open());
    ASSERT_TRUE(dialog.SelectButton("1"));
    QTest::mouseClick(dialog.DeleteButton(), Qt::LeftButton);
    ASSERT_EQ(modal.messages.size(), 1u);
    EXPECT_EQ(modal.messages[0].text,
              "All infrared signals of the button '1' will be lost. Are you sure you want to "
              "delete it from 'TV: Test' ?");
    EXPECT_EQ(modal.messages[0].buttons, MessageButtons::YesNoDefaultNo);
    std::vector<QString> listed;
    for (const ButtonCode& row : dialog.Rows()) {
        if (listed.empty() || listed.back() != row.button) {
            listed.push_back(row.button);
        }
    }
    EXPECT_EQ(listed, c.buttons);
    const QTreeWidgetItem* current = dialog.List()->currentItem();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->text(CButtonViewDlg::kButtonColumn), c.selected);
    EXPECT_EQ(dialog.Deleted(), c.answer == kIdYes);
    IrSignal signal;
    EXPECT_EQ(model->ReadButton(kPath, "1", 1, signal) == kStoreOk, c.answer != kIdYes);
}

INSTANTIATE_TEST_SUITE_P(Answers, ButtonViewDelete,
                         testing::Values(DeleteCase{"Yes", kIdYes, {"Power", "Mute"}, "Mute"},
                                         DeleteCase{"No", kIdNo, {"Power", "1", "Mute"}, "1"}),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
