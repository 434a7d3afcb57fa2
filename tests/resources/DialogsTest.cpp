#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QWidgetAction>
#include <cmath>

#include "resources/HelpTexts.h"
#include "resources/Strings.h"
#include "resources/dialogs/CAboutDlg.h"
#include "resources/dialogs/CHelpBar.h"
#include "resources/dialogs/CHelpDlg.h"
#include "resources/dialogs/CNoticeDlg.h"
#include "resources/dialogs/TextFit.h"
#include "tests/support/ModalRunners.h"

namespace {

class HelpDialog : public testing::TestWithParam<int> {};

// Every topic opens with its heading and all of its lines in order, each shown whole beside
// the scroll bar; a topic outside the table leaves the dialog empty.
TEST_P(HelpDialog, OpensOnItsTopicAndEveryLineFits) {
    CAnsweringModalRunner modal;
    QString heading;
    QStringList lines;
    modal.onDialog = [&](QDialog& dialog) {
        auto& help = static_cast<CHelpDlg&>(dialog);
        heading = help.Heading()->text();
        EXPECT_LE(help.Heading()->fontMetrics().horizontalAdvance(heading),
                  help.Heading()->contentsRect().width())
            << heading.toStdString();
        QListWidget& list = *help.Lines();
        const int room = list.viewport()->width();
        for (int i = 0; i < list.count(); ++i) {
            lines << list.item(i)->text();
            EXPECT_LE(QFontMetrics(list.font()).horizontalAdvance(lines.back()), room)
                << lines.back().toStdString();
        }
        return kIdOk;
    };
    ShowHelp(modal, nullptr, GetParam());
    ASSERT_EQ(modal.dialogs, std::vector<QString>{"CHelpDlg"});
    const HelpTopic* topic = GetHelpTopic(GetParam());
    QStringList expected;
    for (int i = 1; topic && i < topic->count; ++i) {
        expected << QString::fromLatin1(topic->lines[i]);
    }
    EXPECT_EQ(heading, topic ? QString::fromLatin1(topic->lines[0]) : QString());
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(lines.isEmpty(), topic == nullptr);
}

INSTANTIATE_TEST_SUITE_P(Topics, HelpDialog, testing::Range(-1, kHelpTopicCount + 1),
                         [](const testing::TestParamInfo<int>& info) {
                             return info.param < 0 ? std::string("Negative")
                                                   : "Topic" + std::to_string(info.param);
                         });

TEST(HelpDialog, OkReturnsOne) {
    CAnsweringModalRunner modal;
    modal.onDialog = [](QDialog& dialog) {
        QTest::mouseClick(dialog.findChild<QPushButton*>("1"), Qt::LeftButton);
        return dialog.result();
    };
    CHelpDlg dialog;
    EXPECT_EQ(modal.RunDialog(dialog), kIdOk);
}

TEST(NoticeDialog, ShowsItsStringsWithOkAloneAndReturnsOne) {
    CAnsweringModalRunner modal;
    QString text;
    bool secondVisible = true;
    QString okText;
    modal.onDialog = [&](QDialog& dialog) {
        auto& notice = static_cast<CNoticeDlg&>(dialog);
        text = notice.Text();
        secondVisible = notice.SecondButton()->isVisible();
        okText = notice.OkButton()->text();
        QTest::mouseClick(notice.OkButton(), Qt::LeftButton);
        return dialog.result();
    };
    CNoticeDlg notice;
    notice.Set(65039, 65022, 0, "!");
    EXPECT_EQ(modal.RunDialog(notice), kIdOk);
    EXPECT_EQ(text, QString(LoadString(65039)) + LoadString(65022) + "!");
    EXPECT_FALSE(secondVisible);
    EXPECT_EQ(okText, "Ok");
    EXPECT_TRUE(notice.windowFlags() & Qt::FramelessWindowHint);
}

TEST(NoticeDialog, StringNumberZeroMeansNone) {
    CAnsweringModalRunner modal;
    QString text;
    modal.onDialog = [&](QDialog& dialog) {
        text = static_cast<CNoticeDlg&>(dialog).Text();
        return kIdOk;
    };
    CNoticeDlg notice;
    notice.Set(0, 0, 0, "only this");
    modal.RunDialog(notice);
    EXPECT_EQ(text, "only this");
}

TEST(AboutDialog, ATapAnywhereClosesIt) {
    CAnsweringModalRunner modal;
    bool closed = false;
    modal.onDialog = [&](QDialog& dialog) {
        // On the build label, which must not swallow the tap.
        QTest::mouseClick(dialog.findChild<QLabel*>("build"), Qt::LeftButton);
        closed = !dialog.isVisible();
        return dialog.result();
    };
    CAboutDlg about;
    EXPECT_EQ(modal.RunDialog(about), kIdOk);
    EXPECT_TRUE(closed);
    EXPECT_EQ(about.windowTitle(), "About ArdelRemote");
}

// The pictures are built into the program, so the dialogs never depend on files.
TEST(AboutDialog, BuiltInPicturesAreThere) {
    EXPECT_EQ(BuiltInBitmap(187).isNull(), false);
    EXPECT_EQ(BuiltInBitmap(189).size(), QSize(200, 120));
    EXPECT_EQ(BuiltInBitmap(198).size(), QSize(220, 69));
    EXPECT_TRUE(BuiltInBitmap(1).isNull());
}

TEST(HelpBar, OnlyTheInformationButtonOpensHelpOnItsTopic) {
    CAnsweringModalRunner modal;
    int topic = -1;
    modal.onDialog = [&](QDialog& dialog) {
        topic = static_cast<CHelpDlg&>(dialog).Topic();
        return kIdOk;
    };
    QWidget host;
    CHelpBar bar(modal, kHelpHomeDevices, &host);
    // Its buttons: every action but the room that pushes the last one to the right.
    QList<QAction*> actions;
    for (QAction* action : bar.actions()) {
        if (!qobject_cast<QWidgetAction*>(action)) {
            actions.push_back(action);
        }
    }
    ASSERT_EQ(actions.size(), CHelpBar::kButtonCount);
    for (int i = 0; i < CHelpBar::kButtonCount - 1; ++i) {
        actions[i]->trigger();
    }
    EXPECT_TRUE(modal.dialogs.empty());
    actions.back()->trigger();
    EXPECT_EQ(modal.dialogs, std::vector<QString>{"CHelpDlg"});
    EXPECT_EQ(topic, kHelpHomeDevices);
}

TEST(ModalRunner, MessagesAreAnsweredAndRecorded) {
    CAnsweringModalRunner modal;
    modal.messageAnswer = kIdNo;
    EXPECT_EQ(modal.ShowMessage(nullptr, "Delete?", MessageButtons::YesNo), kIdNo);
    ASSERT_EQ(modal.messages.size(), 1u);
    EXPECT_EQ(modal.messages[0].text, "Delete?");
    EXPECT_EQ(modal.messages[0].buttons, MessageButtons::YesNo);
}

// The message box shows the icon it was asked for, and none unless asked.
TEST(ModalRunner, MessageBoxCarriesItsIcon) {
    const std::pair<MessageIcon, QMessageBox::Icon> cases[] = {
        {MessageIcon::None, QMessageBox::NoIcon},
        {MessageIcon::Information, QMessageBox::Information},
        {MessageIcon::Exclamation, QMessageBox::Warning},
        {MessageIcon::Question, QMessageBox::Question},
        {MessageIcon::Stop, QMessageBox::Critical},
    };
    for (const auto& [icon, shown] : cases) {
        QMessageBox box;
        SetUpMessageBox(box, "Text", "Title", MessageButtons::OkCancel, icon);
        EXPECT_EQ(box.icon(), shown) << int(icon);
        EXPECT_EQ(box.iconPixmap().isNull(), shown == QMessageBox::NoIcon) << int(icon);
        EXPECT_EQ(box.text(), "Text");
        EXPECT_EQ(box.windowTitle(), "Title");
        EXPECT_EQ(box.standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);
    }
}

// A question before a deletion or a replacement answers Enter with its negative button.
TEST(ModalRunner, QuestionsThatLoseDataDefaultToTheirNegativeAnswer) {
    struct Case {
        MessageButtons buttons;
        QMessageBox::StandardButtons shown;
        QMessageBox::StandardButton onEnter;
    };
    const Case cases[] = {
        {MessageButtons::YesNoDefaultNo, QMessageBox::Yes | QMessageBox::No, QMessageBox::No},
        {MessageButtons::OkCancelDefaultCancel, QMessageBox::Ok | QMessageBox::Cancel,
         QMessageBox::Cancel},
    };
    for (const Case& c : cases) {
        QMessageBox box;
        SetUpMessageBox(box, "Delete?", "Title", c.buttons, MessageIcon::None);
        EXPECT_EQ(box.standardButtons(), c.shown) << int(c.buttons);
        box.show();
        QTest::keyClick(&box, Qt::Key_Return);
        EXPECT_EQ(box.standardButton(box.clickedButton()), c.onEnter) << int(c.buttons);
    }
}

// Dialogs open centred over the program's window, wherever that window is, and a dialog
// near the screen's edge is pulled back onto the screen.
TEST(ModalRunner, DialogsOpenCentredOverTheProgram) {
    QWidget program;
    program.setGeometry(120, 60, 240, 300);
    program.show();
    CAnsweringModalRunner modal;
    std::vector<QPoint> offsets;
    modal.onDialog = [&](QDialog& dialog) {
        offsets.push_back(dialog.frameGeometry().center() - program.frameGeometry().center());
        return int(kIdOk);
    };
    ShowHelp(modal, &program, 1);
    CAboutDlg about(&program);
    modal.RunDialog(about);
    ShowNotice(modal, &program, 65039);
    ASSERT_EQ(offsets.size(), 3u);
    for (const QPoint& offset : offsets) {
        EXPECT_LE(offset.manhattanLength(), 2) << offset.x() << "," << offset.y();
    }
}

TEST(ModalRunner, CentredOverKeepsTheDialogOnTheScreen) {
    struct Case {
        QRect dialog, over;
        QPoint at;
    };
    const QRect screen(0, 0, 800, 600);
    const Case cases[] = {
        {QRect(0, 0, 100, 50), QRect(200, 100, 300, 200), QPoint(299, 174)},  // centred
        {QRect(0, 0, 200, 100), QRect(700, 550, 100, 50), QPoint(600, 500)},  // at the corner
        {QRect(0, 0, 200, 100), QRect(-50, -40, 100, 60), QPoint(0, 0)},      // off the top left
        {QRect(0, 0, 900, 700), QRect(100, 100, 200, 200), QPoint(0, 0)},     // larger than it
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CentredOver(c.dialog, c.over, screen), c.at) << c.over.x() << "," << c.over.y();
    }
}

