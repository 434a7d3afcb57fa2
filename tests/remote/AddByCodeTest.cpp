// Giving a button its signal from a protocol and a code while learning, instead of a read.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "ir/CIrDriver.h"
#include "model/ButtonCodes.h"
#include "platform/sim/SimHandheld.h"
#include "platform/sim/SimProfile.h"
#include "remote/ButtonLearning.h"
#include "remote/CAddByCodeDlg.h"
#include "remote/CCodebaseSlot.h"
#include "remote/CConfirmDlg.h"
#include "remote/CHandheldRemoteFiles.h"
#include "remote/CLearnPromptDlg.h"
#include "remote/CSkinElement.h"
#include "remote/RemoteFiles.h"
#include "store/CCodebaseFile.h"
#include "store/FormTables.h"
#include "tests/support/CodebaseFixture.h"
#include "tests/support/ModalRunners.h"

namespace {

// A driver whose read hears a plain signal; `duringRead` runs while it reads.
class ReadingDriver : public CIrDriver {
  public:
    using CIrDriver::CIrDriver;
    int Send(uint16_t) override { return 0; }
    int Capture() override {
        ++reads;
        if (duringRead) {
            duringRead();
        }
        const int32_t durations[] = {900, -450, 560, -1690, 560, -40000};
        ::SetSignal(signal, durations, 6, 0, 26);
        return 0;
    }
    int OpenPort() override { return 0; }
    int reads = 0;
    std::function<void()> duringRead;
};

// What the user types into the code dialog.
struct Typed {
    const char* protocol;
    const char* address;
    const char* command;
    bool toggle = false;
};

void Fill(CAddByCodeDlg& dialog, const Typed& typed) {
    dialog.ProtocolList()->setCurrentText(typed.protocol);
    dialog.AddressEdit()->setText(typed.address);
    dialog.CommandEdit()->setText(typed.command);
    dialog.ToggleBox()->setChecked(typed.toggle);
}

class AddByCodeTest : public testing::Test, public CodebaseFixture {
  protected:
    AddByCodeTest() {
        RemoteServices services;
        services.fs = &fs;
        services.driver = [this] { return &driver; };
        model = std::make_unique<CRemoteModel>(services);
        model->SetIrPort("COM3:");
        slot.SetPath(kPath);
        button.name = "Power";
        button.slot = &slot;
        modal.onDialog = [this](QDialog& dialog) { return Answer(dialog); };
    }

    int Answer(QDialog& dialog) {
        if (auto* prompt = qobject_cast<CLearnPromptDlg*>(&dialog)) {
            ++prompts;
            if (clickCodeAtOnce) {
                QTest::mouseClick(prompt->CodeButton(), Qt::LeftButton);
            }
            QElapsedTimer waited;
            waited.start();
            while (dialog.isVisible() && waited.elapsed() < 10000) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            }
            return dialog.result();
        }
        if (auto* code = qobject_cast<CAddByCodeDlg*>(&dialog)) {
            ++codeDialogs;
            EXPECT_EQ(code->name, "Power");
            if (!typed) {
                return kIdCancel;
            }
            Fill(*code, *typed);
            QTest::mouseClick(code->OkButton(), Qt::LeftButton);
            return dialog.result();
        }
        if (auto* confirm = qobject_cast<CConfirmDlg*>(&dialog)) {
            confirmations.push_back(confirm->message);  // what was stored, and its check
            return kIdOk;
        }
        ADD_FAILURE() << "unexpected dialog " << dialog.metaObject()->className();
        return kIdCancel;
    }

    std::vector<ButtonCode> Decoded() {
        std::vector<ButtonCode> rows;
        DecodeButtons(fs, kPath, rows);
        return rows;
    }

    SimHandheld handheld{*FindSimProfile("pxa255")};
    ReadingDriver driver{handheld};
    CHandheldRemoteFiles files{fs};
    CCodebaseSlot slot{FormSlotId(0), &files};
    CRemoteButton button;
    CAnsweringModalRunner modal;
    bool clickCodeAtOnce = true;
    std::optional<Typed> typed;
    int prompts = 0;
    std::vector<QString> confirmations;  // the texts shown once a button was stored
    int codeDialogs = 0;
};

