// The whole program on a simulated handheld: start-up, the main frame's menus and commands,
// and the hardware keys.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "app/program/RemoteProgram.h"
#include "model/ButtonCodes.h"
#include "platform/HardKeys.h"
#include "platform/host/HostHandheldFs.h"
#include "platform/sim/SimHandheld.h"
#include "remote/CAddByCodeDlg.h"
#include "remote/CConfirmDlg.h"
#include "remote/CDUWnd.h"
#include "remote/CGreetingDlg.h"
#include "remote/CLearnPromptDlg.h"
#include "resources/StringText.h"
#include "resources/Strings.h"
#include "resources/dialogs/CAboutDlg.h"
#include "resources/dialogs/CHelpDlg.h"
#include "shell/CHardButtonsDlg.h"
#include "shell/CHomeDevicesDlg.h"
#include "shell/CIrSetupDlg.h"
#include "shell/CMainFrame.h"
#include "shell/CRemoteView.h"
#include "shell/KeyboardHardKeys.h"
#include "store/CCodebaseFile.h"
#include "store/dialogs/CCodebaseDlg.h"
#include "store/dialogs/CSavePreferenceDlg.h"
#include "tests/support/ModalRunners.h"
#include "tests/support/PromptCapture.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/TempFolder.h"

namespace {

QStringList Texts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        texts.push_back(action->isSeparator() ? QStringLiteral("-") : action->text());
    }
    return texts;
}

std::vector<int> Commands(const QMenu* menu) {
    std::vector<int> commands;
    for (const QAction* action : menu->actions()) {
        commands.push_back(action->isSeparator() ? 0 : action->data().toInt());
    }
    return commands;
}

class RemoteProgramTest : public testing::Test {
  protected:
    RemoteProgramTest() {
        QString error;
        EXPECT_TRUE(InstallProgramFiles(root.Path().string(), error)) << error.toStdString();
    }
    ~RemoteProgramTest() override { program.reset(); }

    // Starts the program and waits for the remote screen; `answer` answers its dialogs.
    void Start(const char* chip = "pxa255", HardKeys* hardKeys = nullptr, const char* ir = "sim") {
        ProgramOptions options;
        options.root = QString::fromStdString(root.Path().string());
        options.chip = chip;
        options.ir = ir;
        options.scale = 1;
        options.interactive = false;
        program = std::make_unique<CRemoteProgram>(options, hardKeys, &modal);
        if (lircUsable) {
            program->lircUsable = lircUsable;
        }
        program->Show();
        ASSERT_TRUE(QTest::qWaitFor([this] { return program->View().Window() != nullptr; }));
        window = program->View().Window();
        QApplication::processEvents();
    }
    // Stands in for the LIRC devices, where set.
    std::function<bool(const std::string&, std::string&)> lircUsable;
    // Ends the program as "Exit" does.
    void Restart() {
        program->Frame().OnCommand(CMainFrame::kExit);
        program.reset();
        modal.dialogs.clear();
        modal.messages.clear();
        Start();
    }

    // A TV codebase with Power and Vol+ (told apart by their first mark), made hot.
    void MakeHotTvCodebase() {
        const QString path = "\\My Documents\\TV_Living.PDB";
        CCodebaseFile file(&program->Fs());
        ASSERT_TRUE(file.CreateCodebase(path));
        const std::vector<int32_t> power = {3000, -1000, 600, -600, 600, -30000};
        const std::vector<int32_t> volume = {9000, -4500, 560, -560, 560, -30000};
        file.StoreSignal(CCodebaseFile::DurationsToValues(power.data(), power.size()), 0, 26,
                         "Power", 1);
        file.StoreSignal(CCodebaseFile::DurationsToValues(volume.data(), volume.size()), 0, 26,
                         "Vol+", 1);
        file.Close();
        for (const int form : {0, 1}) {
            window->GetForm(form)->Slot().SetPath(path);
            window->GetForm(form)->RefreshButtons();
        }
    }
    // The first mark sent since the last call, 0 when nothing was sent.
    int32_t FirstMarkSent() {
        SimIrAir& air = program->Handheld().Air();
        const Demodulated sent = air.Demodulate();
        air.ClearEmissions();
        return sent.durations.empty() ? 0 : sent.durations.front();
    }
    void PressKey(Qt::Key key) {
        QTest::keyClick(&program->Frame(), key);
        QApplication::processEvents();
    }

    TempFolder root;
    CAnsweringModalRunner modal;
    std::unique_ptr<CRemoteProgram> program;
    CDUWnd* window = nullptr;
};