TEST(ModalRunner, FittingZoomIsTheLargestAtWhichTheDialogFits) {
    struct Case {
        QSize inside;
        QMargins frame;
        int zoom;
        QSize room;
        int fits;
    };
    const Case cases[] = {
        {{240, 300}, {}, 3, {426, 341}, 3},             // fits as it is
        {{247, 355}, {}, 3, {426, 341}, 2},             // a little too high
        {{247, 330}, {2, 20, 2, 2}, 3, {426, 341}, 2},  // fits only without its title bar
        {{624, 412}, {}, 3, {426, 341}, 2},             // too wide as well
        {{900, 900}, {}, 3, {426, 341}, 1},             // never fits: the smallest zoom
        {{300, 300}, {}, 1, {100, 100}, 1},             // not zoomed at all
        {{280, 280}, {}, 4, {141, 141}, 2},             // 280 / 4 * 2 = 140 fits
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FittingZoom(c.inside, c.frame, c.zoom, c.room), c.fits)
            << c.inside.width() << "x" << c.inside.height() << " at " << c.zoom;
    }
}

// Zooming a dialog scales what it was built of: places and sizes of its controls, the fonts
// set on them (and the dialog's, which the others take), icons and list columns.
TEST(ModalRunner, ZoomDialogScalesControlsFontsAndColumns) {
    QDialog dialog;
    dialog.setFixedSize(300, 240);
    auto* label = new QLabel("Title", &dialog);
    label->setGeometry(10, 20, 280, 30);
    QFont big("Arial");
    big.setPixelSize(18);
    label->setFont(big);
    auto* button = new QPushButton("OK", &dialog);
    button->setGeometry(200, 200, 90, 30);
    button->setIconSize(QSize(16, 16));
    auto* list = new QListWidget(&dialog);
    list->setGeometry(10, 60, 280, 120);
    auto* tree = new QTreeWidget(&dialog);
    tree->setColumnCount(2);
    tree->setColumnWidth(0, 120);
    const QFont before = dialog.font();

    ZoomDialog(dialog, 0.5);
    EXPECT_EQ(dialog.size(), QSize(150, 120));
    EXPECT_EQ(dialog.minimumSize(), QSize(150, 120));

    // A help bar along the bottom keeps the height its buttons need: the dialog grows by it.
    QDialog barred;
    barred.setFixedSize(300, 240);
    CAnsweringModalRunner modal;
    auto* bar = new CHelpBar(modal, 0, &barred);
    const int barHeight = bar->sizeHint().height();
    bar->setGeometry(0, 240 - barHeight, 300, barHeight);
    ZoomDialog(barred, 0.5);
    EXPECT_GE(bar->height(), bar->sizeHint().height());
    EXPECT_EQ(bar->geometry().bottom(), barred.height() - 1);
    EXPECT_EQ(barred.minimumSize(), barred.size());
    EXPECT_EQ(label->geometry(), QRect(5, 10, 140, 15));
    EXPECT_EQ(label->font().pixelSize(), 9);
    EXPECT_EQ(button->geometry(), QRect(100, 100, 45, 15));
    EXPECT_EQ(button->iconSize(), QSize(8, 8));
    EXPECT_EQ(list->geometry(), QRect(5, 30, 140, 60));
    EXPECT_EQ(tree->columnWidth(0), 60);
    // The button has no font of its own: it takes the dialog's, zoomed.
    if (before.pixelSize() > 0) {
        EXPECT_EQ(button->font().pixelSize(), (before.pixelSize() + 1) / 2);
    } else {
        EXPECT_DOUBLE_EQ(button->font().pointSizeF(), before.pointSizeF() / 2);
    }
}