// One stored signal as the decoder names it.
struct Expected {
    int signal;
    const char* protocol;
    uint32_t address;
    uint32_t command;
    uint8_t toggle;
};

struct CodeCase {
    const char* label;
    int learnMode;
    Typed typed;
    std::vector<Expected> stored;
};

class AddByCodeCases : public AddByCodeTest, public testing::WithParamInterface<CodeCase> {};

TEST_P(AddByCodeCases, CodeIsStoredAsALearntButtonAndDecodesBack) {
    const CodeCase& c = GetParam();
    typed = c.typed;
    ASSERT_TRUE(Learn(button, *model, modal, c.learnMode, false));
    EXPECT_EQ(driver.reads, 0) << "the prompt never read";
    EXPECT_EQ(prompts, 1) << "a code is the whole button, also in double mode";
    EXPECT_TRUE(button.hasSignal);
    EXPECT_TRUE(slot.IsValid()) << "the slot took up the new codebase";
    const std::vector<ButtonCode> rows = Decoded();
    ASSERT_EQ(rows.size(), c.stored.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        const Expected& e = c.stored[i];
        EXPECT_EQ(rows[i].button, "Power");
        EXPECT_EQ(rows[i].signal, e.signal);
        ASSERT_NE(rows[i].protocol, nullptr) << i;
        EXPECT_STREQ(rows[i].protocol->name, e.protocol);
        EXPECT_EQ(rows[i].frame.code.address, e.address);
        EXPECT_EQ(rows[i].frame.code.command, e.command);
        EXPECT_EQ(rows[i].frame.code.toggle, e.toggle) << i;
    }
    // Sent as a learnt button is: its carrier and a repeating frame came from the protocol.
    IrSignal sent;
    ASSERT_EQ(model->ReadButton(kPath, "Power", 1, sent), kStoreOk);
    EXPECT_EQ(sent.carrierPeriod, CarrierPeriodUs(FindIrProtocol(c.typed.protocol)->carrierHz));
    // The confirmation tells of the doubling exactly when a second signal was made.
    ASSERT_EQ(confirmations.size(), 1u);
    EXPECT_EQ(confirmations[0].contains("signal 2 was stored with the other toggle"),
              c.stored.size() == 2)
        << confirmations[0].toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Codes, AddByCodeCases,
    testing::Values(
        CodeCase{"NecHexAndDecimal", 0, {"NEC", "0x04", "8"}, {{1, "NEC", 0x04, 0x08, 0}}},
        CodeCase{"NecRangeEdges", 0, {"NEC", "0xFF", "0"}, {{1, "NEC", 0xFF, 0x00, 0}}},
        CodeCase{"SircInDoubleMode", 1, {"SIRC", "1", "0x15"}, {{1, "SIRC", 0x01, 0x15, 0}}},
        CodeCase{"Rc5TogglesByItself",
                 0,
                 {"RC5", "0x05", "0x10", true},
                 {{1, "RC5", 0x05, 0x10, 1}, {2, "RC5", 0x05, 0x10, 0}}},
        CodeCase{"Rc6TogglesByItself",
                 1,
                 {"RC6", "0", "0x0C"},
                 {{1, "RC6", 0x00, 0x0C, 0}, {2, "RC6", 0x00, 0x0C, 1}}}),
    [](const auto& info) { return std::string(info.param.label); });

TEST_F(AddByCodeTest, CancelledCodeStoresNothing) {
    typed.reset();
    EXPECT_FALSE(Learn(button, *model, modal, 0, false));
    EXPECT_EQ(codeDialogs, 1);
    EXPECT_FALSE(button.hasSignal);
    EXPECT_FALSE(fs.FileExists(kPath.toStdString())) << "no codebase made for nothing";
}