TEST_F(RemoteProgramTest, GreetingComesUntilItsBoxIsTicked) {
    struct Step {
        int answer;  // the greeting's result
        bool tick;   // the box ticked before leaving
        std::vector<QString> shown;
    };
    const Step steps[] = {
        {2, false, {"CGreetingDlg"}},
        {1, false, {"CGreetingDlg", "CHelpDlg"}},
        {2, true, {"CGreetingDlg"}},
        {2, false, {}},  // ticked last time: no greeting any more
    };
    for (const Step& step : steps) {
        std::vector<QString> shown;
        std::vector<int> topics;
        bool captureDuringGreeting = false;
        modal.onDialog = [&](QDialog& dialog) -> int {
            shown.push_back(dialog.metaObject()->className());
            if (auto* help = qobject_cast<CHelpDlg*>(&dialog)) {
                topics.push_back(help->Topic());
            }
            if (auto* greeting = qobject_cast<CGreetingDlg*>(&dialog)) {
                captureDuringGreeting = program->Model().KeyCapture();
                if (step.tick) {
                    greeting->PenDown(100, 304);  // the check box
                    greeting->PenUp();
                }
                return step.answer;
            }
            return kIdOk;
        };
        if (!program) {
            Start();
            program->View().Window()->SetKeyCapture(false);
        } else {
            Restart();
        }
        EXPECT_EQ(shown, step.shown) << step.answer << step.tick;
        if (!step.shown.empty()) {
            EXPECT_TRUE(captureDuringGreeting);
        }
        if (&step != &steps[0]) {
            // Taken for the greeting, then back to what the saved state said.
            EXPECT_FALSE(program->Model().KeyCapture());
        }
        EXPECT_EQ(topics, step.answer == 1 ? std::vector<int>{0} : std::vector<int>{});
    }
    EXPECT_TRUE(modal.messages.empty());
}

TEST_F(RemoteProgramTest, NoDriverMessageFollowsTheGreeting) {
    size_t messagesDuringGreeting = 99;
    modal.onDialog = [&](QDialog& dialog) -> int {
        if (qobject_cast<CGreetingDlg*>(&dialog)) {
            messagesDuringGreeting = modal.messages.size();
        }
        return kIdCancel;
    };
    Start("unknown");
    EXPECT_EQ(messagesDuringGreeting, 0u);
    ASSERT_EQ(modal.messages.size(), 1u);
    EXPECT_EQ(modal.messages[0].text,
              KeepAddressesWhole(QString::fromUtf8(LoadString(CRemoteView::kNoDriverString))));
    EXPECT_EQ(modal.messages[0].icon, MessageIcon::Exclamation);
}

