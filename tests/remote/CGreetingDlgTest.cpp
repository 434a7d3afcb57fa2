#include "remote/CGreetingDlg.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QTest>
#include <functional>
#include <ostream>
#include <vector>

#include "platform/Sound.h"
#include "remote/CSkinForm.h"
#include "tests/remote/MemoryRemoteFiles.h"
#include "tests/support/ModalRunners.h"
#include "tests/support/RecordingServices.h"

namespace {

const QString kBase = "\\Program Files\\ArdelRemote\\";
const QString kSkins = kBase + "Skins\\";
const char* const kActiveName = "Greeting_Activ.png";
const char* const kPressedName = "Greeting_Pressed.png";
constexpr int kScale = 2;

QString ResourcePath(const char* name) {
    return QString(ARDEL_RESOURCES) + "/skins/" + name;
}

QImage Resource(const char* name) {
    return QImage(ResourcePath(name)).convertToFormat(QImage::Format_RGB32);
}

// Handheld points.
const QPoint kHelp(198, 154);
const QPoint kClose(198, 122);
const QPoint kCheckBox(119, 304);
const QPoint kOutside(40, 40);

// The greeting over the program's own pictures, with every dialog and message answered.
class GreetingTest : public testing::Test {
  protected:
    GreetingTest() {
        dialog.sound = &sound;
        for (const char* name : {kActiveName, kPressedName}) {
            AddPicture(name);
        }
    }

    void AddPicture(const char* name) {
        QFile file(ResourcePath(name));
        EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
        files.files[(kSkins + name).toLower()] = file.readAll();
    }

    // Runs the greeting modally; `whileShown` acts on it while it is up. Whether it was
    // still open afterwards lands in `leftOpen`.
    int Run(const std::function<void()>& whileShown) {
        modal.onDialog = [&](QDialog&) {
            QApplication::processEvents();
            whileShown();
            QApplication::processEvents();
            leftOpen = dialog.isVisible();
            return dialog.result();
        };
        return modal.RunDialog(dialog);
    }

    // A tap at a handheld point, made on the last screen pixel that belongs to it.
    void Tap(QPoint at) { QTest::mouseClick(&dialog, Qt::LeftButton, {}, ScreenPoint(at)); }
    static QPoint ScreenPoint(QPoint at) { return at * kScale + QPoint(kScale - 1, kScale - 1); }

    // Which handheld pixels of the shown picture differ from `expected`.
    int DifferingPixels(const QImage& expected) {
        const QImage shown = dialog.grab().toImage();
        EXPECT_EQ(shown.size(), expected.size() * kScale);
        if (shown.size() != expected.size() * kScale) {
            return -1;
        }
        int differing = 0;
        for (int y = 0; y < expected.height(); ++y) {
            for (int x = 0; x < expected.width(); ++x) {
                const QRgb want = expected.pixel(x, y) | 0xFF000000u;
                for (const QPoint screen : {QPoint(x, y) * kScale, ScreenPoint({x, y})}) {
                    if ((shown.pixel(screen) | 0xFF000000u) != want) {
                        ++differing;
                        break;
                    }
                }
            }
        }
        return differing;
    }

    // The active picture with one area taken from the pressed picture.
    static QImage WithPressed(const QRect& area) {
        QImage picture = Resource(kActiveName);
        const QImage pressed = Resource(kPressedName);
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                picture.setPixel(x, y, pressed.pixel(x, y));
            }
        }
        return picture;
    }

    CMemoryRemoteFiles files;
    CRecordingSound sound;
    CAnsweringModalRunner modal;
    CGreetingDlg dialog{&files, modal, kBase, kScale};
    bool leftOpen = false;
};

// ---- what a sequence of taps does

struct TapCase {
    const char* label;
    std::vector<QPoint> taps;
    bool open;  // the greeting is still up after the taps
    int result;
    bool showAgain;
};

void PrintTo(const TapCase& c, std::ostream* os) {
    *os << c.label;
}

class GreetingTaps : public GreetingTest, public testing::WithParamInterface<TapCase> {};