// The help bar keeps its information button at its right edge, whatever room it has: wide,
// just wide enough for all nine buttons, too narrow for them, and zoomed down with its dialog.
// The empty buttons give way from the last one; the bar never folds the information button
// away behind its overflow arrow.
TEST(HelpBar, InformationButtonSitsAtTheRightEdge) {
    struct Case {
        int width;
        double zoom;  // the dialog zoomed by this factor after it was built
    };
    const Case cases[] = {{400, 1.0}, {243, 1.0},       {160, 1.0},
                          {60, 1.0},  {243, 2.0 / 3.0}, {300, 0.5}};
    for (const Case& c : cases) {
        const std::string where = std::to_string(c.width) + " at " + std::to_string(c.zoom);
        QDialog dialog;
        CAnsweringModalRunner modal;
        auto* bar = new CHelpBar(modal, 0, &dialog);
        const int height = bar->sizeHint().height();
        dialog.setFixedSize(c.width, 100 + height);
        bar->setGeometry(0, 100, c.width, height);
        ZoomDialog(dialog, c.zoom);
        dialog.show();
        QCoreApplication::processEvents();
        QWidget* help = bar->widgetForAction(bar->HelpAction());
        ASSERT_NE(help, nullptr) << where;
        EXPECT_TRUE(help->isVisible()) << where;
        EXPECT_GE(help->geometry().right(), bar->width() - 8) << where;
        EXPECT_LE(help->geometry().right(), bar->width() - 1) << where;
        const auto* more = bar->findChild<QToolButton*>("qt_toolbar_ext_button");
        EXPECT_TRUE(!more || !more->isVisible()) << where;
        for (QAction* action : bar->actions()) {
            QWidget* button = bar->widgetForAction(action);
            if (action != bar->HelpAction() && button && button->isVisible()) {
                EXPECT_LT(button->geometry().right(), help->geometry().left()) << where;
            }
        }
    }
}