// A new TV codebase made through Home Devices, learnt from the sample TV remote, then sent
// by tap and by hardware key; after a restart it is still the hot TV codebase.
TEST_F(RemoteProgramTest, HomeDevicesAddLearnAndSend) {
    Start();
    std::vector<QString> confirmations;
    int prompts = 0;
    modal.onDialog = [&confirmations, &prompts](QDialog& dialog) -> int {
        if (auto* code = qobject_cast<CAddByCodeDlg*>(&dialog)) {
            code->ProtocolList()->setCurrentText("NEC");
            code->AddressEdit()->setText("0x04");
            code->CommandEdit()->setText("0x0D");
            QTest::mouseClick(code->OkButton(), Qt::LeftButton);
        } else if (auto* home = qobject_cast<CHomeDevicesDlg*>(&dialog)) {
            QTest::mouseClick(home->CommandButton(CHomeDevicesDlg::kAddId), Qt::LeftButton);
        } else if (auto* codebase = qobject_cast<CCodebaseDlg*>(&dialog)) {
            codebase->CategoryList()->setCurrentIndex(kCategoryTv - 1);
            codebase->NameEdit()->setText("Living");
            QTest::mouseClick(codebase->OkButton(), Qt::LeftButton);
        } else if (qobject_cast<CLearnPromptDlg*>(&dialog)) {
            ++prompts;
            return LetPromptCapture(dialog);
        } else if (auto* confirm = qobject_cast<CConfirmDlg*>(&dialog)) {
            confirmations.push_back(confirm->ShownText());
            return kIdCancel;  // no buttons on the lower form: stop anyway
        } else {
            return kIdOk;
        }
        return dialog.result();
    };
    program->Frame().OnCommand(CMainFrame::kHomeDevices);
    ASSERT_EQ(window->CurrentForm(), 0);
    ASSERT_EQ(window->Current()->Learning(), 1);
    EXPECT_EQ(program->Frame().MenuNumber(), CMainFrame::kLearningMenu);

    auto tap = [this](const QString& name) {
        CSkinForm& form = *window->Current();
        for (int i = 0; i < form.ElementCount(); ++i) {
            const CRemoteButton& element = form.Element(i);
            if (element.name == name && element.GetKind() == kKindButton) {
                const QPoint at(element.left + element.width / 2, element.top + element.height / 2);
                window->repaint();
                QTest::mousePress(window, Qt::LeftButton, {}, at);
                QTest::mouseRelease(window, Qt::LeftButton, {}, at);
                QApplication::processEvents();
                window->repaint();
                return;
            }
        }
        ADD_FAILURE() << "no button " << name.toStdString();
    };
    for (const char* name : {"Power", "Vol+", "Vol-"}) {
        tap(name);
    }
    // Each learnt button was sent back into the handheld's own receiver and came back.
    ASSERT_EQ(confirmations.size(), 3u);
    for (const QString& text : confirmations) {
        EXPECT_TRUE(text.contains("\nLearnt: ")) << text.toStdString();
        EXPECT_TRUE(text.contains("\nChecked: the signal comes back as learnt."))
            << text.toStdString();
    }
    EXPECT_EQ(prompts, 3);
    // A button given by code: no read, and the next tap reads again.
    program->Frame().OnCommand(CMainFrame::kNextButtonByCode);
    tap("Ch+");
    EXPECT_EQ(prompts, 3) << "the code took the place of the read";
    ASSERT_EQ(confirmations.size(), 4u);
    EXPECT_TRUE(confirmations.back().contains("Checked: the signal comes back as learnt."))
        << confirmations.back().toStdString();
    EXPECT_FALSE(window->NextButtonByCode());
    program->Frame().OnCommand(CMainFrame::kStopLearning);
    EXPECT_EQ(window->Current()->Learning(), 0);
    EXPECT_EQ(program->Frame().MenuNumber(), CMainFrame::kNormalMenu);

    const QString path = program->Frame().Folders().defaultCodebaseFolder + "TV_Living.PDB";
    {
        CCodebaseFile file(&program->Fs());
        ASSERT_EQ(file.Open(path, CPdbFile::kModeRead), kPdbOk);
        EXPECT_EQ(file.GetName(), "TV_Living");
        for (const char* name : {"Power", "Vol+", "Vol-"}) {
            EXPECT_GE(file.FindButton(name), 0) << name;
        }
        EXPECT_LT(file.FindButton("Mute"), 0);
    }
    std::vector<ButtonCode> codes;
    DecodeButtons(program->Fs(), path, codes);
    const auto coded = std::find_if(codes.begin(), codes.end(),
                                    [](const ButtonCode& row) { return row.button == "Ch+"; });
    ASSERT_NE(coded, codes.end());
    ASSERT_NE(coded->protocol, nullptr);
    EXPECT_STREQ(coded->protocol->name, "NEC");
    EXPECT_EQ(coded->frame.code.address, 0x04u);
    EXPECT_EQ(coded->frame.code.command, 0x0Du);

    FirstMarkSent();
    tap("Power");
    EXPECT_GT(FirstMarkSent(), 0);
    window->SelectForm(4);  // the keys send from the TV codebase while DVD/CD is shown
    QApplication::processEvents();
    for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Left, Qt::Key_F6}) {
        PressKey(key);
        EXPECT_GT(FirstMarkSent(), 0) << key;
    }
    PressKey(Qt::Key_F5);  // "Mute" was not learnt
    EXPECT_EQ(FirstMarkSent(), 0);

    Restart();
    EXPECT_EQ(window->GetForm(0)->Slot().Path(), path);
    EXPECT_TRUE(window->GetForm(1)->Slot().IsValid());
}

