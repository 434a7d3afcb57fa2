#include "remote/CDUWnd.h"

#include <QAbstractItemView>
#include <QPushButton>
#include <QTimerEvent>
#include <atomic>
#include <chrono>
#include <future>
#include <thread>

#include "model/IrRead.h"
#include "platform/sim/SimRemotes.h"
#include "remote/CConfirmDlg.h"
#include "remote/CLearnPromptDlg.h"
#include "remote/CPenGate.h"
#include "resources/StringText.h"
#include "tests/remote/RemoteWindowFixture.h"
#include "tests/support/PromptCapture.h"
#include "tests/support/StoredButtons.h"
#include "tests/support/TestSignals.h"

namespace {

// A short pulse-distance frame at 40 kHz (25 us).
const std::vector<int32_t> kSignalA = {2400, -600, 1200, -600, 600, -600, 1200, -25000};
const std::vector<int32_t> kSignalB = {2400, -600, 600, -600, 600, -600, 600, -600, 1200, -25000};

// Answers the learning prompt by letting it capture, and the stop question as told.
struct DialogAnswers {
    int stopQuestion = kIdCancel;
    int operator()(QDialog& dialog) const {
        if (qobject_cast<CLearnPromptDlg*>(&dialog)) {
            return LetPromptCapture(dialog);
        }
        if (qobject_cast<CConfirmDlg*>(&dialog)) {
            return stopQuestion;
        }
        return kIdOk;
    }
};

// Each mark of the emission is within one carrier period of the signal's.
void ExpectEmissionMatches(SimHandheld& handheld, const IrSignal& signal, const char* button) {
    const Demodulated sent = handheld.Air().Demodulate();
    ASSERT_GE(sent.durations.size(), size_t{signal.count} - 1) << button;
    for (int i = 0; i < signal.count - 1; ++i) {
        const int32_t want = signal.durations[i];
        if (want > 0) {
            EXPECT_NEAR(sent.durations[static_cast<size_t>(i)], want, signal.carrierPeriod + 1)
                << button << " mark " << i;
        }
    }
}

}  // namespace

TEST_F(RemoteWindowTest, StartsOnTheFirstTvFormWithoutLearning) {
    EXPECT_EQ(window->CurrentForm(), 0);
    EXPECT_FALSE(window->RepaintPending());
    EXPECT_EQ(window->Picture().size(), QSize(kScreenWidth, kScreenHeight));
}

TEST_F(RemoteWindowTest, CategoryTabsBringBackTheFormShownLast) {
    window->SelectForm(1);  // TV2
    Settle();
    TapTab(kCategoryDvdCd);
    EXPECT_EQ(window->CurrentForm(), 4);
    EXPECT_EQ(model->RememberedForm(kCategoryTv), 1);
    TapTab(kCategoryTv);
    EXPECT_EQ(window->CurrentForm(), 1);
    window->SelectForm(0);
    Settle();
    TapTab(kCategoryAudio);
    TapTab(kCategoryTv);
    EXPECT_EQ(window->CurrentForm(), 0);
}

TEST_F(RemoteWindowTest, NextFormGoesDownAndBackAndNotesTheVisit) {
    EXPECT_FALSE(model->LowerFormVisited());
    Tap("NextForm");
    EXPECT_EQ(window->CurrentForm(), 1);
    EXPECT_TRUE(model->LowerFormVisited());
    Tap("NextForm");
    EXPECT_EQ(window->CurrentForm(), 0);
}

TEST_F(RemoteWindowTest, HoldingThePenReleasesAfterOneSecond) {
    QTest::mousePress(window.get(), Qt::LeftButton, {}, CentreOf(0, "NextForm"));
    Settle();
    EXPECT_TRUE(window->AutoReleaseRunning());
    EXPECT_EQ(window->CurrentForm(), 0);
    // The second is up: the timer fires, as its event would arrive.
    QTimerEvent elapsed(window->AutoReleaseTimerId());
    QCoreApplication::sendEvent(window.get(), &elapsed);
    EXPECT_FALSE(window->AutoReleaseRunning());
    EXPECT_EQ(window->CurrentForm(), 1);  // released while the pen is still down
    QTest::mouseRelease(window.get(), Qt::LeftButton, {}, CentreOf(0, "NextForm"));
}

TEST_F(RemoteWindowTest, MovingThePenOnePixelReleases) {
    const QPoint at = CentreOf(0, "NextForm");
    QTest::mousePress(window.get(), Qt::LeftButton, {}, at);
    Settle();
    QTest::mouseMove(window.get(), at + QPoint(1, 0));
    EXPECT_EQ(window->CurrentForm(), 1);
    EXPECT_FALSE(window->AutoReleaseRunning());
    QTest::mouseRelease(window.get(), Qt::LeftButton, {}, at + QPoint(1, 0));
}

