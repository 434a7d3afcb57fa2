#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <cmath>

#include "ir/IrFactory.h"
#include "ir/protocols/IrProtocol.h"
#include "model/CRemoteModel.h"
#include "platform/Sound.h"
#include "platform/host/HostHandheldFs.h"
#include "platform/sim/SimHandheld.h"
#include "platform/sim/SimRemotes.h"
#include "remote/ButtonLearning.h"
#include "remote/CCodebaseSlot.h"
#include "remote/CConfirmDlg.h"
#include "remote/CHandheldRemoteFiles.h"
#include "remote/CLearnPromptDlg.h"
#include "remote/CSkinElement.h"
#include "remote/RemoteFiles.h"
#include "resources/Strings.h"
#include "store/CCodebaseFile.h"
#include "store/FormTables.h"
#include "tests/support/ModalRunners.h"
#include "tests/support/PromptCapture.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/TempFolder.h"

namespace {

// A driver that answers from a script and remembers what it was asked. Each successful
// capture gives a signal of its own: the first mark grows by 100 us per capture.
class ScriptedDriver : public CIrDriver {
  public:
    using CIrDriver::CIrDriver;

    void ClosePort() override { calls.push_back("ClosePort"); }
    int OpenPort() override {
        calls.push_back("OpenPort");
        return 0;
    }
    int LoadSignal(const int32_t* durations, uint16_t count, uint16_t, uint8_t) override {
        calls.push_back("LoadSignal " + GetPortName());
        loaded.assign(durations, durations + count);
        return loadResult;
    }
    int Send(uint16_t) override {
        calls.push_back("Send");
        return 0;
    }
    int Capture() override {
        calls.push_back("Capture " + GetPortName());
        const size_t n = captures++;
        const int result = n < captureResults.size() ? captureResults[n] : 0;
        if (result == 0 && !learnt.empty()) {
            ::SetSignal(signal, learnt.data(), static_cast<uint8_t>(learnt.size()), 0, 26);
            signal.frameStart = signal.count;  // no repeating frame
            lastCaptureFull = full;
        } else if (result == 0) {
            const int32_t durations[] = {
                900 + 100 * static_cast<int32_t>(n), -450, 560, -1690, 560, -40000};
            ::SetSignal(signal, durations, 6, 0, 26);
        }
        return result;
    }

    std::string FaultGroup() const override { return group; }

    std::vector<std::string> calls;
    std::vector<int> captureResults;
    std::string group = "plugdev";  // the group a denied device belongs to
    int loadResult = 0;
    size_t captures = 0;
    std::vector<int32_t> learnt;  // what every capture learns instead, with no frame found
    bool full = false;            // and whether its capture filled the buffer
    std::vector<int32_t> loaded;
};

const QString kTvSony = "\\My Documents\\TV_Sony.PDB";
const QString kNotSelected = "Com port is not selected!";

class ButtonIrTest : public testing::Test {
  protected:
    ButtonIrTest() {
        std::filesystem::create_directories(root_.Path() / "My Documents");
        RemoteServices services;
        services.fs = &device_;
        services.sound = &sound_;
        services.driver = [this] { return &driver_; };
        model_ = std::make_unique<CRemoteModel>(services);
        model_->SetIrPort("COM3:");
        slot_.SetPath(kTvSony);
        button_.name = "Power";
        button_.slot = &slot_;
        modal_.onDialog = [this](QDialog& dialog) { return Answer(dialog); };
    }

    // Taps the button once, as the window does.
    bool PressOnce(CRemoteButton& button, CRemoteModel& model) {
        return Press(button, model, modal_, PressSource::Pen, {});
    }

    // Learns with the remote's sounds switched as given.
    bool LearnButton(CRemoteButton& button, int learnMode, bool soundsOn) {
        model_->SetSounds(soundsOn);
        return Learn(button, *model_, modal_, learnMode, false);
    }

    int Answer(QDialog& dialog) {
        if (qobject_cast<CLearnPromptDlg*>(&dialog)) {
            // The prompt reads by itself once it is up; it closes when the read ends.
            return LetPromptCapture(dialog);
        }
        if (auto* confirm = qobject_cast<CConfirmDlg*>(&dialog)) {
            confirmTexts_.push_back(confirm->ShownText());
            // The text fits its label, and the buttons lie below it.
            EXPECT_GE(confirm->Text()->height(),
                      confirm->Text()->heightForWidth(confirm->Text()->width()));
            EXPECT_GE(confirm->ContinueButton()->y(), confirm->Text()->geometry().bottom());
            EXPECT_LE(confirm->ContinueButton()->geometry().bottom(), confirm->height());
            return confirmAnswer_;
        }
        return kIdOk;
    }