TEST_F(RemoteProgramTest, NormalAndLearningMenus) {
    Start();
    CMainFrame& frame = program->Frame();
    ASSERT_EQ(frame.menuBar()->actions().size(), 2);
    QMenu* options = frame.FindMenu("Options");
    QMenu* preferences = frame.FindMenu("Preferences");
    ASSERT_TRUE(options && preferences);
    EXPECT_EQ(Texts(options),
              QStringList({"Home Devices", "Hard Buttons", "-", "Help", "About ...", "-", "Exit"}));
    EXPECT_EQ(Commands(options), (std::vector<int>{32839, 32802, 0, 32803, 57664, 0, 32840}));
    EXPECT_EQ(Texts(preferences), QStringList({"&IR Setup...", "Code collections…",
                                               QStringLiteral("Home automation\u2026"), "-", "Save",
                                               "Load", "-", "Use Sounds", "-"}));
    EXPECT_EQ(Commands(preferences),
              (std::vector<int>{32870, 32880, 32895, 0, 32846, 32847, 0, 32848, 0}));
    EXPECT_TRUE(frame.FindCommand(CMainFrame::kUseSounds)->isChecked());

    // Learning shows only "Stop Learning" and the code for the next button; stopping brings
    // the whole menu back, once.
    window->SetLearningMode(true);
    EXPECT_EQ(frame.MenuNumber(), CMainFrame::kLearningMenu);
    ASSERT_EQ(frame.menuBar()->actions().size(), 1);
    EXPECT_EQ(Texts(frame.FindMenu("Options")),
              QStringList({"Stop Learning", "Next Button by Code..."}));
    EXPECT_EQ(frame.FindCommand(CMainFrame::kHomeDevices), nullptr);
    // Asked whether to go on with the lower form: Cancel stops.
    modal.onDialog = [](QDialog&) { return kIdCancel; };
    frame.OnCommand(CMainFrame::kStopLearning);
    EXPECT_EQ(modal.dialogs.back(), "CConfirmDlg");
    EXPECT_EQ(frame.MenuNumber(), CMainFrame::kNormalMenu);
    EXPECT_EQ(frame.findChildren<QMenuBar*>().size(), 1);
    EXPECT_EQ(window->GetForm(0)->Learning(), 0);
}

TEST_F(RemoteProgramTest, UseSoundsTwiceComesBackToWhereItWas) {
    Start();
    CMainFrame& frame = program->Frame();
    QAction* sounds = frame.FindCommand(CMainFrame::kUseSounds);
    frame.OnCommand(CMainFrame::kUseSounds);
    EXPECT_FALSE(sounds->isChecked());
    EXPECT_FALSE(program->Model().SoundsOn());
    frame.OnCommand(CMainFrame::kUseSounds);
    EXPECT_TRUE(sounds->isChecked());
    EXPECT_TRUE(program->Model().SoundsOn());
    // A rebuilt menu takes the mark from the window.
    window->SetSounds(false);
    frame.RebuildMenuBar(CMainFrame::kNormalMenu);
    EXPECT_FALSE(frame.FindCommand(CMainFrame::kUseSounds)->isChecked());
}

TEST_F(RemoteProgramTest, PreferenceSetEntriesFollowTheSeparatorAfterUseSounds) {
    Start();
    CMainFrame& frame = program->Frame();
    frame.SetPreferenceEntries({"Evening", "Kids"}, {20000, 20001});
    QMenu* preferences = frame.FindMenu("Preferences");
    EXPECT_EQ(Texts(preferences).mid(7), QStringList({"Use Sounds", "-", "Evening", "Kids"}));
    EXPECT_EQ(Commands(preferences).back(), 20001);
    frame.SetPreferenceEntries({}, {});
    EXPECT_EQ(Texts(preferences).mid(7), QStringList({"Use Sounds", "-"}));
    // The window's used list reaches the menu, names without their extension.
    program->Model().UsedList() = {"Evening.PDB", "Night"};
    window->RebuildPreferenceEntries();
    EXPECT_EQ(Texts(preferences).mid(9), QStringList({"Evening", "Night"}));
    EXPECT_EQ(Commands(preferences).back(), 20001);
}

TEST_F(RemoteProgramTest, SavedSetReachesTheMenuAndItsEntryAppliesIt) {
    Start();
    CMainFrame& frame = program->Frame();
    window->SelectForm(7);
    modal.onDialog = [](QDialog& dialog) -> int {
        if (auto* save = qobject_cast<CSavePreferenceDlg*>(&dialog)) {
            save->NameEdit()->setText("Evening");
            QTest::mouseClick(save->SaveButton(), Qt::LeftButton);
            return save->result();
        }
        return kIdOk;
    };
    frame.OnCommand(CMainFrame::kSave);
    EXPECT_EQ(modal.dialogs.back(), "CSavePreferenceDlg");
    QAction* entry = frame.FindCommand(CMainFrame::kFirstPreferenceSet);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->text(), "Evening");
    // The entry brings the saved form back, also from the menu after a restart.
    window->SelectForm(2);
    Restart();
    ASSERT_NE(program->Frame().FindCommand(CMainFrame::kFirstPreferenceSet), nullptr);
    program->Frame().FindCommand(CMainFrame::kFirstPreferenceSet)->trigger();
    EXPECT_EQ(window->CurrentForm(), 7);
    // An entry beyond the list does nothing.
    window->SelectForm(3);
    program->Frame().OnCommand(CMainFrame::kFirstPreferenceSet + 1);
    EXPECT_EQ(window->CurrentForm(), 3);
}