// With the host's pointer as the stylus, "Vol+" sends until the pointer button goes up; the
// lift and a tap made during the send are read by the pen gate, the lift releases the
// button once the press is handled, and the tap is dropped. The lift happens at a virtual
// instant inside the first pass: the driver's reads of the stylus from then on see the gate
// once the window has taken in the lift and the tap after it, so the send ends after that
// pass whatever the host's threads do meanwhile.
TEST_F(RemoteWindowTest, PointerLiftDuringASendEndsItAndReleasesAfterThePress) {
    MakeTvCodebase({{"Vol+", kSignalA, {}}});
    const uint64_t liftAt = handheld.Clock().Now() + 10'000'000;  // a third of a pass
    std::atomic<bool> taken{false};
    handheld.SetStylusSource([this, &taken, liftAt] {
        if (handheld.Clock().Now() < liftAt) {
            return true;
        }
        while (!taken.load()) {
            std::this_thread::yield();  // the window's thread is taking the events in
        }
        return window->PenGate().IsDown();
    });
    const QPoint volume = CentreOf(0, "Vol+");
    const QPoint next = CentreOf(0, "NextForm");
    auto post = [&](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QCoreApplication::postEvent(
            window.get(), new QMouseEvent(type, QPointF(at), window->mapToGlobal(QPointF(at)),
                                          Qt::LeftButton, buttons, Qt::NoModifier));
    };
    // Taken in while the send runs.
    post(QEvent::MouseButtonRelease, volume, Qt::NoButton);
    post(QEvent::MouseButtonPress, next, Qt::LeftButton);
    post(QEvent::MouseButtonRelease, next, Qt::NoButton);
    QMetaObject::invokeMethod(
        window.get(), [&taken] { taken = true; }, Qt::QueuedConnection);
    QTest::mousePress(window.get(), Qt::LeftButton, {}, volume);
    EXPECT_EQ(drivers.GetIrDriver()->LastPassCount(), 1);
    EXPECT_FALSE(window->GetForm(0)->ElementPressed());
    EXPECT_FALSE(window->PressInProgress());
    Settle();
    EXPECT_EQ(window->CurrentForm(), 0);  // the tap on "NextForm" went nowhere
}

TEST_F(RemoteWindowTest, SelectorListsTheCategoryAndNone) {
    CCodebaseFile file(fs.get());
    ASSERT_TRUE(file.CreateCodebase("\\My Documents\\TV_Sony.PDB"));
    file.Close();
    window->hooks.listCodebases = [](int category) {
        return category == kCategoryTv
                   ? std::vector<CodebaseChoice>{{"Sony", "\\My Documents\\TV_Sony.PDB"}}
                   : std::vector<CodebaseChoice>{};
    };
    Tap("Select Codebase");
    CCodebaseSelector& selector = *window->Selector();
    ASSERT_TRUE(selector.IsOpen());
    ASSERT_EQ(selector.count(), 2);
    EXPECT_EQ(selector.itemText(1), "<none>");
    selector.Choose(0);
    EXPECT_FALSE(selector.IsOpen());
    for (const int form : {0, 1}) {
        EXPECT_TRUE(window->GetForm(form)->Slot().IsValid()) << form;
        EXPECT_EQ(window->GetForm(form)->Slot().Path(), "\\My Documents\\TV_Sony.PDB");
    }
    // A tap outside the list closes it without a choice: the control goes with it.
    window->OpenSelector();
    ASSERT_TRUE(selector.IsOpen());
    ASSERT_TRUE(selector.view()->window()->isVisible());
    selector.view()->window()->hide();
    EXPECT_FALSE(selector.isVisible());
    EXPECT_EQ(window->GetForm(0)->Slot().Path(), "\\My Documents\\TV_Sony.PDB");
    window->OpenSelector();
    selector.Choose(1);
    for (const int form : {0, 1}) {
        EXPECT_TRUE(window->GetForm(form)->Slot().Path().isEmpty()) << form;
    }
    // A category without codebases shows no list at all.
    TapTab(kCategoryVcr);
    ASSERT_EQ(window->CurrentForm(), FirstFormOf(kCategoryVcr));
    Tap("Select Codebase");
    EXPECT_FALSE(selector.IsOpen());
}

TEST_F(RemoteWindowTest, TapOutsideButtonsWithoutHotCodebaseTellsHowToGetOne) {
    QTest::mouseClick(window.get(), Qt::LeftButton, {}, QPoint(5, 100));
    ASSERT_EQ(modal.dialogs.size(), 1u);
    EXPECT_EQ(modal.dialogs[0], "CNoticeDlg");
}