// Balanced lines: as many lines as plain wrapping, none wider than the room, the words in
// their order, and the words spread so that no sentence ends with a word alone.
TEST(BalancedLines, SpreadsTheWordsOverTheLinesPlainWrappingNeeds) {
    QFont font("Arial");
    font.setPixelSize(12);
    font.setBold(true);
    const QFontMetrics metrics(font);
    const int promptWidth = metrics.horizontalAdvance("Press and hold button on the") + 2;
    struct Case {
        const char* text;
        int width;
        QStringList lines;  // empty: check only the rules above
    };
    const Case cases[] = {
        {"Press and hold button on the remote",
         promptWidth,
         {"Press and hold", "button on the remote"}},
        {"Press and hold button on the remote\nONCE AGAIN\nuntil handheld produces a beep sound.",
         metrics.horizontalAdvance("until handheld produces a beep") + 2,
         {}},
        {"short", 400, {"short"}},
        {"two\n\nparagraphs", 400, {"two", "", "paragraphs"}},
        {"", 100, {""}},
        {"a Supercalifragilistic word", metrics.horizontalAdvance("Supercal"), {}},
        {"If ArdelRemote won't receive any IR signals in 20 sec, learning will be canceled.",
         promptWidth,
         {}},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        const QStringList lines = BalancedLines(text, metrics, c.width).split('\n');
        const std::string where = c.text;
        if (!c.lines.isEmpty()) {
            EXPECT_EQ(lines, c.lines) << where;
        }
        EXPECT_EQ(lines.join(' ').simplified(), QString(text).replace('\n', ' ').simplified())
            << where;
        int plainLines = 0;
        for (const QString& paragraph : text.split('\n')) {
            QString line;
            int count = 0;
            for (const QString& word : paragraph.split(' ', Qt::SkipEmptyParts)) {
                const QString longer = line.isEmpty() ? word : line + ' ' + word;
                if (!line.isEmpty() && metrics.horizontalAdvance(longer) > c.width) {
                    ++count;
                    line = word;
                } else {
                    line = longer;
                }
            }
            plainLines += std::max(1, count + (line.isEmpty() ? 0 : 1));
        }
        EXPECT_EQ(lines.size(), plainLines) << where;
        for (const QString& line : lines) {
            if (line.contains(' ')) {
                EXPECT_LE(metrics.horizontalAdvance(line), c.width) << where;
            }
        }
    }
}