TEST_F(RemoteProgramTest, HardButtonsFromTheMenuGiveTheKeysBack) {
    Start();
    MakeHotTvCodebase();
    modal.onDialog = [](QDialog& dialog) -> int {
        if (auto* keys = qobject_cast<CHardButtonsDlg*>(&dialog)) {
            QTest::mouseClick(keys->RestoreSystemButton(), Qt::LeftButton);
            QTest::mouseClick(keys->OkButton(), Qt::LeftButton);
            return dialog.result();
        }
        return kIdOk;
    };
    program->Frame().OnCommand(CMainFrame::kHardButtons);
    EXPECT_EQ(modal.dialogs.back(), "CHardButtonsDlg");
    EXPECT_FALSE(program->Model().KeyCapture());
    QApplication::processEvents();
    PressKey(Qt::Key_Right);
    EXPECT_EQ(FirstMarkSent(), 0);
    // Kept over a restart.
    Restart();
    EXPECT_FALSE(program->Model().KeyCapture());
    HardKeyAssignment key;
    ASSERT_TRUE(program->Model().GetKeyAssignment(5, key));
    EXPECT_FALSE(key.used);
}

TEST_F(RemoteProgramTest, ActivationAndKeysCloseTheSelector) {
    Start();
    MakeHotTvCodebase();
    for (const bool byKey : {false, true}) {
        window->OpenSelector();
        ASSERT_TRUE(window->Selector()->isVisible());
        if (byKey) {
            PressKey(Qt::Key_F7);  // a key of no slot still closes it
        } else {
            QEvent activation(QEvent::ActivationChange);
            QApplication::sendEvent(&program->Frame(), &activation);
        }
        EXPECT_FALSE(window->Selector()->isVisible()) << byKey;
    }
}

TEST_F(RemoteProgramTest, HelpCommandsAndAbout) {
    Start();
    std::vector<int> topics;
    modal.onDialog = [&](QDialog& dialog) {
        if (auto* help = qobject_cast<CHelpDlg*>(&dialog)) {
            topics.push_back(help->Topic());
        }
        return kIdOk;
    };
    program->Frame().OnCommand(CMainFrame::kHelp);
    program->Frame().OnCommand(CMainFrame::kStandardHelp);
    program->Frame().OnCommand(CMainFrame::kAbout);
    EXPECT_EQ(topics, (std::vector<int>{0, 0}));
    EXPECT_EQ(modal.dialogs.back(), "CAboutDlg");
}

TEST_F(RemoteProgramTest, ExitAndItsAliasSaveTheState) {
    for (const int command : {CMainFrame::kExit, CMainFrame::kExitAlias}) {
        Start();
        window->SelectForm(5);
        program->Frame().OnCommand(command);
        EXPECT_TRUE(program->Frame().ExitRequested());
        program.reset();
        Start();
        EXPECT_EQ(window->CurrentForm(), 5) << command;
        window->SelectForm(0);
        program->Frame().OnCommand(command);
        program.reset();
    }
}

// A skin file that cannot be found ends the program after its message, with the state
// saved but without the form that failed as the current one: once the file is back, the
// program starts where the user was before.
struct MissingSkinCase {
    const char* file;
    int goTo;       // the form chosen after start-up; -1: none (the start fails)
    int formAfter;  // the form shown at the next start
};

class MissingSkinTest : public RemoteProgramTest,
                        public testing::WithParamInterface<MissingSkinCase> {};

TEST_P(MissingSkinTest, EndsTheProgramAndTheNextStartWorks) {
    const std::filesystem::path skin =
        root.Path() / "Program Files" / "ArdelRemote" / "Skins" / GetParam().file;
    const std::filesystem::path aside = root.Path() / "aside";
    modal.onDialog = [](QDialog&) { return kIdCancel; };  // the greeting, when it comes
    Start();
    window->SelectForm(FirstFormOf(kCategoryDvdCd));
    program->Frame().OnCommand(CMainFrame::kExit);
    program.reset();
    modal.dialogs.clear();
    std::filesystem::rename(skin, aside);

    Start();
    if (GetParam().goTo >= 0) {
        EXPECT_TRUE(modal.messages.empty());
        modal.dialogs.clear();  // the greeting
        window->SelectForm(GetParam().goTo);
    }
    QApplication::processEvents();  // the queued close
    ASSERT_EQ(modal.messages.size(), 1u);
    EXPECT_EQ(
        modal.messages[0].text,
        "Cannot find skin-file \\Program Files\\ArdelRemote\\Skins\\" + QString(GetParam().file));
    EXPECT_TRUE(program->Frame().ExitRequested());
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(modal.dialogs.empty());  // nothing more was shown

    program.reset();
    modal.messages.clear();
    std::filesystem::rename(aside, skin);
    Start();
    EXPECT_TRUE(modal.messages.empty());
    EXPECT_EQ(window->CurrentForm(), GetParam().formAfter);
    EXPECT_FALSE(program->Frame().ExitRequested());
    // The category whose second form failed shows its first form again.
    window->SelectForm(0);
    window->SelectForm(FirstFormOf(kCategoryDvdCd) +
                       program->Model().RememberedForm(kCategoryDvdCd));
    EXPECT_EQ(window->CurrentForm(), FirstFormOf(kCategoryDvdCd));
}