    std::vector<QString> Messages() const {
        std::vector<QString> texts;
        for (const auto& message : modal_.messages) {
            texts.push_back(message.text);
        }
        return texts;
    }

    // The durations of signal `number` of a button as the codebase holds them.
    std::vector<int32_t> Stored(const QString& path, const QString& name, int number) {
        CCodebaseFile file(&device_);
        std::vector<int32_t> durations;
        uint16_t count = 0, frameStart = 0;
        uint8_t carrier = 0;
        if (file.Open(path, CPdbFile::kModeRead) == kPdbOk) {
            file.ReadSignal(file.FindButton(name), number, durations, count, frameStart, carrier);
        }
        return durations;
    }

    // A codebase at `path` with `names` learnt, each with the signal `durations`.
    void MakeCodebase(const QString& path, const std::vector<QString>& names,
                      const std::vector<int32_t>& durations) {
        CCodebaseFile file(&device_);
        ASSERT_TRUE(file.CreateCodebase(path));
        for (const QString& name : names) {
            ASSERT_TRUE(file.StoreSignal(
                CCodebaseFile::DurationsToValues(durations.data(), durations.size()), 0, 26,
                ToFileBytes(name), 1));
        }
    }

    TempFolder root_;
    HostHandheldFs device_{root_.Path().string()};
    SimHandheld handheld_{*FindSimProfile("pxa255")};
    ScriptedDriver driver_{handheld_};
    CRecordingSound sound_;
    std::unique_ptr<CRemoteModel> model_;
    CHandheldRemoteFiles files_{device_};
    CCodebaseSlot slot_{FormSlotId(0), &files_};
    CRemoteButton button_;
    CAnsweringModalRunner modal_;
    int confirmAnswer_ = kIdOk;
    std::vector<QString> confirmTexts_;
};

TEST_F(ButtonIrTest, FirstLearntButtonCreatesTheCodebaseThenButtonsAreAppended) {
    CRecordingSound& sound = sound_;
    std::vector<std::pair<QString, int>> told;
    model_->beforeCapture = [&](const QString& name, int category) {
        EXPECT_EQ(driver_.captures, told.size()) << "the hook comes before the capture";
        told.emplace_back(name, category);
        // The prompt is on the screen, with its texts, while the driver waits (the hook runs
        // on the model's IR worker, the widgets are looked at on their own thread).
        bool promptShown = false;
        QMetaObject::invokeMethod(
            qApp,
            [&] {
                for (QWidget* window : QApplication::topLevelWidgets()) {
                    if (auto* prompt = qobject_cast<CLearnPromptDlg*>(window)) {
                        promptShown =
                            prompt->isVisible() && prompt->Text(1) == "of the button " + name;
                    }
                }
            },
            Qt::BlockingQueuedConnection);
        EXPECT_TRUE(promptShown);
    };

    ASSERT_TRUE(LearnButton(button_, 0, true));
    EXPECT_TRUE(button_.hasSignal);
    EXPECT_TRUE(slot_.IsValid());
    EXPECT_EQ(slot_.DisplayName(), "Sony");
    EXPECT_EQ(driver_.calls, (std::vector<std::string>{"Capture COM3:", "ClosePort"}));
    EXPECT_EQ(sound.events.size(), 1u);
    EXPECT_EQ(told, (std::vector<std::pair<QString, int>>{{"Power", kCategoryTv}}));

    CRemoteButton mute;
    mute.name = "Mute";
    mute.slot = &slot_;
    ASSERT_TRUE(LearnButton(mute, 0, false));
    EXPECT_EQ(sound.events.size(), 1u) << "no beep with sounds off";

    CCodebaseFile file(&device_);
    ASSERT_EQ(file.Open(kTvSony, CPdbFile::kModeRead), kPdbOk);
    EXPECT_TRUE(file.IsCodebase());
    EXPECT_EQ(file.GetRecordCount(), 3);
    EXPECT_EQ(file.FindButton("Power"), 1);
    EXPECT_EQ(file.FindButton("Mute"), 2);
    file.Close();
    EXPECT_EQ(Stored(kTvSony, "Power", 1).front(), 900);
    EXPECT_EQ(Stored(kTvSony, "Mute", 1).front(), 1000);
}

TEST_F(ButtonIrTest, DoubleModeStoresBothReadsInOrder) {
    ASSERT_TRUE(LearnButton(button_, 1, false));
    EXPECT_EQ(modal_.dialogs, (std::vector<QString>{"CLearnPromptDlg", "CConfirmDlg",
                                                    "CLearnPromptDlg", "CConfirmDlg"}));
    EXPECT_EQ(Stored(kTvSony, "Power", 1).front(), 900);
    EXPECT_EQ(Stored(kTvSony, "Power", 2).front(), 1000);
    // The last confirmation tells what each read learnt; this driver cannot hear itself.
    ASSERT_EQ(confirmTexts_.size(), 2u);
    EXPECT_EQ(confirmTexts_[1],
              "Power: no protocol recognised\n"
              "Signal 1: 6 entries, repeating frame found, carrier 38 kHz.\n"
              "Not checked: the receiver cannot hear the emitter.\n"
              "Signal 2: 6 entries, repeating frame found, carrier 38 kHz.\n"
              "Not checked: the receiver cannot hear the emitter.\n"
              "The two signals differ.");
}

// A toggle button learnt once is told to have its other toggle as signal 2; a capture that
// filled the buffer without a repeating frame is refused with a message, and nothing is stored.
TEST_F(ButtonIrTest, TheConfirmationTellsOfTheToggleAndACutSignalIsRefused) {
    IrEncoded rc5;
    ASSERT_EQ(EncodeIrSignal(*FindIrProtocol("RC5"), {0, 12, 0}, rc5), kIrCodeOk);
    driver_.learnt = rc5.durations;
    ASSERT_TRUE(LearnButton(button_, 0, false));
    ASSERT_EQ(confirmTexts_.size(), 1u);
    EXPECT_TRUE(confirmTexts_[0].startsWith(
        QString("Power: RC5 0x0/0xC\nLearnt: %1 entries, no repeating frame, carrier 38 kHz.")
            .arg(rc5.durations.size())))
        << confirmTexts_[0].toStdString();
    EXPECT_TRUE(
        confirmTexts_[0].endsWith("signal 2 was stored with the other toggle, so that "
                                  "presses alternate as on the remote."))
        << confirmTexts_[0].toStdString();
    EXPECT_FALSE(Stored(kTvSony, "Power", 2).empty());

    CRemoteButton cool;
    cool.name = "Cool";
    cool.slot = &slot_;
    driver_.learnt.assign(kMaxDurations - 1, 500);
    for (size_t k = 1; k < driver_.learnt.size(); k += 2) {
        driver_.learnt[k] = -700;
    }
    driver_.full = true;
    EXPECT_FALSE(LearnButton(cool, 0, false));
    EXPECT_EQ(Messages(),
              (std::vector<QString>{
                  "The signal is longer than a learnt signal can hold (1024 entries) and has no "
                  "repeating frame: only its beginning was heard, so it was not stored."}));
    EXPECT_TRUE(Stored(kTvSony, "Cool", 1).empty());
    EXPECT_EQ(confirmTexts_.size(), 1u);
}

TEST_F(ButtonIrTest, CancelInTheConfirmationStoresNothing) {
    confirmAnswer_ = kIdCancel;
    EXPECT_FALSE(LearnButton(button_, 1, false));
    EXPECT_EQ(modal_.dialogs, (std::vector<QString>{"CLearnPromptDlg", "CConfirmDlg"}));
    EXPECT_FALSE(device_.FileExists(kTvSony.toStdString()));
    EXPECT_FALSE(button_.hasSignal);
}

TEST_F(ButtonIrTest, RelearningInSingleModeDropsAnEarlierSecondSignal) {
    ASSERT_TRUE(LearnButton(button_, 1, false));
    ASSERT_TRUE(LearnButton(button_, 0, false));
    EXPECT_EQ(Stored(kTvSony, "Power", 1).front(), 1100);
    // Without a signal 2 the button sends its one signal on every press.
    EXPECT_EQ(Stored(kTvSony, "Power", 2).front(), 1100);
}

TEST_F(ButtonIrTest, UnknownLearnModeDoesNothing) {
    EXPECT_FALSE(LearnButton(button_, 2, false));
    EXPECT_TRUE(modal_.dialogs.empty());
    EXPECT_TRUE(driver_.calls.empty());
}

struct CaptureCase {
    int result;
    const char* message;  // null: ends silently
};

class CaptureFailure : public ButtonIrTest, public testing::WithParamInterface<CaptureCase> {};

TEST_P(CaptureFailure, EndsLearningWithItsMessageAndStoresNothing) {
    driver_.captureResults = {GetParam().result};
    EXPECT_FALSE(LearnButton(button_, 1, false));
    EXPECT_EQ(modal_.dialogs, std::vector<QString>{"CLearnPromptDlg"});
    EXPECT_EQ(Messages(), GetParam().message ? std::vector<QString>{GetParam().message}
                                             : std::vector<QString>{});
    EXPECT_EQ(driver_.calls, (std::vector<std::string>{"Capture COM3:", "ClosePort"}));
    EXPECT_FALSE(device_.FileExists(kTvSony.toStdString()));
}

INSTANTIATE_TEST_SUITE_P(
    Results, CaptureFailure,
    testing::Values(
        // A read that heard nothing says so, and how to go on.
        CaptureCase{17,
                    "No IR signal arrived in the learning time.\nNothing was received from the "
                    "remote. Point it at the handheld's IR port from close by, then tap the "
                    "button on the screen again and hold the remote's button until the beep; or "
                    "choose Code... to give the button's code."},
        CaptureCase{5, "ArdelRemote faced a problem while receiving signal, please try again (5)"},
        CaptureCase{6, "ArdelRemote faced a problem while receiving signal, please try again (6)"},
        CaptureCase{13,
                    "COM3: port is busy. Please try another port using Preferences/IR "
                    "Setup dialog."},
        CaptureCase{304, "Com port is not selected!"},
        CaptureCase{301,
                    "Internal IR driver error 301. Please write to " ARDEL_SUPPORT_ADDRESS "."},
        // The LIRC faults name the device, as ardelctl words them.
        CaptureCase{401, "There is no IR device 'COM3:'."},
        CaptureCase{402,
                    "No permission to use the IR device 'COM3:'. Add your user to the "
                    "group 'plugdev' that owns it, then log in again."},
        CaptureCase{403, "The IR device 'COM3:' is busy: another program is using it."},
        CaptureCase{404, "The IR device 'COM3:' cannot send signals."},
        CaptureCase{405, "The IR device 'COM3:' cannot learn signals."},
        CaptureCase{406, "The IR device 'COM3:' went away (unplugged?)."},
        CaptureCase{407, "The IR device 'COM3:' refused the request."},
        CaptureCase{408, "The IR receiver 'COM3:' lost part of the signal. Please try again."},
        CaptureCase{409, "The IR device 'COM3:' cannot send this signal."},
        CaptureCase{410, "The IR device 'COM3:' failed."}),
    [](const testing::TestParamInfo<CaptureCase>& info) {
        return "Code" + std::to_string(info.param.result);
    });

class NoPortSelected : public ButtonIrTest, public testing::WithParamInterface<const char*> {};

TEST_P(NoPortSelected, NeitherLearnsNorSendsAndAsksTheDriverNothingElse) {
    MakeCodebase(kTvSony, {"Power"}, {900, -450, 560, -40000});
    model_->SetIrPort(GetParam());

    EXPECT_FALSE(LearnButton(button_, 0, false));
    EXPECT_TRUE(driver_.calls.empty());
    EXPECT_FALSE(PressOnce(button_, *model_));
    EXPECT_EQ(driver_.calls, std::vector<std::string>{"ClosePort"});
    EXPECT_TRUE(driver_.GetPortName().empty());
    EXPECT_EQ(Messages(), (std::vector<QString>{kNotSelected, kNotSelected}));
}

INSTANTIATE_TEST_SUITE_P(Ports, NoPortSelected, testing::Values("COM0", ""),
                         [](const testing::TestParamInfo<const char*>& info) {
                             return *info.param ? std::string(info.param) : std::string("Empty");
                         });

TEST_F(ButtonIrTest, CodebaseThatCannotBeMadeIsReported) {
    slot_.SetPath("\\No Such Folder\\TV_Sony.PDB");
    EXPECT_FALSE(LearnButton(button_, 0, false));
    EXPECT_EQ(Messages(), std::vector<QString>{
                              "Failure on creating the file.\n '\\No Such Folder\\TV_Sony.PDB'"});
    EXPECT_FALSE(button_.hasSignal);
}

TEST_F(ButtonIrTest, FileThatIsNoCodebaseIsNeitherReplacedNorWrittenInto) {
    {
        CPdbFile other(&device_);
        ASSERT_EQ(other.Create(kTvSony), kPdbOk);
        const uint8_t record[] = {1, 2, 3, 4};
        ASSERT_EQ(other.AppendRecord(record, sizeof record), 0);
    }
    const std::vector<uint8_t> before = ReadHostFile(root_ / "My Documents/TV_Sony.PDB");
    EXPECT_FALSE(LearnButton(button_, 0, false));
    EXPECT_EQ(Messages(),
              std::vector<QString>{"Failure on creating the file.\n '" + kTvSony + "'"});
    EXPECT_EQ(ReadHostFile(root_ / "My Documents/TV_Sony.PDB"), before);
}

TEST_F(ButtonIrTest, SendTakesTheButtonsSignalFromTheHotCodebaseOnly) {
    const std::vector<int32_t> power = {2400, -600, 1200, -600, 600, -25000};
    MakeCodebase(kTvSony, {"Power"}, power);
    MakeCodebase("\\My Documents\\TV_Other.PDB", {"Mute"}, power);

    ASSERT_TRUE(PressOnce(button_, *model_));
    EXPECT_EQ(driver_.loaded, power);
    EXPECT_EQ(driver_.calls,
              (std::vector<std::string>{"ClosePort", "LoadSignal COM3:", "Send", "ClosePort"}));

    driver_.calls.clear();
    slot_.SetPath("\\My Documents\\TV_Other.PDB");
    EXPECT_FALSE(PressOnce(button_, *model_));
    EXPECT_EQ(button_.signal.count, 0);
    EXPECT_EQ(driver_.calls, std::vector<std::string>{"ClosePort"});
    EXPECT_TRUE(Messages().empty());
}

TEST_F(ButtonIrTest, SendOfTheSecondSignalAndOfAnOverlongRecord) {
    std::vector<int32_t> longSignal;
    for (int i = 0; i < kMaxDurations + 50; ++i) {
        longSignal.push_back(i % 2 ? -500 - i % 1000 : 500 + i % 1000);
    }
    {
        CCodebaseFile file(&device_);
        ASSERT_TRUE(file.CreateCodebase(kTvSony));
        const std::vector<int32_t> first = {900, -450, 560, -40000};
        ASSERT_TRUE(file.StoreSignal(CCodebaseFile::DurationsToValues(first.data(), first.size()),
                                     0, 26, "Power", 1));
        ASSERT_TRUE(
            file.StoreSignal(CCodebaseFile::DurationsToValues(longSignal.data(), longSignal.size()),
                             kMaxDurations + 40, 26, "Power", 2));
    }
    button_.whichSignal = 2;
    ASSERT_TRUE(PressOnce(button_, *model_));
    // A signal holds at most kMaxDurations durations; the rest of the record is not read past
    // it.
    EXPECT_EQ(driver_.loaded,
              std::vector<int32_t>(longSignal.begin(), longSignal.begin() + kMaxDurations));
    EXPECT_LT(button_.signal.frameStart, button_.signal.count);
}

struct LoadCase {
    int result;
    const char* message;
    bool closesAfter;
};

class LoadFailure : public ButtonIrTest, public testing::WithParamInterface<LoadCase> {};

TEST_P(LoadFailure, IsReportedAndNothingIsSent) {
    MakeCodebase(kTvSony, {"Power"}, {900, -450, 560, -40000});
    driver_.loadResult = GetParam().result;
    EXPECT_FALSE(PressOnce(button_, *model_));
    EXPECT_EQ(Messages(), std::vector<QString>{GetParam().message});
    std::vector<std::string> calls = {"ClosePort", "LoadSignal COM3:"};
    if (GetParam().closesAfter) {
        calls.push_back("ClosePort");
    }
    EXPECT_EQ(driver_.calls, calls);
}

INSTANTIATE_TEST_SUITE_P(
    Results, LoadFailure,
    testing::Values(
        LoadCase{13,
                 "COM3: port is busy. Please try another port using Preferences/IR Setup dialog.",
                 true},
        LoadCase{304, "Com port is not selected!", false},
        LoadCase{12, "Internal IR driver error 12. Please write to " ARDEL_SUPPORT_ADDRESS ".",
                 false}),
    [](const testing::TestParamInfo<LoadCase>& info) {
        return "Code" + std::to_string(info.param.result);
    });

// ---- the prompt and the confirmation on their own

struct PromptCase {
    int step;
    const char* title;
    bool onceAgain;
};

class PromptTexts : public testing::TestWithParam<PromptCase> {};

TEST_P(PromptTexts, FollowTheStep) {
    CAnsweringModalRunner modal;
    QStringList texts;
    modal.onDialog = [&](QDialog& dialog) {
        for (int i = 0; i < CLearnPromptDlg::kTextCount; ++i) {
            texts << static_cast<CLearnPromptDlg&>(dialog).Text(i);
        }
        return kIdCancel;
    };
    TempFolder root;
    HostHandheldFs files(root.Path().string());
    RemoteServices services;
    services.fs = &files;
    CRemoteModel model(services);
    CLearnPromptDlg prompt(nullptr);
    prompt.step = GetParam().step;
    prompt.name = "Vol+";
    modal.RunDialog(prompt);
    ASSERT_EQ(texts.size(), 5);
    EXPECT_EQ(texts[0], GetParam().title);
    EXPECT_EQ(texts[1], "of the button Vol+");
    EXPECT_EQ(texts[2].contains("\nONCE AGAIN\n"), GetParam().onceAgain);
    EXPECT_EQ(texts[3], "On hearing the beep,\nrelease the button on remote.");
    // Closed before it could capture: no result to act on.
    EXPECT_EQ(prompt.CaptureResult(), CLearnPromptDlg::kNotCaptured);
}

INSTANTIATE_TEST_SUITE_P(Steps, PromptTexts,
                         testing::Values(PromptCase{0, "READING IR SIGNAL", false},
                                         PromptCase{1, "READING THE FIRST IR SIGNAL", false},
                                         PromptCase{2, "READING THE SECOND IR SIGNAL", true}),
                         [](const testing::TestParamInfo<PromptCase>& info) {
                             return "Step" + std::to_string(info.param.step);
                         });

TEST(ConfirmDialog, AsksToContinueAndMayReadStopLearning) {
    CAnsweringModalRunner modal;
    QString text, cancel;
    modal.onDialog = [&](QDialog& dialog) {
        auto& confirm = static_cast<CConfirmDlg&>(dialog);
        text = confirm.ShownText();
        cancel = confirm.CancelButton()->text();
        QTest::mouseClick(confirm.CancelButton(), Qt::LeftButton);
        return dialog.result();
    };
    CConfirmDlg first;
    EXPECT_EQ(modal.RunDialog(first), kIdCancel);
    EXPECT_TRUE(
        text.startsWith("You've successfully read the first infrared signal of the button.\n"));
    EXPECT_EQ(cancel, "Cancel");

    CConfirmDlg stop;
    stop.stopLearningLabel = true;
    modal.onDialog = [&](QDialog& dialog) {
        cancel = static_cast<CConfirmDlg&>(dialog).CancelButton()->text();
        QTest::mouseClick(static_cast<CConfirmDlg&>(dialog).ContinueButton(), Qt::LeftButton);
        return dialog.result();
    };
    EXPECT_EQ(modal.RunDialog(stop), kIdOk);
    EXPECT_EQ(cancel, "Stop Learning");
}

// ---- learning and sending through the driver of a simulated handheld

TEST_F(ButtonIrTest, LearntTvPowerIsSentAsItWasHeard) {
    CIrDriverFactory drivers(handheld_);
    RemoteServices services;
    services.fs = &device_;
    services.driver = [&drivers] { return drivers.GetIrDriver(); };
    CRemoteModel model(services);
    CIrDriver* driver = model.Driver();
    ASSERT_NE(driver, nullptr);
    for (const SimComPort& port : handheld_.Profile().comPorts) {
        if (port.irda) {
            model.SetIrPort(port.name);
        }
    }
    // The device's own remote presses the button the prompt asks for.
    model.beforeCapture = [this](const QString& name, int category) {
        const SimRemote* remote = FindSimRemote(category);
        ASSERT_NE(remote, nullptr);
        handheld_.Air().Play(remote->Press(name.toStdString(), 300), handheld_.Clock().Now());
    };

    ASSERT_TRUE(Learn(button_, model, modal_, 0, false)) << Messages().size();
    const std::vector<int32_t> learnt = Stored(kTvSony, "Power", 1);
    ASSERT_GT(learnt.size(), 4u);

    handheld_.Air().ClearEmissions();
    ASSERT_TRUE(PressOnce(button_, model));
    const Demodulated sent = handheld_.Air().Demodulate();
    ASSERT_GE(sent.durations.size(), learnt.size() - 1);
    for (size_t i = 0; i + 1 < learnt.size(); ++i) {
        EXPECT_NEAR(sent.durations[i], learnt[i], 60) << "duration " << i;
    }
    EXPECT_TRUE(Messages().empty());
}

}  // namespace