// A dialog that does not fit on the screen at the program's zoom opens at the largest zoom
// that fits, centred; one that fits keeps its size.
TEST(ModalRunner, DialogTooLargeForTheScreenOpensSmaller) {
    QWidget program;
    program.setGeometry(100, 100, 240, 300);
    program.show();
    const QSize room = program.screen()->availableGeometry().size();
    struct Case {
        QSize size;
        int zoom;
        QSize opens;
    };
    const Case cases[] = {
        {room / 2, 2, room / 2},                                // fits
        {room + QSize(20, 20), 2, (room + QSize(20, 20)) / 2},  // half fits
        {QSize(room.width() / 2, room.height() + 30), 3,        // two thirds fit
         QSize(room.width() / 3, (room.height() + 30) * 2 / 3)},
    };
    for (const Case& c : cases) {
        QDialog dialog(&program);
        dialog.setFixedSize(c.size);
        CAnsweringModalRunner modal;
        modal.SetZoom(c.zoom);
        QRect shown;
        QSize inside;
        modal.onDialog = [&](QDialog& running) {
            shown = running.frameGeometry();
            inside = running.size();
            return int(kIdOk);
        };
        modal.RunDialog(dialog);
        EXPECT_LE(std::abs(inside.width() - c.opens.width()), 1) << c.zoom;
        EXPECT_LE(std::abs(inside.height() - c.opens.height()), 1) << c.zoom;
        EXPECT_TRUE(program.screen()->availableGeometry().contains(shown)) << c.zoom;
    }
}

// The file dialogs are drawn without the program's zoom: their text at its own size, inside
// the screen, over the program.
TEST(ModalRunner, FileDialogsAreNotZoomed) {
    QWidget program;
    program.setGeometry(100, 100, 240, 300);
    program.show();
    QDialog dialog(&program);
    auto* label = new QLabel("File name:", &dialog);
    QFont font("Arial");
    font.setPixelSize(36);
    label->setFont(font);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(label);
    auto* files = new QTreeWidget(&dialog);
    files->setColumnCount(2);
    files->setColumnWidth(0, 120);
    layout->addWidget(files);
    dialog.resize(program.screen()->availableGeometry().size() * 2);
    PlaceOnShow(dialog, 3, DialogZoom::None);
    dialog.show();
    EXPECT_EQ(label->font().pixelSize(), 12);
    EXPECT_EQ(files->columnWidth(0), 120);  // the file dialog sizes its columns itself
    EXPECT_TRUE(program.screen()->availableGeometry().contains(dialog.frameGeometry()));
    EXPECT_TRUE(dialog.frameGeometry().contains(program.frameGeometry().center()));
}