INSTANTIATE_TEST_SUITE_P(Skins, MissingSkinTest,
                         testing::Values(MissingSkinCase{"DVDCD2_Pressed.gif",
                                                         SecondFormOf(kCategoryDvdCd),
                                                         FirstFormOf(kCategoryDvdCd)},
                                         MissingSkinCase{"SelCB_Pressed.bmp", -1, 0}),
                         [](const auto& info) {
                             return info.param.goTo >= 0 ? std::string("SecondDvdForm")
                                                         : std::string("AtStartUp");
                         });

// The IR in use shows in the title, IR Setup offers LIRC devices beside the serial ports,
// and a choice made once is kept for the next start.
TEST_F(RemoteProgramTest, TheIrInUseIsNamedChosenAndKept) {
    lircUsable = [](const std::string&, std::string&) { return true; };
    Start();
    EXPECT_EQ(program->Frame().windowTitle(), "ArdelRemote (simulated pxa255)");
    program->Frame().OnCommand(CMainFrame::kExit);
    program.reset();

    Start("pxa255", nullptr, "lirc:/dev/lirc7,/dev/lirc8");
    EXPECT_EQ(program->Model().IrPort(), "lirc:/dev/lirc7,/dev/lirc8");
    EXPECT_EQ(program->Frame().windowTitle(), "ArdelRemote (LIRC /dev/lirc7, /dev/lirc8)");
    program->Frame().OnCommand(CMainFrame::kExit);
    program.reset();

    // Without --ir the saved choice stands.
    Start("pxa255", nullptr, "");
    EXPECT_EQ(program->Model().IrPort(), "lirc:/dev/lirc7,/dev/lirc8");

    // IR Setup lists the LIRC devices found after the serial ports; choosing a serial port
    // goes back to the simulated handheld.
    program->Frame().lircEntries = [] {
        return std::vector<std::string>{"lirc:/dev/lirc0 gpio_ir_tx: send"};
    };
    QStringList entries;
    modal.onDialog = [&](QDialog& dialog) {
        auto& setup = static_cast<CIrSetupDlg&>(dialog);
        for (int i = 0; i < setup.List()->count(); ++i) {
            entries << setup.List()->item(i)->text();
        }
        setup.List()->setCurrentRow(0);
        QTest::mouseClick(setup.findChild<QPushButton*>("1"), Qt::LeftButton);
        return dialog.result();
    };
    program->Frame().OnCommand(CMainFrame::kIrSetup);
    ASSERT_FALSE(entries.isEmpty());
    // The devices found, then the pair in use, which no entry of its own lists.
    ASSERT_GE(entries.size(), 2);
    EXPECT_EQ(entries[entries.size() - 2], "lirc:/dev/lirc0 gpio_ir_tx: send");
    EXPECT_EQ(entries.back(), "lirc:/dev/lirc7,/dev/lirc8 (in use)");
    EXPECT_FALSE(program->Model().IrPort().starts_with("lirc:"));
    EXPECT_EQ(program->Frame().windowTitle(), "ArdelRemote (simulated pxa255)");
}

// A LIRC device that cannot be used at start, chosen on the command line or saved, is
// neither used in silence nor kept: the user is told once, the simulated handheld takes over
// (the title and IR Setup say so), and the next plain start does not come back to it.
TEST_F(RemoteProgramTest, UnusableLircDeviceIsToldAndNotKept) {
    lircUsable = [](const std::string& port, std::string& why) {
        why = "No such file or directory";
        return port.find("/dev/lirc7") == std::string::npos;
    };
    Start("pxa255", nullptr, "lirc:/dev/lirc7");
    ASSERT_EQ(modal.messages.size(), 1u);
    EXPECT_EQ(modal.messages[0].text,
              StringText(kStrLircUnusable, {"/dev/lirc7", "No such file or directory"}));
    EXPECT_FALSE(program->Model().IrPort().starts_with("lirc:"));
    EXPECT_EQ(program->Frame().windowTitle(), "ArdelRemote (simulated pxa255)");
    modal.messages.clear();
    program->Frame().OnCommand(CMainFrame::kExit);
    program.reset();
    Start("pxa255", nullptr, "");
    EXPECT_TRUE(modal.messages.empty());
    EXPECT_FALSE(program->Model().IrPort().starts_with("lirc:"));
}