TEST_P(GreetingTaps, EndAndTickAsTapped) {
    const TapCase& c = GetParam();
    const int result = Run([&] {
        for (const QPoint& at : c.taps) {
            Tap(at);
        }
    });
    EXPECT_EQ(leftOpen, c.open);
    if (!c.open) {
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(dialog.result(), c.result);
    }
    EXPECT_EQ(dialog.showAgain, c.showAgain);
    EXPECT_TRUE(modal.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, GreetingTaps,
    testing::Values(TapCase{"HelpAreaEndsWithOne", {kHelp}, false, 1, true},
                    TapCase{"CloseAreaEndsWithTwo", {kClose}, false, 2, true},
                    TapCase{"OutsideEndsLikeClose", {kOutside}, false, 2, true},
                    TapCase{"CheckBoxAloneKeepsTheGreeting", {kCheckBox}, true, 0, false},
                    TapCase{"CheckBoxThenClose", {kCheckBox, kClose}, false, 2, false},
                    TapCase{
                        "CheckBoxTwiceThenClose", {kCheckBox, kCheckBox, kClose}, false, 2, true},
                    TapCase{"CheckBoxThenHelp", {kCheckBox, kHelp}, false, 1, false},
                    TapCase{"CheckBoxThenOutside", {kCheckBox, kOutside}, false, 2, false},
                    // The areas' edges: the first row and column of a rectangle are outside it, the
                    // last ones inside. Between "2" and "1" lies a row that belongs to neither.
                    TapCase{"FirstInnerPixelOfHelp", {{160, 140}}, false, 1, true},
                    TapCase{"LastPixelOfHelp", {{236, 168}}, false, 1, true},
                    TapCase{"TopRowOfHelpIsOutside", {{200, 139}}, false, 2, true},
                    TapCase{"LeftColumnOfHelpIsOutside", {{159, 150}}, false, 2, true},
                    TapCase{"BelowHelpIsOutside", {{200, 169}}, false, 2, true},
                    TapCase{"FirstInnerPixelOfCheckBox", {{5, 295}}, true, 0, false},
                    TapCase{"LastPixelOfCheckBox", {{234, 313}}, true, 0, false},
                    TapCase{"LeftColumnOfCheckBoxIsOutside", {{4, 300}}, false, 2, true}),
    [](const testing::TestParamInfo<TapCase>& info) { return std::string(info.param.label); });

// ---- drawing

TEST_F(GreetingTest, FillsTheScaledScreenWithoutAFrame) {
    Run([&] {
        EXPECT_EQ(dialog.size(), QSize(240, 320) * kScale);
        EXPECT_TRUE(dialog.windowFlags() & Qt::FramelessWindowHint);
        EXPECT_EQ(DifferingPixels(Resource(kActiveName)), 0);
        Tap(kClose);
    });
}

TEST_F(GreetingTest, ATappedAreaIsDrawnPressedUntilTheRelease) {
    const QRect help(159, 139, 78, 30);
    const int result = Run([&] {
        QTest::mousePress(&dialog, Qt::LeftButton, {}, ScreenPoint(kHelp));
        EXPECT_EQ(DifferingPixels(WithPressed(help)), 0);
        EXPECT_EQ(dialog.LastPenDownCode(), CGreetingDlg::kHelpArea);
        QTest::mouseRelease(&dialog, Qt::LeftButton, {}, ScreenPoint(kHelp));
    });
    EXPECT_EQ(result, 1);
}

TEST_F(GreetingTest, TheCheckBoxShowsItsTickWhileTicked) {
    const QRect checkBox(4, 294, 231, 20);
    Run([&] {
        Tap(kCheckBox);
        EXPECT_EQ(DifferingPixels(WithPressed(checkBox)), 0) << "ticked";
        // Pressing another area keeps the tick in sight.
        QTest::mousePress(&dialog, Qt::LeftButton, {}, ScreenPoint(kClose));
        QImage both = WithPressed(checkBox);
        const QImage pressed = Resource(kPressedName);
        for (int y = 106; y < 139; ++y) {
            for (int x = 159; x < 237; ++x) {
                both.setPixel(x, y, pressed.pixel(x, y));
            }
        }
        EXPECT_EQ(DifferingPixels(both), 0) << "ticked, close pressed";
        QTest::mouseRelease(&dialog, Qt::LeftButton, {}, ScreenPoint(kClose));
        EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_FALSE(dialog.showAgain);

    // Run again: the form is built afresh, showing the tick; a tap takes it away.
    Run([&] {
        EXPECT_EQ(DifferingPixels(WithPressed(checkBox)), 0) << "ticked from the start";
        Tap(kCheckBox);
        EXPECT_TRUE(dialog.showAgain);
        EXPECT_EQ(DifferingPixels(Resource(kActiveName)), 0) << "unticked";
        Tap(kOutside);
    });
    EXPECT_TRUE(dialog.showAgain);
}

// ---- sound

TEST_F(GreetingTest, TapsOnAreasPlayTheSystemSoundFromTheProgramFolder) {
    Run([&] {
        Tap(kCheckBox);
        Tap(kOutside);  // no area, no sound
    });
    const std::vector<CRecordingSound::Event> expected = {
        {(kBase + "Sounds\\system.wav").toStdString(), false}};
    EXPECT_EQ(sound.events, expected);
}

// ---- missing pictures

class GreetingWithoutPicture : public GreetingTest,
                               public testing::WithParamInterface<const char*> {};

TEST_P(GreetingWithoutPicture, ToldAndClosedAsClose) {
    files.files.erase((kSkins + GetParam()).toLower());
    const int result = Run([] {});
    EXPECT_FALSE(leftOpen);
    EXPECT_EQ(result, 2);
    EXPECT_EQ(dialog.result(), 2);
    ASSERT_EQ(modal.messages.size(), 1u);
    EXPECT_EQ(modal.messages[0].text, "Cannot find skin-file " + kSkins + GetParam());
    EXPECT_TRUE(dialog.showAgain);
    EXPECT_EQ(dialog.Form(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Pictures, GreetingWithoutPicture,
                         testing::Values(kActiveName, kPressedName));

}  // namespace