// Qt's own file dialog, drawn without the program's zoom, lists the file names alone: its
// detail columns kept their zoomed headers and cut every cell to a letter or two.
TEST(ModalRunner, FileDialogUnzoomedListsNamesAlone) {
    QWidget program;
    program.setGeometry(100, 100, 240, 300);
    program.show();
    for (const int zoom : {1, 3}) {
        QFileDialog dialog(&program, "Import");
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setViewMode(QFileDialog::Detail);  // not the one Qt remembers from before
        PlaceOnShow(dialog, zoom, DialogZoom::None);
        dialog.show();
        EXPECT_EQ(dialog.viewMode(), zoom > 1 ? QFileDialog::List : QFileDialog::Detail) << zoom;
        dialog.hide();
    }
}

// A dialog that sizes itself as it is shown is centred by the size it takes then.
TEST(ModalRunner, DialogIsPlacedAfterItSizesItself) {
    class Growing : public QDialog {
      public:
        using QDialog::QDialog;

      protected:
        void showEvent(QShowEvent* event) override {
            setFixedSize(300, 200);
            QDialog::showEvent(event);
        }
    };
    QWidget program;
    program.setGeometry(150, 120, 240, 300);
    program.show();
    Growing dialog(&program);
    dialog.setFixedSize(40, 40);
    CAnsweringModalRunner modal;
    QPoint offset(100, 100);
    modal.onDialog = [&](QDialog& running) {
        offset = running.frameGeometry().center() - program.frameGeometry().center();
        return int(kIdOk);
    };
    modal.RunDialog(dialog);
    EXPECT_LE(offset.manhattanLength(), 2) << offset.x() << "," << offset.y();
}

// Each runner tells its own watchers, around every dialog and message it runs, and a
// watcher that has left is told nothing more.
TEST(ModalRunner, WatchersOfTheRunnerAreToldAroundEachRun) {
    struct Watcher : ModalWatcher {
        std::vector<std::string>* log;
        std::string name;
        Watcher(std::vector<std::string>* l, std::string n) : log(l), name(std::move(n)) {}
        void ModalStarted() override { log->push_back(name + " started"); }
        void ModalEnded() override { log->push_back(name + " ended"); }
    };
    std::vector<std::string> log;
    CAnsweringModalRunner modal, other;
    Watcher watcher(&log, "w"), elsewhere(&log, "x");
    modal.AddWatcher(&watcher);
    modal.AddWatcher(&watcher);  // once only
    other.AddWatcher(&elsewhere);
    modal.onDialog = [&](QDialog&) {
        log.push_back("dialog");
        return int(kIdOk);
    };
    CHelpDlg dialog;
    modal.RunDialog(dialog);
    modal.ShowMessage(nullptr, "Text");
    EXPECT_EQ(log,
              (std::vector<std::string>{"w started", "dialog", "w ended", "w started", "w ended"}));
    log.clear();
    modal.RemoveWatcher(&watcher);
    modal.ShowMessage(nullptr, "Text");
    EXPECT_TRUE(log.empty());
}

// A dialog closed without a choice (Escape, window close) counts as Cancel.
TEST(ModalRunner, ClosingWithoutAChoiceIsCancel) {
    CAnsweringModalRunner modal;
    modal.onDialog = [](QDialog& dialog) {
        dialog.reject();
        return dialog.result();
    };
    CHelpDlg dialog;
    EXPECT_EQ(modal.RunDialog(dialog), kIdCancel);
}

}  // namespace

// Messages that are written as sentences end with their full stop, including
// those whose last words are an address.
TEST(Messages, SentencesEndWithAFullStop) {
    for (const int id : {65039, 65046, 65054, 65056, 65057}) {
        const QString text = QString::fromUtf8(LoadString(id));
        EXPECT_TRUE(text.endsWith('.')) << id << ": " << text.toStdString();
    }
}