// "--ir lirc" where no LIRC device can send runs the simulated handheld and says so, once.
TEST_F(RemoteProgramTest, LircAskedForWithoutDevicesIsToldOnce) {
    HostLircDevice probe;
    IrChoice found;
    QString error;
    if (ChooseIr("lirc", "pxa255", probe, LircRoots{}, found, error)) {
        GTEST_SKIP() << "this machine has a LIRC device that can send";
    }
    Start("pxa255", nullptr, "lirc");
    ASSERT_EQ(modal.messages.size(), 1u);
    EXPECT_EQ(modal.messages[0].text, StringText(kStrNoLircFound));
    EXPECT_EQ(program->Frame().windowTitle(), "ArdelRemote (simulated pxa255)");
    modal.messages.clear();
    program->Frame().OnCommand(CMainFrame::kHelp);
    EXPECT_TRUE(modal.messages.empty());
}

TEST_F(RemoteProgramTest, HandheldWithoutDriverIsToldOnceAfterStartUp) {
    Start("unknown");
    std::vector<QString> texts;
    for (const auto& message : modal.messages) {
        texts.push_back(message.text);
    }
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0],
              KeepAddressesWhole(QString::fromUtf8(LoadString(CRemoteView::kNoDriverString))));
    EXPECT_TRUE(texts[0].endsWith('.'));
    EXPECT_EQ(modal.messages[0].title, "ArdelRemote");
}

TEST_F(RemoteProgramTest, HardwareKeySendsItsButtonThroughItsOwnCategory) {
    Start();
    MakeHotTvCodebase();
    window->SelectForm(4);  // DVD/CD
    QApplication::processEvents();
    FirstMarkSent();
    PressKey(Qt::Key_Right);  // "Right": TV "Vol+"
    EXPECT_NEAR(FirstMarkSent(), 9000, 27);
    EXPECT_EQ(window->CurrentForm(), 4);
    PressKey(Qt::Key_F6);  // "Button 2": TV "Power"
    EXPECT_NEAR(FirstMarkSent(), 3000, 27);
    PressKey(Qt::Key_F5);  // "Button 1": TV "Mute", never learnt
    EXPECT_EQ(FirstMarkSent(), 0);
}

TEST_F(RemoteProgramTest, KeysThatSendNothing) {
    Start();
    MakeHotTvCodebase();
    // A slot not in use, even with a valid button.
    program->Model().SetKeyAssignment(5, false, 0, 17);
    PressKey(Qt::Key_Right);
    EXPECT_EQ(FirstMarkSent(), 0);
    // A slot in use without a form.
    program->Model().SetKeyAssignment(5, true, -1, -1);
    PressKey(Qt::Key_Right);
    EXPECT_EQ(FirstMarkSent(), 0);
    // Capture off: nothing is queued at all.
    program->Model().SetKeyAssignment(5, true, 0, 17);
    window->SetKeyCapture(false);
    QTest::keyClick(&program->Frame(), Qt::Key_Right);
    EXPECT_EQ(window->QueuedKeyCount(), 0);
    QApplication::processEvents();
    EXPECT_EQ(FirstMarkSent(), 0);
    window->SetKeyCapture(true);
    PressKey(Qt::Key_Right);
    EXPECT_NEAR(FirstMarkSent(), 9000, 27);
}

TEST_F(RemoteProgramTest, SecondKeyBeforeTheFirstIsHandledIsDropped) {
    Start();
    MakeHotTvCodebase();
    QTest::keyPress(&program->Frame(), Qt::Key_Right);
    QTest::keyPress(&program->Frame(), Qt::Key_F6);
    EXPECT_EQ(window->QueuedKeyCount(), 1);
    QApplication::processEvents();
    EXPECT_NEAR(FirstMarkSent(), 9000, 27);
    EXPECT_EQ(window->QueuedKeyCount(), 0);
}