TEST_F(AddByCodeTest, ClickOnCodeDuringTheReadWinsOverWhatWasHeard) {
    // A click on "Code..." that comes while the read runs: what the read heard is dropped.
    clickCodeAtOnce = false;
    // The read runs on the model's IR worker; the click comes on the window's thread, which
    // the read waits for.
    driver.duringRead = [] {
        QMetaObject::invokeMethod(
            qApp,
            [] {
                for (QWidget* window : QApplication::topLevelWidgets()) {
                    if (auto* prompt = qobject_cast<CLearnPromptDlg*>(window);
                        prompt && prompt->isVisible()) {
                        QTest::mouseClick(prompt->CodeButton(), Qt::LeftButton);
                    }
                }
            },
            Qt::BlockingQueuedConnection);
    };
    typed = Typed{"NEC", "0x04", "0x08"};
    ASSERT_TRUE(Learn(button, *model, modal, 0, false));
    EXPECT_EQ(driver.reads, 1);
    EXPECT_EQ(codeDialogs, 1);
    const std::vector<ButtonCode> rows = Decoded();
    ASSERT_EQ(rows.size(), 1u);
    ASSERT_NE(rows[0].protocol, nullptr);
    EXPECT_STREQ(rows[0].protocol->name, "NEC");
}

TEST_F(AddByCodeTest, ReadWithoutAClickStoresWhatWasHeard) {
    clickCodeAtOnce = false;
    ASSERT_TRUE(Learn(button, *model, modal, 0, false));
    EXPECT_EQ(driver.reads, 1);
    EXPECT_EQ(codeDialogs, 0);
    IrSignal stored;
    ASSERT_EQ(model->ReadButton(kPath, "Power", 1, stored), kStoreOk);
    EXPECT_EQ(stored.durations[0], 900);
}

struct RefusedCase {
    const char* label;
    Typed typed;
    const char* message;
};

class AddByCodeRefused : public testing::TestWithParam<RefusedCase> {};

TEST_P(AddByCodeRefused, OutOfRangeOrNotANumberIsSaidAndTheDialogStaysOpen) {
    const RefusedCase& c = GetParam();
    CAnsweringModalRunner modal;
    CAddByCodeDlg dialog(modal);
    dialog.name = "Power";
    dialog.show();
    Fill(dialog, c.typed);
    QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
    ASSERT_EQ(modal.messages.size(), 1u);
    EXPECT_EQ(modal.messages[0].text, c.message);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.protocol, nullptr);
    EXPECT_EQ(dialog.signal.count, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Bad, AddByCodeRefused,
    testing::Values(
        RefusedCase{"AddressOneBeyond",
                    {"NEC", "0x100", "0"},
                    "Address 0x100 is out of range for NEC: 0x0 to 0xFF."},
        RefusedCase{"CommandOneBeyond",
                    {"RC5", "0", "64"},
                    "Command 0x40 is out of range for RC5: 0x0 to 0x3F."},
        RefusedCase{"NotANumber",
                    {"NEC", "12x", "0"},
                    "The address '12x' is not a whole number (decimal, or hexadecimal after 0x)."},
        RefusedCase{"EmptyCommand",
                    {"SIRC", "1", ""},
                    "The command '' is not a whole number (decimal, or hexadecimal after 0x)."},
        RefusedCase{"Negative",
                    {"NEC", "-1", "0"},
                    "The address '-1' is not a whole number (decimal, or hexadecimal after 0x)."}),
    [](const auto& info) { return std::string(info.param.label); });

TEST(AddByCodeDialog, ToggleIsOfferedForToggleProtocolsOnly) {
    CUnansweredModalRunner modal;
    CAddByCodeDlg dialog(modal);
    for (const IrProtocol* protocol : IrProtocols()) {
        dialog.ProtocolList()->setCurrentText(protocol->name);
        EXPECT_EQ(dialog.ToggleBox()->isEnabled(), protocol->hasToggle) << protocol->name;
    }
    EXPECT_EQ(dialog.ProtocolList()->count(), int(IrProtocols().size()));
}

}  // namespace