TEST_F(RemoteWindowTest, StateOfTheWindowSurvivesAClose) {
    const QString path = MakeTvCodebase({{"Power", kSignalA, {}}});
    window->SelectForm(3);  // CabSat2
    window->SelectForm(8);  // Audio1
    window->SetSounds(false);
    window->close();

    RemoteServices services;
    services.fs = fs.get();
    CRemoteModel reloaded(services);
    CDUWnd again(reloaded, files.get(), modal);
    again.BuildForms(kBase, model->PrefFile());
    EXPECT_EQ(again.CurrentForm(), 8);
    EXPECT_EQ(reloaded.RememberedForm(kCategoryCabSat), 1);
    EXPECT_EQ(reloaded.RememberedForm(kCategoryTv), 0);
    EXPECT_FALSE(reloaded.SoundsOn());
    EXPECT_EQ(again.GetForm(1)->Slot().Path(), path);
    EXPECT_TRUE(again.GetForm(0)->Slot().IsValid());
}

// A window whose forms were never built (closed before its first paint) has nothing to
// save: the save writes nothing and does not fail.
TEST_F(RemoteWindowTest, WindowWithoutFormsSavesNothing) {
    const std::vector<std::string> before = fs->ListFiles(kBase, "*.PDB");
    RemoteServices services;
    services.fs = fs.get();
    CRemoteModel unbuilt(services);
    CDUWnd bare(unbuilt, files.get(), modal);
    EXPECT_TRUE(bare.SaveState());
    EXPECT_EQ(fs->ListFiles(kBase, "*.PDB"), before);
    EXPECT_TRUE(fs->ListFiles("\\", "*.PDB").empty());
}

struct RepeatCase {
    const char* button;
    int passes;
};

class RemoteSendTest : public RemoteWindowTest, public testing::WithParamInterface<RepeatCase> {};

TEST_P(RemoteSendTest, QuickTapSendsTheButtonsPassCount) {
    MakeTvCodebase({{"Power", kSignalA, {}}, {"Vol+", kSignalA, {}}});
    handheld.Air().ClearEmissions();
    Tap(GetParam().button);
    ASSERT_NE(drivers.GetIrDriver(), nullptr);
    EXPECT_EQ(drivers.GetIrDriver()->LastPassCount(), GetParam().passes);
    EXPECT_FALSE(handheld.Air().Emissions().empty());
    EXPECT_TRUE(modal.messages.empty());
    EXPECT_FALSE(drivers.GetIrDriver()->IsPortOpen());
    // Click first, then the send.
    ASSERT_FALSE(sound.events.empty());
    EXPECT_NE(sound.events.back().file.find("click.wav"), std::string::npos);
    EXPECT_TRUE(sound.events.back().synchronous);
}

INSTANTIATE_TEST_SUITE_P(Buttons, RemoteSendTest,
                         testing::Values(RepeatCase{"Power", 3}, RepeatCase{"Vol+", 1}),
                         [](const auto& info) {
                             return std::string(info.param.button[0] == 'P' ? "Power" : "VolUp");
                         });

TEST_F(RemoteWindowTest, HeldVolumeKeepsSendingWhileThePenIsDown) {
    MakeTvCodebase({{"Vol+", kSignalA, {}}});
    handheld.HoldStylus(200'000'000);  // 200 ms of the handheld's time
    Tap("Vol+");
    EXPECT_GT(drivers.GetIrDriver()->LastPassCount(), 1);
}

// A dialog that opens on the pen-down takes the release with it: the remote never sees the
// pen go up. Once the dialog is closed by the keyboard, a hardware key sends its three passes
// and stops; it does not read a pen held down by the press that opened the dialog.
struct DialogOnPressCase {
    const char* name;
    const char* element;  // tapped on DVD1; null: a place outside every button
    Qt::Key closeKey;
    const char* dialog;
};

class RemoteDialogOnPressTest : public RemoteWindowTest,
                                public testing::WithParamInterface<DialogOnPressCase> {};