TEST_F(RemoteProgramTest, HardKeyServiceFailuresAreToldOnce) {
    CRecordingHardKeys failing;
    Start("pxa255", &failing);
    failing.openSucceeds = false;
    failing.closeSucceeds = false;
    modal.messages.clear();
    program->Frame().CheckHardKeys();
    ASSERT_EQ(modal.messages.size(), 2u);
    EXPECT_EQ(modal.messages[0].text, "Error Open Hard Keys");
    EXPECT_EQ(modal.messages[1].text, "Error Close Hard Keys");
    // Capture is applied on every paint; a failure that stays is told once.
    modal.messages.clear();
    const int opens = failing.opens;
    for (int i = 0; i < 3; ++i) {
        window->repaint();
    }
    EXPECT_EQ(failing.opens, opens + 3);
    EXPECT_EQ(modal.messages.size(), 1u);
    EXPECT_TRUE(program->Model().KeyCapture());
}

TEST(ProgramOptionsTest, CommandLine) {
    struct Case {
        QStringList args;
        bool ok;
        bool help;
        bool version;
        QString chip;
        int scale;  // 0: chosen from the screen
        QString root;
    };
    const Case cases[] = {
        {{}, true, false, false, "pxa255", 0, "default"},
        {{"--chip", "s3c2440", "--scale", "3", "--root", "/tmp/x"},
         true,
         false,
         false,
         "s3c2440",
         3,
         "/tmp/x"},
        {{"--help"}, true, true, false, "pxa255", 0, "default"},
        {{"--scale", "2", "--version"}, true, false, true, "pxa255", 2, "default"},
        {{"--chip", "pentium"}, false, false, false, "pxa255", 0, "default"},
        {{"--scale", "0"}, false, false, false, "pxa255", 0, "default"},
        {{"--scale", "9"}, false, false, false, "pxa255", 0, "default"},
        {{"--scale", "two"}, false, false, false, "pxa255", 0, "default"},
        {{"--root"}, false, false, false, "pxa255", 0, "default"},
        {{"--learn", "TV"}, false, false, false, "pxa255", 0, "default"},
        {{"--ir", "lirc:/dev/lirc0,/dev/lirc1"}, true, false, false, "pxa255", 0, "default"},
        {{"--ir", "usb"}, false, false, false, "pxa255", 0, "default"},
        {{"--ir"}, false, false, false, "pxa255", 0, "default"},
        {{"--serve", "--mqtt", "mqtt://broker.lan", "--node-id", "den"},
         true,
         false,
         false,
         "pxa255",
         0,
         "default"},
        {{"--mqtt", "mqtt://broker.lan"}, false, false, false, "pxa255", 0, "default"},
        {{"--serve", "--mqtt", "http://broker.lan"}, false, false, false, "pxa255", 0, "default"},
        {{"--serve", "--mqtt", "mqtt://b", "--node-id", "a/b"},
         false,
         false,
         false,
         "pxa255",
         0,
         "default"},
        {{"--serve", "--mqtt", "mqtt://b", "--ha-prefix", "ha/#"},
         false,
         false,
         false,
         "pxa255",
         0,
         "default"},
    };
    for (const Case& c : cases) {
        ProgramOptions options;
        options.root = "default";
        bool help = false;
        QString error;
        const bool ok = ParseProgramOptions(c.args, options, help, error);
        const std::string line = c.args.join(' ').toStdString();
        EXPECT_EQ(ok, c.ok) << line;
        EXPECT_EQ(ok, error.isEmpty()) << line;
        EXPECT_EQ(help, c.help) << line;
        EXPECT_EQ(options.version, c.version) << line;
        EXPECT_EQ(options.chip, c.chip) << line;
        EXPECT_EQ(options.scale, c.scale) << line;
        EXPECT_EQ(options.root, c.root) << line;
    }
}

TEST(InstallProgramFilesTest, FirstStartFillsTheFoldersLaterStartsKeepThem) {
    TempFolder root;
    QString error;
    ASSERT_TRUE(InstallProgramFiles(root.Path().string(), error));
    const std::filesystem::path program = root.Path() / "Program Files" / "ArdelRemote";
    EXPECT_TRUE(std::filesystem::exists(program / "Skins" / "TV1_Back.gif"));
    EXPECT_TRUE(std::filesystem::exists(program / "Skins" / "Greeting_Activ.png"));
    EXPECT_TRUE(std::filesystem::exists(program / "Sounds" / "click.wav"));
    EXPECT_TRUE(std::filesystem::is_directory(root.Path() / "My Documents"));
    // A sound the user replaced stays theirs.
    std::ofstream(program / "Sounds" / "click.wav") << "mine";
    ASSERT_TRUE(InstallProgramFiles(root.Path().string(), error));
    EXPECT_EQ(std::filesystem::file_size(program / "Sounds" / "click.wav"), 4u);
}

}  // namespace
