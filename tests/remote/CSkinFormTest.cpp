#include "remote/CSkinForm.h"

#include <gtest/gtest.h>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QFontMetrics>
#include <QPainter>
#include <QWidget>

#include "platform/Sound.h"
#include "resources/Strings.h"
#include "store/FormTables.h"
#include "tests/remote/MemoryRemoteFiles.h"
#include "tests/support/ModalRunners.h"
#include "tests/support/RecordingServices.h"

namespace {

const QString kBase = "\\Program Files\\ArdelRemote\\";
const QString kSkins = kBase + "Skins\\";
const QString kCodebase = "\\My Documents\\TV_Sony.PDB";

// Each of the form's pictures is one flat colour, so every pixel tells where it came from.
const QRgb kBackground = qRgb(10, 20, 30);
const QRgb kDisabled = qRgb(90, 90, 90);
const QRgb kActive = qRgb(0, 160, 0);
const QRgb kPressed = qRgb(0, 0, 200);
const QRgb kTriangle = qRgb(250, 250, 0);
const QRgb kTrianglePressed = qRgb(250, 120, 0);
const QRgb kMagenta = qRgb(255, 0, 255);
const QRgb kSquare = qRgb(254, 0, 0);

QImage Flat(QRgb colour, QSize size = {240, 268}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A 16 x 12 triangle picture: its colour inside, magenta on a 3-pixel frame.
QImage Triangle(QRgb colour) {
    QImage image = Flat(kMagenta, {16, 12});
    for (int y = 3; y < 9; ++y) {
        for (int x = 3; x < 13; ++x) {
            image.setPixel(x, y, colour);
        }
    }
    return image;
}

void AddSkin(CMemoryRemoteFiles& files, int form) {
    const QString prefix = kSkins + Form(form).name;
    files.AddImage(prefix + "_Back.gif", Flat(kBackground));
    files.AddImage(prefix + "_Disabled.gif", Flat(kDisabled), "GIF");
    files.AddImage(prefix + "_Activ.gif", Flat(kActive), "BMP");
    files.AddImage(prefix + "_Pressed.gif", Flat(kPressed));
    files.AddImage(kSkins + "SelCB_Activ.bmp", Triangle(kTriangle), "BMP");
    files.AddImage(kSkins + "SelCB_Pressed.bmp", Triangle(kTrianglePressed), "BMP");
}

// A form of the remote with its flat skin, bound to a codebase that has a signal for
// every other button (even indexes).
struct FormFixture {
    // Dialogs and messages go to `modal`; without one, each fails the test.
    explicit FormFixture(int number, bool validCodebase = true, ModalRunner* modal = nullptr)
        : form(&files, modal ? *modal : unanswered, FormSlotId(number)) {
        AddSkin(files, number);
        std::set<QString> learnt;
        for (size_t i = 0; i < Form(number).buttons.size(); i += 2) {
            learnt.insert(Form(number).buttons[i].name);
        }
        files.AddCodebase(kCodebase, "TV_Sony", learnt);
        form.BuildRemoteForm(number, kBase);
        form.Slot().SetPath(validCodebase ? kCodebase : QString());
        form.RefreshButtons();
    }

    CMemoryRemoteFiles files;
    CUnansweredModalRunner unanswered;
    CRemoteButton* FindButton(const QString& name) {
        for (int i = 0; i < form.ElementCount(); ++i) {
            if (form.Element(i).name == name) {
                return &form.Element(i);
            }
        }
        return nullptr;
    }
    CSkinForm form;
};

QPoint Centre(const CSkinElement& e) {
    return {e.left + e.width / 2, e.top + e.height / 2};
}

// What the element rules say the form looks like, apart from the text of the name area.
QImage Expected(const CSkinForm& form) {
    QImage image = Flat(kBackground);
    const QRgb byIndex[] = {kDisabled, kActive, kPressed};
    for (int i = 0; i < form.ElementCount(); ++i) {
        const CRemoteButton& e = form.Element(i);
        if (!e.visible || e.width < 1 || e.height < 1) {
            continue;
        }
        if (e.GetImageSource() == kImagesOfForm) {
            for (int y = e.top; y < e.top + e.height; ++y) {
                for (int x = e.left; x < e.left + e.width; ++x) {
                    image.setPixel(x, y, byIndex[e.ImageIndex()]);
                }
            }
        } else if (e.ImageIndex() != 0) {  // no own picture for Disabled and Dimmed
            for (int y = 3; y < 9; ++y) {
                for (int x = 3; x < 13; ++x) {
                    image.setPixel(e.left + x, e.top + y,
                                   e.ImageIndex() == 1 ? kTriangle : kTrianglePressed);
                }
            }
        }
    }
    if (form.Learning() == 0) {
        for (int y = 13; y < 17; ++y) {
            for (int x = 209; x < 213; ++x) {
                image.setPixel(x, y, kSquare);
            }
        }
    }
    return image;
}

// Where the codebase name may be written: from the area's corner, a line of 11-pixel text.
bool InNameText(int x, int y) {
    return x >= 57 && x < 154 && y >= 9 && y < 23;
}

enum class Mode { Normal, Learning, Pressed };

struct DrawCase {
    int form;
    Mode mode;
};

class FormDrawing : public testing::TestWithParam<DrawCase> {};

TEST_P(FormDrawing, EveryPixelFollowsTheElementRules) {
    FormFixture f(GetParam().form);
    ASSERT_TRUE(f.form.LoadImages());
    int pressed = -1;
    if (GetParam().mode == Mode::Learning) {
        f.form.SetLearning(1);
    }
    f.form.Draw();
    if (GetParam().mode == Mode::Pressed) {
        // The first learnt button, pressed with the pen: drawn at once, before any repaint.
        const QPoint at = Centre(f.form.Element(0));
        ASSERT_EQ(f.form.PenDown(at.x(), at.y()), kActionButton);
        pressed = f.form.PressedIndex();
        ASSERT_EQ(pressed, 0);
    }
    const QImage expected = Expected(f.form);
    const QImage& canvas = f.form.Canvas();
    ASSERT_EQ(canvas.size(), QSize(240, 268));
    int whiteInName = 0;
    for (int y = 0; y < 268; ++y) {
        for (int x = 0; x < 240; ++x) {
            if (GetParam().mode != Mode::Learning && InNameText(x, y)) {
                whiteInName += canvas.pixel(x, y) != expected.pixel(x, y);
                continue;
            }
            ASSERT_EQ(canvas.pixel(x, y), expected.pixel(x, y)) << "at " << x << "," << y;
        }
    }
    // In normal mode the name "Sony" is written; in learning mode nothing is.
    if (GetParam().mode != Mode::Learning) {
        EXPECT_GT(whiteInName, 20);
    }
}

std::vector<DrawCase> DrawCases() {
    std::vector<DrawCase> cases;
    for (int form : {0, 3, 4, 7, 8, 11}) {
        for (Mode mode : {Mode::Normal, Mode::Learning, Mode::Pressed}) {
            cases.push_back({form, mode});
        }
    }
    return cases;
}

std::string DrawCaseName(const testing::TestParamInfo<DrawCase>& info) {
    const char* mode[] = {"Normal", "Learning", "Pressed"};
    return std::string(Form(info.param.form).name) + mode[int(info.param.mode)];
}

INSTANTIATE_TEST_SUITE_P(OneFormOfEachCategory, FormDrawing, testing::ValuesIn(DrawCases()),
                         DrawCaseName);

TEST(FormDrawing, NothingIsDrawnBeforeTheImagesAreLoaded) {
    FormFixture f(0);
    f.form.Draw();
    EXPECT_EQ(f.form.Canvas(), Flat(qRgb(0, 0, 0)));
}

// The real skin, through the GIF and BMP readers: an element shows the active picture.
TEST(FormDrawing, TheGeneratedSkinLoads) {
    CMemoryRemoteFiles files;
    for (const QString name : {"TV1_Back.gif", "TV1_Activ.gif", "TV1_Pressed.gif",
                               "TV1_Disabled.gif", "SelCB_Activ.bmp", "SelCB_Pressed.bmp"}) {
        QFile file(QStringLiteral(ARDEL_TEST_DATA "/../../resources/skins/") + name);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
        files.files[(kSkins + name).toLower()] = file.readAll();
    }
    CUnansweredModalRunner modal;
    CSkinForm form(&files, modal, 0);
    form.BuildRemoteForm(0, kBase);
    ASSERT_TRUE(form.LoadImages());
    form.Element(3).SetState(kStateActive);
    form.Draw();
    const QImage active(QStringLiteral(ARDEL_TEST_DATA "/../../resources/skins/TV1_Activ.gif"));
    const QPoint at = Centre(form.Element(3));
    EXPECT_EQ(form.Canvas().pixel(at), active.pixel(at));
}

struct HitCase {
    const char* name;
    int x;
    int y;
    bool hit;
};

class HitTest : public testing::TestWithParam<HitCase> {};

// The element at (10, 20) of 30 x 40: only points strictly inside its border are hits.
TEST_P(HitTest, StrictlyInside) {
    CSkinElement element;
    element.left = 10;
    element.top = 20;
    element.width = 30;
    element.height = 40;
    EXPECT_EQ(element.HitTest(GetParam().x, GetParam().y), GetParam().hit);
}

INSTANTIATE_TEST_SUITE_P(
    Points, HitTest,
    testing::Values(HitCase{"LeftColumn", 10, 30, false}, HitCase{"JustRightOfLeft", 11, 30, true},
                    HitCase{"LastInsideColumn", 39, 30, true},
                    HitCase{"RightColumn", 40, 30, false}, HitCase{"TopRow", 20, 20, false},
                    HitCase{"JustBelowTop", 20, 21, true}, HitCase{"LastInsideRow", 20, 59, true},
                    HitCase{"BottomRow", 20, 60, false}, HitCase{"TopLeftCorner", 10, 20, false}),
    [](const testing::TestParamInfo<HitCase>& info) { return std::string(info.param.name); });

TEST(HitTest, OnlyVisibleEnabledAndNotDisabledElementsAreHit) {
    CSkinElement element;
    element.width = element.height = 10;
    EXPECT_TRUE(element.HitTest(5, 5));
    element.SetState(kStateDimmed);
    EXPECT_TRUE(element.HitTest(5, 5));
    element.SetState(kStateDisabled);
    EXPECT_FALSE(element.HitTest(5, 5));
    element.SetState(kStateActive);
    element.enabled = false;
    EXPECT_FALSE(element.HitTest(5, 5));
    element.enabled = true;
    element.visible = false;
    EXPECT_FALSE(element.HitTest(5, 5));
}

TEST(SkinElement, OutOfRangeValuesAreNotStored) {
    CRemoteButton button;
    button.SetState(7);
    EXPECT_EQ(button.GetState(), kStateDisabled);
    button.SetImageSource(kImagesOwn);
    button.SetImageSource(2);
    EXPECT_EQ(button.GetImageSource(), kImagesOwn);
    button.SetKind(kKindPanel);
    button.SetKind(2);
    EXPECT_EQ(button.GetKind(), kKindPanel);
}

struct NameAreaCase {
    const char* name;
    int x;
    int y;
    bool inside;
};

class NameArea : public testing::TestWithParam<NameAreaCase> {};

// (57, 9) to (154, 21): the left and top border belong to the area, right and bottom do not.
TEST_P(NameArea, IsHalfOpen) {
    CAnsweringModalRunner modal;
    FormFixture f(0, true, &modal);
    CRecordingSound sound;
    f.form.sound = &sound;
    const int code = f.form.PenDown(GetParam().x, GetParam().y);
    EXPECT_EQ(code == kActionCodebaseName, GetParam().inside);
    EXPECT_TRUE(modal.dialogs.empty());
    if (GetParam().inside) {
        EXPECT_EQ(sound.events, (std::vector<CRecordingSound::Event>{
                                    {(kBase + "Sounds\\system.wav").toStdString(), false}}));
    }
}

INSTANTIATE_TEST_SUITE_P(Points, NameArea,
                         testing::Values(NameAreaCase{"TopLeft", 57, 9, true},
                                         NameAreaCase{"BottomRightInside", 153, 20, true},
                                         NameAreaCase{"LeftOf", 56, 15, false},
                                         NameAreaCase{"RightColumn", 154, 15, false},
                                         NameAreaCase{"BottomRow", 100, 21, false},
                                         NameAreaCase{"AboveTop", 100, 8, false}),
                         [](const testing::TestParamInfo<NameAreaCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(NameArea, IsNoTargetWhileLearning) {
    FormFixture f(0);
    f.form.SetLearning(1);
    EXPECT_NE(f.form.PenDown(100, 15), kActionCodebaseName);
}

struct FitCase {
    const char* label;
    QString name;
    int width;
};

class FitName : public testing::TestWithParam<FitCase> {};

// The shown text is the name when it fits; otherwise the longest prefix that fits with
// "..."; and nothing for a name of two characters that does not fit.
TEST_P(FitName, LongestPrefixThatFits) {
    const QFontMetrics metrics(CodebaseNameFont());
    const QString& name = GetParam().name;
    const int width = GetParam().width;
    const QString shown = FitCodebaseName(name, metrics, width);
    if (metrics.horizontalAdvance(name) <= width) {
        EXPECT_EQ(shown, name);
        return;
    }
    if (name.size() <= 2) {
        EXPECT_EQ(shown, QString());
        return;
    }
    if (shown.isEmpty()) {
        EXPECT_GT(metrics.horizontalAdvance(name.left(1) + "..."), width);
        return;
    }
    ASSERT_TRUE(shown.endsWith("..."));
    const qsizetype kept = shown.size() - 3;
    EXPECT_EQ(shown.left(kept), name.left(kept));
    EXPECT_LE(metrics.horizontalAdvance(shown), width);
    EXPECT_GT(metrics.horizontalAdvance(name.left(kept + 1) + "..."), width);
}

INSTANTIATE_TEST_SUITE_P(Names, FitName,
                         testing::Values(FitCase{"Fits", "Sony", 97},
                                         FitCase{"TwentyCharacters", "Living Room Receiver", 97},
                                         FitCase{"TwoCharactersTooWide", "WW", 10},
                                         FitCase{"ThreeCharactersTooWide", "WWW", 10},
                                         FitCase{"NothingFits", "Panasonic", 4}),
                         [](const testing::TestParamInfo<FitCase>& info) {
                             return std::string(info.param.label);
                         });

TEST(FitName, TwentyCharacterNameIsWiderThanTheArea) {
    // Keeps the case above meaningful: the name must need shortening at 97 pixels.
    EXPECT_GT(QFontMetrics(CodebaseNameFont()).horizontalAdvance("Living Room Receiver"), 97);
}

TEST(Pen, WithoutAValidCodebaseEveryButtonIsDisabledAndATapShowsTheNotice) {
    CAnsweringModalRunner modal;
    FormFixture f(0, false, &modal);
    QString notice;
    modal.onDialog = [&](QDialog& dialog) {
        notice = dialog.findChild<QWidget*>("1028")->property("text").toString();
        return kIdOk;
    };
    for (int i = 0; i < f.form.ElementCount(); ++i) {
        if (f.form.Element(i).GetKind() == kKindButton) {
            EXPECT_EQ(f.form.Element(i).GetState(), kStateDisabled) << i;
        }
    }
    const QPoint power = Centre(f.form.Element(0));
    EXPECT_EQ(f.form.PenDown(power.x(), power.y()), kActionNone);
    EXPECT_EQ(modal.dialogs, std::vector<QString>{"CNoticeDlg"});
    EXPECT_EQ(notice, QString::fromUtf8(LoadString(65039)));
    EXPECT_EQ(f.form.PenUp(), kActionNone);
}

TEST(Pen, ATapBesideEveryElementWithAValidCodebaseDoesNothing) {
    CAnsweringModalRunner modal;
    FormFixture f(0, true, &modal);
    CRecordingSound sound;
    f.form.sound = &sound;
    // Button 1 ("Last") has no signal: Disabled, so the tap hits nothing.
    const QPoint last = Centre(f.form.Element(1));
    EXPECT_EQ(f.form.PenDown(last.x(), last.y()), kActionNone);
    EXPECT_TRUE(modal.dialogs.empty());
    EXPECT_TRUE(sound.events.empty());
}

// Learns whatever button is released, and remembers which.
struct LearningActions : ButtonActions {
    void ButtonDown(CSkinForm&, int) override {}
    bool ButtonUp(CSkinForm&, int index) override {
        learnt.push_back(index);
        return true;
    }
    std::vector<int> learnt;
};

class LearningPen : public testing::TestWithParam<int> {};

// In learning mode every button of the form, tapped at its centre, is hit and learnt, even
// without a codebase; of the panel only Next Form, Info and Stop Learn can be tapped.
TEST_P(LearningPen, EveryButtonCanBeHitAndLearnt) {
    CAnsweringModalRunner modal;
    FormFixture f(GetParam(), false, &modal);  // no codebase: every button Disabled normally
    LearningActions actions;
    f.form.actions = &actions;
    f.form.SetLearning(1);
    std::vector<int> buttons;
    for (int i = 0; i < f.form.ElementCount(); ++i) {
        const CRemoteButton& e = f.form.Element(i);
        if (e.GetKind() == kKindButton && e.name.isEmpty()) {
            continue;  // a table's placeholder: no place on the screen
        }
        const QPoint at = Centre(e);
        const int code = f.form.PenDown(at.x(), at.y());
        if (e.GetKind() == kKindButton) {
            buttons.push_back(i);
            EXPECT_EQ(code, kActionButton) << e.name.toStdString();
            EXPECT_EQ(f.form.PressedIndex(), i) << e.name.toStdString();
        } else {
            const bool reachable =
                e.id == kPanelNextForm || e.id == kPanelInfo || e.id == kPanelStopLearn;
            EXPECT_EQ(code == e.id, reachable) << e.name.toStdString();
        }
        f.form.PenUp();
    }
    EXPECT_EQ(actions.learnt, buttons);
    // Every button of the form's table is among them.
    std::vector<QString> learnt, table;
    for (const int i : buttons) {
        learnt.push_back(f.form.Element(i).name);
    }
    for (const ButtonDef& button : Form(GetParam()).buttons) {
        if (*button.name != '\0') {
            table.push_back(QString::fromLatin1(button.name));
        }
    }
    EXPECT_EQ(learnt, table);
    EXPECT_TRUE(modal.dialogs.empty());
}

INSTANTIATE_TEST_SUITE_P(EveryForm, LearningPen, testing::Range(0, kFormCount),
                         [](const testing::TestParamInfo<int>& info) {
                             return std::string(Form(info.param).name);
                         });

TEST(Pen, UnlearntButtonsStayHittableAfterTheRelease) {
    CAnsweringModalRunner modal;
    FormFixture f(3, false, &modal);
    f.form.SetLearning(1);
    const QPoint at = Centre(f.form.Element(0));
    f.form.PenDown(at.x(), at.y());
    f.form.PenUp();
    // Without a learn: Dimmed, not Disabled.
    EXPECT_EQ(f.form.Element(0).GetState(), kStateDimmed);
    f.form.SetLearning(0);
    EXPECT_EQ(f.form.Element(0).GetState(), kStateDisabled);
    EXPECT_EQ(f.form.PressedIndex(), -1);
}

TEST(Pen, TheSameElementTwiceInARowTakesTheSecondSignal) {
    CAnsweringModalRunner modal;
    FormFixture f(0, true, &modal);
    const QPoint power = Centre(f.form.Element(0));
    const QPoint two = Centre(f.form.Element(4));
    std::vector<int> which;
    for (QPoint at : {power, power, power, two, power}) {
        f.form.PenDown(at.x(), at.y());
        which.push_back(f.form.Element(f.form.PressedIndex()).whichSignal);
        f.form.PenUp();
    }
    EXPECT_EQ(which, (std::vector<int>{1, 2, 1, 1, 1}));
}

TEST(Pen, APanelElementReturnsItsIdAndPlaysTheSystemSound) {
    FormFixture f(0);
    CRecordingSound sound;
    f.form.sound = &sound;
    const int tv = f.form.FindElement(CategoryTabId(kCategoryTv));
    const QPoint at = Centre(f.form.Element(tv));
    EXPECT_EQ(f.form.PenDown(at.x(), at.y()), CategoryTabId(kCategoryTv));
    EXPECT_EQ(f.form.Element(tv).GetState(), kStatePressed);
    EXPECT_EQ(f.form.PenUp(), CategoryTabId(kCategoryTv));
    EXPECT_EQ(f.form.Element(tv).GetState(), kStateActive);
    EXPECT_EQ(f.form.PenUp(), kActionNone);  // released once only
    ASSERT_EQ(sound.events.size(), 1u);
    EXPECT_FALSE(sound.events[0].synchronous);

    f.form.soundsOn = false;
    f.form.PenDown(at.x(), at.y());
    EXPECT_EQ(sound.events.size(), 1u);
}

// Audio1 has a button "TV" and the panel has a tab "TV": kind tells them apart.
TEST(Pen, AButtonNamedLikeATabIsStillAButton) {
    CAnsweringModalRunner modal;
    FormFixture f(8, true, &modal);
    CRemoteButton* button = f.FindButton("TV");
    ASSERT_NE(button, nullptr);
    button->SetState(kStateActive);
    const QPoint at = Centre(*button);
    EXPECT_EQ(f.form.PenDown(at.x(), at.y()), kActionButton);
}

TEST(Flags, SetElementFlagsChangesTheFirstElementWithTheId) {
    FormFixture f(0);
    const int blip = f.form.FindElement(kPanelBlip);
    ASSERT_GE(blip, 0);
    f.form.Element(blip).enabled = false;
    EXPECT_EQ(f.form.SetElementFlags(kPanelBlip, -1, 1), blip);
    EXPECT_TRUE(f.form.Element(blip).visible);
    EXPECT_FALSE(f.form.Element(blip).enabled);  // left as it was
    EXPECT_EQ(f.form.SetElementFlags(12345, 1, 1), -1);
    f.form.SetKindFlags(kKindPanel, 0, -1);
    for (int i = 0; i < f.form.ElementCount(); ++i) {
        if (f.form.Element(i).GetKind() == kKindPanel) {
            EXPECT_FALSE(f.form.Element(i).enabled);
        } else {
            EXPECT_TRUE(f.form.Element(i).enabled);
        }
    }
}

struct SlotCase {
    const char* name;
    QString header;  // empty: no codebase file at the path
    bool valid;
    const char* category;
    const char* display;
};

class Slot : public testing::TestWithParam<SlotCase> {};

TEST_P(Slot, BindsOnlyToACodebaseOfAKnownCategory) {
    CMemoryRemoteFiles files;
    const QString path = "\\My Documents\\X.PDB";
    if (!GetParam().header.isEmpty()) {
        files.AddCodebase(path, GetParam().header, {});
    }
    CCodebaseSlot slot(20, &files);
    slot.SetPath(path);
    EXPECT_EQ(slot.IsValid(), GetParam().valid);
    EXPECT_EQ(slot.Path(), path);  // kept also when invalid, for a later re-check
    EXPECT_EQ(slot.CategoryName(), GetParam().category);
    EXPECT_EQ(slot.DisplayName(), GetParam().display);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, Slot,
    testing::Values(SlotCase{"Missing", "", false, "", ""},
                    SlotCase{"ForeignCategory", "XYZ_Sony", false, "", ""},
                    SlotCase{"NoUnderscore", "TVSony", false, "", ""},
                    SlotCase{"UnknownIsNoDeviceCategory", "Unk_Sony", false, "", ""},
                    SlotCase{"Tv", "TV_Sony", true, "TV", "Sony"},
                    SlotCase{"CaseIgnored", "cab_Sky_HD", true, "Cab/Sat", "Sky_HD"},
                    SlotCase{"TiVo", "TIV_Den", true, "TiVo", "Den"}),
    [](const testing::TestParamInfo<SlotCase>& info) { return std::string(info.param.name); });

TEST(Slot, ACodebaseThatDisappearsIsFoundInvalidOnRecheck) {
    FormFixture f(0);
    ASSERT_TRUE(f.form.Slot().IsValid());
    f.files.codebases.clear();
    f.form.RefreshButtons();
    EXPECT_FALSE(f.form.Slot().IsValid());
    EXPECT_EQ(f.form.Slot().Path(), kCodebase);
    for (int i = 0; i < f.form.ElementCount(); ++i) {
        if (f.form.Element(i).GetKind() == kKindButton) {
            EXPECT_EQ(f.form.Element(i).GetState(), kStateDisabled);
        }
    }
}

TEST(Refresh, OpensTheCodebaseOnceForTheWholeForm) {
    FormFixture f(9);
    f.files.opened = 0;
    f.form.RefreshButtons();
    EXPECT_EQ(f.files.opened, 2);  // the re-check, then the buttons
}

class CloseCounter : public QWidget {
  public:
    int closes = 0;

  protected:
    void closeEvent(QCloseEvent* event) override {
        ++closes;
        event->accept();
    }
};

class MissingSkin : public testing::TestWithParam<const char*> {};

TEST_P(MissingSkin, ShowsTheFullPathAndAsksTheOwnerToClose) {
    CAnsweringModalRunner modal;
    FormFixture f(5, true, &modal);
    const QString missing = kSkins + GetParam();
    f.files.files.erase(missing.toLower());
    CloseCounter owner;
    f.form.owner = &owner;
    EXPECT_FALSE(f.form.LoadImages());
    EXPECT_FALSE(f.form.ImagesLoaded());
    ASSERT_EQ(modal.messages.size(), 1u);
    EXPECT_EQ(modal.messages[0].text, "Cannot find skin-file " + missing);
    EXPECT_EQ(modal.messages[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(owner.closes, 0);  // posted, not sent
    QCoreApplication::sendPostedEvents(&owner);
    EXPECT_EQ(owner.closes, 1);
}

INSTANTIATE_TEST_SUITE_P(Files, MissingSkin,
                         testing::Values("DVDCD2_Back.gif", "DVDCD2_Pressed.gif",
                                         "SelCB_Pressed.bmp"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

TEST(MissingSkin, AFileThatIsNoPictureCountsAsMissing) {
    CAnsweringModalRunner modal;
    FormFixture f(0, true, &modal);
    f.files.files[(kSkins + "TV1_Activ.gif").toLower()] = "GIF89a but nothing more";
    EXPECT_FALSE(f.form.LoadImages());
    ASSERT_EQ(modal.messages.size(), 1u);
    EXPECT_TRUE(modal.messages[0].text.endsWith("TV1_Activ.gif"));
}

TEST(Images, ReleaseForgetsEverythingAndLoadReadsAgain) {
    FormFixture f(0);
    ASSERT_TRUE(f.form.LoadImages());
    const int selector = f.form.FindElement(kPanelSelectCodebase);
    EXPECT_TRUE(f.form.Element(selector).ownImagesLoaded);
    f.form.ReleaseImages();
    EXPECT_FALSE(f.form.ImagesLoaded());
    EXPECT_FALSE(f.form.Element(selector).ownImagesLoaded);
    f.form.ReleaseImages();  // nothing held: nothing happens
    ASSERT_TRUE(f.form.LoadImages());
    EXPECT_TRUE(f.form.Element(selector).ownImagesLoaded);
}

}  // namespace