TEST_P(RemoteDialogOnPressTest, PressEndsWithTheDialogItOpened) {
    MakeTvCodebase({{"Power", kSignalA, {}}});
    window->SelectForm(FirstFormOf(kCategoryDvdCd));  // no hot codebase here
    Settle();
    int reads = 0;
    int downReads = 0;
    handheld.SetStylusSource([&] {
        const bool down = window->PenGate().IsDown();
        downReads += down ? 1 : 0;
        return down && ++reads < 20;  // a pen held for ever ends the send all the same
    });
    const Qt::Key key = GetParam().closeKey;
    modal.onDialog = [key](QDialog& dialog) {
        QTest::keyClick(&dialog, key);
        return dialog.result() == QDialog::Accepted ? kIdOk : kIdCancel;
    };
    const QPoint at =
        GetParam().element ? CentreOf(window->CurrentForm(), GetParam().element) : QPoint(5, 100);
    QTest::mousePress(window.get(), Qt::LeftButton, {}, at);  // no release: it went to the dialog
    ASSERT_EQ(modal.dialogs, std::vector<QString>{GetParam().dialog});
    Settle();
    window->PressAssigned(0, IndexOf(0, "Power"));
    EXPECT_EQ(drivers.GetIrDriver()->LastPassCount(), 3);
    EXPECT_EQ(downReads, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, RemoteDialogOnPressTest,
    testing::Values(DialogOnPressCase{"HelpClosedByEscape", "i", Qt::Key_Escape, "CHelpDlg"},
                    DialogOnPressCase{"HelpClosedByReturn", "i", Qt::Key_Return, "CHelpDlg"},
                    DialogOnPressCase{"NoticeClosedByReturn", nullptr, Qt::Key_Return,
                                      "CNoticeDlg"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RemoteWindowTest, DoubleButtonTakesTurnsUnlessAnotherComesBetween) {
    MakeTvCodebase({{"Mute", kSignalA, kSignalB}, {"Power", kSignalA, {}}});
    const int mute = IndexOf(0, "Mute");
    auto sentCount = [&] { return window->GetForm(0)->Element(mute).signal.count; };
    std::vector<int> counts;
    for (int i = 0; i < 3; ++i) {
        Tap("Mute");
        counts.push_back(sentCount());
    }
    const int a = static_cast<int>(kSignalA.size());
    const int b = static_cast<int>(kSignalB.size());
    EXPECT_EQ(counts, (std::vector<int>{a, b, a}));
    Tap("Power");
    Tap("Mute");
    EXPECT_EQ(sentCount(), a);
}

TEST_F(RemoteWindowTest, HardwareKeysTakeTurnsLikeTaps) {
    MakeTvCodebase({{"Mute", kSignalA, kSignalB}, {"Power", kSignalA, {}}});
    const int mute = IndexOf(0, "Mute");
    const int power = IndexOf(0, "Power");
    auto sentCount = [&] { return window->GetForm(0)->Element(mute).signal.count; };
    const int a = static_cast<int>(kSignalA.size());
    const int b = static_cast<int>(kSignalB.size());
    std::vector<int> counts;
    window->PressAssigned(0, mute);
    counts.push_back(sentCount());
    Tap("Mute");  // a tap after a key press of the same button is the next in a row
    counts.push_back(sentCount());
    window->PressAssigned(0, mute);
    counts.push_back(sentCount());
    window->PressAssigned(0, power);
    window->PressAssigned(0, mute);
    counts.push_back(sentCount());
    EXPECT_EQ(counts, (std::vector<int>{a, b, a, a}));
}

TEST_F(RemoteWindowTest, NoPortSelectedStopsTheSendBeforeTheDriverIsAsked) {
    MakeTvCodebase({{"Power", kSignalA, {}}});
    model->SetIrPort("COM0");
    handheld.Air().ClearEmissions();
    Tap("Power");
    ASSERT_EQ(modal.messages.size(), 1u);
    EXPECT_EQ(modal.messages[0].text, "Com port is not selected!");
    EXPECT_TRUE(handheld.SerialLog().empty());
    EXPECT_TRUE(handheld.Air().Emissions().empty());
}

class RemoteLearnTest : public RemoteWindowTest {
  protected:
    // Starts learning a new TV codebase the way Home Devices does.
    QString StartLearning(const QString& name) {
        const QString path = "\\My Documents\\TV_" + name + ".PDB";
        for (const int n : {0, 1}) {
            CSkinForm& form = *window->GetForm(n);
            form.Slot().SetPath(path);
            form.learnMode = 0;
            form.RefreshButtons();
        }
        window->SelectForm(0);
        window->SetLearningMode(true);
        Settle();
        modal.onDialog = answers;
        return path;
    }
    DialogAnswers answers;
};

TEST_F(RemoteLearnTest, LearningTheFirstButtonCreatesTheCodebase) {
    const QString path = StartLearning("Living");
    const int power = IndexOf(0, "Power");
    EXPECT_EQ(window->GetForm(0)->Element(power).GetState(), kStateDimmed);
    Tap("Power");
    EXPECT_TRUE(fs->FileExists(path.toStdString()));
    EXPECT_EQ(window->GetForm(0)->Element(power).GetState(), kStateActive);
    EXPECT_TRUE(window->GetForm(0)->Slot().IsValid());
    EXPECT_TRUE(modal.messages.empty());
    ASSERT_FALSE(sound.events.empty());
    EXPECT_NE(sound.events.back().file.find("learn.wav"), std::string::npos);
}

TEST_F(RemoteLearnTest, FailedLearningLeavesTheButtonDimmedAndSilent) {
    const QString path = StartLearning("Living");
    model->SetIrPort("COM0");
    sound.events.clear();
    Tap("Power");
    EXPECT_EQ(window->GetForm(0)->Element(IndexOf(0, "Power")).GetState(), kStateDimmed);
    ASSERT_EQ(modal.messages.size(), 1u);
    EXPECT_EQ(modal.messages[0].text, "Com port is not selected!");
    EXPECT_TRUE(handheld.SerialLog().empty());
    EXPECT_TRUE(sound.events.empty());
    EXPECT_FALSE(fs->FileExists(path.toStdString()));
}

TEST_F(RemoteLearnTest, StopOnFirstFormAsksAboutTheLowerFormFirst) {
    StartLearning("Living");
    answers.stopQuestion = kIdOk;  // "Continue"
    modal.onDialog = answers;
    window->StopLearning();
    EXPECT_EQ(window->CurrentForm(), 1);
    EXPECT_EQ(window->GetForm(1)->Learning(), 1);
    window->SelectForm(0);
    answers.stopQuestion = kIdCancel;
    modal.onDialog = answers;
    std::vector<int> menus;
    window->hooks.switchMenu = [&](int menu) { menus.push_back(menu); };
    window->StopLearning();
    EXPECT_EQ(window->GetForm(0)->Learning(), 0);
    EXPECT_EQ(window->GetForm(1)->Learning(), 0);
    EXPECT_EQ(menus, std::vector<int>{CDUWnd::kNormalMenu});
}

// Learns a TV codebase from the sample TV remote through the prompt, then sends each learnt
// button and compares what the emitter sent with what was learnt.
TEST_F(RemoteLearnTest, LearntTvButtonsSendWhatWasLearnt) {
    StartLearning("Living Room");
    std::vector<QString> names = {"Power"};
    for (const ButtonDef& button : Form(0).buttons) {
        const QString name = QString::fromLatin1(button.name);
        if (name.size() == 1 && name[0].isDigit()) {
            names.push_back(name);
        }
    }
    ASSERT_GT(names.size(), 5u);
    for (const QString& name : names) {
        Tap(name);
        EXPECT_EQ(window->GetForm(0)->Element(IndexOf(0, name)).GetState(), kStateActive)
            << name.toStdString();
    }
    answers.stopQuestion = kIdCancel;
    modal.onDialog = answers;
    window->StopLearning();
    Settle();
    ASSERT_EQ(window->GetForm(0)->Learning(), 0);
    ASSERT_TRUE(modal.messages.empty()) << modal.messages[0].text.toStdString();
    for (const QString& name : names) {
        handheld.Air().ClearEmissions();
        Tap(name);
        const CRemoteButton& button = window->GetForm(0)->Element(IndexOf(0, name));
        ASSERT_GT(button.signal.count, 4) << name.toStdString();
        ExpectEmissionMatches(handheld, button.signal, name.toLatin1().constData());
    }
}

// A read that hears nothing does not just vanish: the prompt says so, and how to go on.
TEST_F(RemoteLearnTest, ReadThatHearsNothingSaysHowToGoOn) {
    const QString path = StartLearning("Living");
    model->beforeCapture = nullptr;  // the device's remote stays silent
    Tap("Power");
    ASSERT_EQ(modal.messages.size(), 1u);
    EXPECT_TRUE(modal.messages[0].text.contains(StringText(kStrNothingReceived)))
        << modal.messages[0].text.toStdString();
    EXPECT_EQ(window->GetForm(0)->Element(IndexOf(0, "Power")).GetState(), kStateDimmed);
    EXPECT_FALSE(fs->FileExists(path.toStdString()));
    EXPECT_EQ(window->GetForm(0)->Learning(), 1);
}

// The learning check sends the learnt signal and reads it back on the IR worker; meanwhile
// the window paints, and a tap made then is dropped rather than starting another learn. The
// check is held on the worker until the window has painted, so a window whose thread waited
// for the check would never paint in it.
TEST_F(RemoteLearnTest, WindowPaintsDuringTheLearningCheckAndDropsTaps) {
    StartLearning("Living");
    std::promise<void> painted;
    std::shared_future<void> paintedDuringCheck = painted.get_future().share();
    std::atomic<bool> checking{false};
    bool paintSeen = false;
    class PaintWatch : public QObject {
      public:
        std::function<void()> onPaint;
        bool eventFilter(QObject*, QEvent* event) override {
            if (event->type() == QEvent::Paint) {
                onPaint();
            }
            return false;
        }
    } watch;
    watch.onPaint = [&] {
        if (checking.exchange(false)) {
            painted.set_value();
        }
    };
    window->installEventFilter(&watch);
    const QPoint next = CentreOf(0, "NextForm");
    const std::function<void()> listen = model->ownReceiver.listen;
    model->ownReceiver.listen = [&] {
        // On the worker, as the check begins.
        QMetaObject::invokeMethod(window.get(), [&] {
            for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
                QCoreApplication::postEvent(
                    window.get(),
                    new QMouseEvent(
                        type, QPointF(next), window->mapToGlobal(QPointF(next)), Qt::LeftButton,
                        type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                        Qt::NoModifier));
            }
            checking = true;
            window->update();
        });
        // Only a guard against waiting for ever when the window cannot paint.
        paintSeen =
            paintedDuringCheck.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
        listen();
    };
    modal.dialogs.clear();
    Tap("Power");
    EXPECT_TRUE(paintSeen);
    EXPECT_TRUE(window->GetForm(0)->Element(IndexOf(0, "Power")).hasSignal);
    EXPECT_EQ(modal.dialogs, (std::vector<QString>{"CLearnPromptDlg", "CConfirmDlg"}));
    EXPECT_EQ(window->CurrentForm(), 0);  // the tap on "NextForm" went nowhere
}

// While a read waits for the remote the window paints and the prompt counts the seconds
// down; each way the user ends the read ends it at once, in the handheld's time, and the
// button stays unlearnt. The read is held on the worker when 17 seconds are left, so that
// the test acts at a known moment of the handheld's time.
struct EndReadCase {
    const char* name;
    std::function<void(CLearnPromptDlg&)> end;
    bool learningAfter;
};

class RemoteEndReadTest : public RemoteLearnTest,
                          public testing::WithParamInterface<EndReadCase> {};

class PaintCounter : public QObject {
  public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

TEST_P(RemoteEndReadTest, EndsTheReadAtOnce) {
    const QString path = StartLearning("Living");
    model->beforeCapture = nullptr;  // the remote stays silent: only the user ends the read
    PaintCounter counter;
    window->installEventFilter(&counter);
    std::promise<void> reached, resume;
    std::shared_future<void> resumed = resume.get_future().share();
    QString shown;
    int paintsDuringRead = -1;
    uint64_t cancelledAt = 0;
    modal.onDialog = [&](QDialog& dialog) -> int {
        auto* prompt = qobject_cast<CLearnPromptDlg*>(&dialog);
        if (!prompt) {
            return kIdCancel;  // "Stop Learning" leaves the lower form unlearnt
        }
        // On the worker, before the read goes on: held at 17 seconds left.
        QObject::connect(
            prompt->Read(), &CIrRead::SecondsLeft, prompt->Read(),
            [&](int seconds) {
                if (seconds == 17) {
                    reached.set_value();
                    resumed.wait();
                }
            },
            Qt::DirectConnection);
        QCoreApplication::processEvents();  // the prompt starts its read
        reached.get_future().wait();
        QCoreApplication::processEvents();  // what the read told so far
        shown = prompt->TimeOutText();
        const int before = counter.paints;
        window->update();
        QCoreApplication::processEvents();
        paintsDuringRead = counter.paints - before;
        cancelledAt = handheld.Clock().Now();
        GetParam().end(*prompt);
        resume.set_value();
        return LetPromptCapture(dialog);
    };
    Tap("Power");
    EXPECT_EQ(shown, StringText(kStrSecondsLeft, {"17"}));
    EXPECT_GT(paintsDuringRead, 0);
    EXPECT_LE(handheld.Clock().Now() - cancelledAt, uint64_t{100'000'000});
    EXPECT_TRUE(modal.messages.empty());
    const CRemoteButton& power = window->GetForm(0)->Element(IndexOf(0, "Power"));
    EXPECT_FALSE(power.hasSignal);
    // Unlearnt: dimmed while learning goes on, disabled once it has ended.
    EXPECT_EQ(power.GetState(), GetParam().learningAfter ? kStateDimmed : kStateDisabled);
    EXPECT_FALSE(fs->FileExists(path.toStdString()));
    EXPECT_EQ(window->GetForm(0)->Learning(), GetParam().learningAfter ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, RemoteEndReadTest,
    testing::Values(
        EndReadCase{"Escape",
                    [](CLearnPromptDlg& prompt) { QTest::keyClick(&prompt, Qt::Key_Escape); },
                    true},
        EndReadCase{"Cancel", [](CLearnPromptDlg& prompt) { prompt.CancelButton()->click(); },
                    true},
        EndReadCase{"StopLearning", [](CLearnPromptDlg& prompt) { prompt.StopButton()->click(); },
                    false}),
    [](const auto& info) { return std::string(info.param.name); });

// Whichever face changes the model (the service, ardelctl, a dialog), the window follows
// the model's announcements: each case changes the model through an operation, never
// through the window, and looks at what the window shows.
class RemoteFollowTest;
struct FollowCase {
    const char* name;
    std::function<void(RemoteFollowTest&)> change;
    std::function<void(RemoteFollowTest&)> check;
};

void PrintTo(const FollowCase& c, std::ostream* os) {
    *os << c.name;
}

class RemoteFollowTest : public RemoteWindowTest, public testing::WithParamInterface<FollowCase> {
  public:
    RemoteFollowTest() {
        window->hooks.switchMenu = [this](int menu) { menus.push_back(menu); };
        MakeTvCodebase({{"Power", kSignalA, {}}});
    }
    const CRemoteButton& Button(int form, const QString& name) {
        return window->GetForm(form)->Element(IndexOf(form, name));
    }
    bool BlipLit() {
        CSkinForm& form = *window->Current();
        return form.Element(form.FindElement(kPanelBlip)).visible;
    }

    using RemoteWindowTest::fs;
    using RemoteWindowTest::model;
    using RemoteWindowTest::window;
    std::vector<int> menus;
    bool blipDuringSend = false;
};

// Gives a code in place of a read, as a face that asks for one does.
class CodeFace : public LearnFace {
  public:
    bool AskCode(const QString&, IrSignal& coded) override {
        coded = MakeIrSignal(kSignalB, 0, 25);
        return true;
    }
};

TEST_P(RemoteFollowTest, TheWindowFollowsTheModel) {
    GetParam().change(*this);
    Settle();
    GetParam().check(*this);
}

INSTANTIATE_TEST_SUITE_P(
    Signals, RemoteFollowTest,
    testing::Values(
        FollowCase{"CurrentForm", [](RemoteFollowTest& t) { t.model->SetCurrentForm(5); },
                   [](RemoteFollowTest& t) { EXPECT_EQ(t.window->CurrentForm(), 5); }},
        FollowCase{
            "HotCodebase",
            [](RemoteFollowTest& t) {
                const QString other = "\\My Documents\\TV_Other.PDB";
                ASSERT_EQ(StoreLearntButton(*t.fs, other, "Mute", SignalFrom(kSignalB)), kStoreOk);
                ASSERT_TRUE(t.model->MakeHot(kCategoryTv, other));
            },
            [](RemoteFollowTest& t) {
                EXPECT_EQ(t.window->GetForm(1)->Slot().Path(), "\\My Documents\\TV_Other.PDB");
                EXPECT_TRUE(t.Button(0, "Mute").hasSignal);
                EXPECT_FALSE(t.Button(0, "Power").hasSignal);
            }},
        // The hot codebase of a new device comes to be when its first button is learnt.
        FollowCase{"Codebases",
                   [](RemoteFollowTest& t) {
                       const QString path = "\\My Documents\\TV_New.PDB";
                       t.model->MakeHot(kCategoryTv, path, false);
                       CodeFace face;
                       LearnRequest request;
                       request.path = path;
                       request.button = "Mute";
                       request.category = kCategoryTv;
                       request.how = LearnHow::ByCode;
                       ASSERT_EQ(t.model->LearnButton(request, face).code, kOpOk);
                   },
                   [](RemoteFollowTest& t) {
                       EXPECT_TRUE(t.window->GetForm(0)->Slot().IsValid());
                       EXPECT_TRUE(t.Button(0, "Mute").hasSignal);
                       EXPECT_EQ(t.Button(0, "Mute").GetState(), kStateActive);
                   }},
        FollowCase{"ButtonDeleted",
                   [](RemoteFollowTest& t) {
                       ASSERT_EQ(t.model->DeleteButton(t.model->HotCodebase(kCategoryTv), "Power"),
                                 kStoreOk);
                   },
                   [](RemoteFollowTest& t) {
                       EXPECT_FALSE(t.Button(0, "Power").hasSignal);
                       EXPECT_EQ(t.Button(0, "Power").GetState(), kStateDisabled);
                   }},
        FollowCase{"LearningBegins", [](RemoteFollowTest& t) { t.model->SetLearning(true); },
                   [](RemoteFollowTest& t) {
                       EXPECT_EQ(t.window->GetForm(0)->Learning(), 1);
                       EXPECT_EQ(t.window->GetForm(1)->Learning(), 1);
                       EXPECT_EQ(t.Button(0, "Mute").GetState(), kStateDimmed);
                       EXPECT_EQ(t.menus, std::vector<int>{CDUWnd::kLearningMenu});
                   }},
        FollowCase{
            "LearningEnds",
            [](RemoteFollowTest& t) {
                t.model->SetLearning(true);
                t.model->SetLearning(false);
            },
            [](RemoteFollowTest& t) {
                EXPECT_EQ(t.window->GetForm(0)->Learning(), 0);
                EXPECT_EQ(t.window->GetForm(1)->Learning(), 0);
                EXPECT_EQ(t.Button(0, "Mute").GetState(), kStateDisabled);
                EXPECT_EQ(t.menus, (std::vector<int>{CDUWnd::kLearningMenu, CDUWnd::kNormalMenu}));
            }},
        // The send is held on the worker once it has begun, until the window has taken the
        // news in.
        FollowCase{"Sending",
                   [](RemoteFollowTest& t) {
                       std::promise<void> seen;
                       std::shared_future<void> taken = seen.get_future().share();
                       QObject context;
                       QObject::connect(t.model.get(), &CRemoteModel::SendingChanged, &context,
                                        [&](bool on) {
                                            if (on) {
                                                t.blipDuringSend = t.BlipLit();
                                                seen.set_value();
                                            }
                                        });
                       QObject::connect(
                           t.model.get(), &CRemoteModel::SendingChanged, &context,
                           [&](bool on) {
                               if (on) {
                                   taken.wait();
                               }
                           },
                           Qt::DirectConnection);
                       EXPECT_EQ(t.model->SendSignal(SignalFrom(kSignalA, 0, 25), 1).code, kOpOk);
                   },
                   [](RemoteFollowTest& t) {
                       EXPECT_TRUE(t.blipDuringSend);
                       EXPECT_FALSE(t.BlipLit());
                   }}),
    [](const auto& info) { return std::string(info.param.name); });

// A handheld without an IR driver: presses and releases still draw, but nothing pretends to
// send or to learn.
class NoIrWindowTest : public RemoteWindowTest {
  protected:
    NoIrWindowTest() : RemoteWindowTest("unknown") {}
    // The indicator as the form's picture shows it.
    QImage Blip() {
        CSkinForm& form = *window->GetForm(0);
        const CRemoteButton& blip = form.Element(form.FindElement(kPanelBlip));
        return window->Picture().copy(QRect(blip.left, blip.top, blip.width, blip.height));
    }
};

TEST_F(NoIrWindowTest, TapAndKeyDoNotLightTheSendIndicator) {
    ASSERT_EQ(drivers.GetIrDriver(), nullptr);
    MakeTvCodebase({{"Power", kSignalA, {}}});
    Settle();
    const QImage idle = Blip();
    QTest::mousePress(window.get(), Qt::LeftButton, {}, CentreOf(0, "Power"));
    EXPECT_EQ(window->GetForm(0)->Element(IndexOf(0, "Power")).GetState(), kStatePressed);
    EXPECT_EQ(Blip(), idle);
    QTest::mouseRelease(window.get(), Qt::LeftButton, {}, CentreOf(0, "Power"));
    Settle();
    window->PressAssigned(0, IndexOf(0, "Power"));
    EXPECT_EQ(Blip(), idle);  // before the repaint that would hide a lit one
    EXPECT_TRUE(modal.messages.empty());
}

TEST_F(NoIrWindowTest, LearningTapStoresNothingAndLooksUnlearnt) {
    const QString path = "\\My Documents\\TV_Living.PDB";
    for (const int n : {0, 1}) {
        window->GetForm(n)->Slot().SetPath(path);
        window->GetForm(n)->RefreshButtons();
    }
    window->SetLearningMode(true);
    Settle();
    const QImage before = window->Picture();
    Tap("Power");
    const CRemoteButton& power = window->GetForm(0)->Element(IndexOf(0, "Power"));
    EXPECT_EQ(power.GetState(), kStateDimmed);
    EXPECT_FALSE(power.hasSignal);
    EXPECT_FALSE(fs->FileExists(path.toStdString()));
    EXPECT_TRUE(modal.dialogs.empty());
    // The button looks as it did before the tap.
    const QRect area(power.left, power.top, power.width, power.height);
    EXPECT_EQ(window->Picture().copy(area), before.copy(area));
}
