// Every label of every dialog shows its whole text: wrapped at the label's width in the
// label's font, the text stays inside the label, and no label lies under an input field.
// The program runs this once at its natural size and once at twice the size
// (QT_SCALE_FACTOR=2), where fonts and rounding differ.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTextLayout>
#include <cmath>
#include <functional>
#include <memory>

#include "model/CRemoteModel.h"
#include "platform/Registry.h"
#include "platform/host/HostHandheldFs.h"
#include "remote/CAddByCodeDlg.h"
#include "remote/CConfirmDlg.h"
#include "remote/CLearnPromptDlg.h"
#include "resources/dialogs/CAboutDlg.h"
#include "resources/dialogs/CHelpDlg.h"
#include "resources/dialogs/CNoticeDlg.h"
#include "shell/CHardButtonsDlg.h"
#include "shell/CHomeDevicesDlg.h"
#include "shell/CIrSetupDlg.h"
#include "shell/ImportExport.h"
#include "store/dialogs/CCodebaseDlg.h"
#include "store/dialogs/CLoadPreferenceDlg.h"
#include "store/dialogs/CSavePreferenceDlg.h"
#include "tests/remote/RemoteWindowFixture.h"
#include "tests/support/TempFolder.h"

namespace {

struct Fixture {
    TempFolder root;
    HostHandheldFs files{root.Path().string()};
    std::unique_ptr<CRemoteModel> model;
    CMemoryRegistry registry;
    CUnansweredModalRunner modal;
    Fixture() {
        RemoteServices services;
        services.fs = &files;
        model = std::make_unique<CRemoteModel>(services);
    }
};

struct DialogCase {
    const char* label;
    std::function<std::unique_ptr<QDialog>(Fixture&)> make;
    bool arialLabels;  // every label of the dialog is set in the "Arial" face
};

void PrintTo(const DialogCase& c, std::ostream* os) {
    *os << c.label;
}

std::unique_ptr<QDialog> Prompt(Fixture& fixture, int step) {
    (void)fixture;
    auto prompt = std::make_unique<CLearnPromptDlg>(nullptr);
    prompt->step = step;
    prompt->name = "Channel Down";
    return prompt;
}

template <class Dialog>
std::unique_ptr<QDialog> Plain(Fixture&) {
    return std::make_unique<Dialog>();
}

std::unique_ptr<QDialog> Help(Fixture&, int topic) {
    auto help = std::make_unique<CHelpDlg>();
    help->SetTopic(topic);
    return help;
}

std::unique_ptr<QDialog> Notice(Fixture&) {
    auto notice = std::make_unique<CNoticeDlg>();
    notice->Set(65039, 0, 0, QString());
    return notice;
}

std::unique_ptr<QDialog> Confirm(const QString& message) {
    auto confirm = std::make_unique<CConfirmDlg>();
    confirm->message = message;
    confirm->cancelShown = message.isEmpty();
    return confirm;
}

std::unique_ptr<QDialog> Codebase(Fixture& fixture, int mode) {
    auto codebase = std::make_unique<CCodebaseDlg>(fixture.files, fixture.modal);
    codebase->mode = mode;
    codebase->category = mode == CCodebaseDlg::kCreate ? -1 : 0;
    codebase->name = "Living Room";
    return codebase;
}

// A label's text as the user reads it, for the failure report.
struct ShownText {
    QString name;
    QString text;
    QRect rect;  // in the dialog's coordinates
    QFont font;
    int flags;
};

std::vector<ShownText> Labels(QDialog& dialog) {
    std::vector<ShownText> shown;
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        if (!label->isVisible() || label->text().isEmpty() || !label->pixmap().isNull()) {
            continue;
        }
        const QRect inside = label->contentsRect().translated(label->mapTo(&dialog, QPoint()));
        shown.push_back({label->objectName(), label->text(), inside, label->font(),
                         label->wordWrap() ? int(Qt::TextWordWrap) : 0});
    }
    if (auto* codebase = qobject_cast<CCodebaseDlg*>(&dialog)) {
        for (const CCodebaseDlg::PaintedLabel& painted : codebase->PaintedLabels()) {
            shown.push_back({"painted", painted.text, painted.rect, painted.font, 0});
        }
    }
    return shown;
}

class TextFit : public testing::TestWithParam<DialogCase> {};

// Shows `dialog` and checks every label it shows; `name` tells which dialog failed.
void CheckLabels(QDialog& dialog, const char* name, bool arialLabels) {
    // Shown, but left before any event is handled: the learning prompt starts its read
    // only once it has painted itself.
    dialog.show();
    const std::vector<ShownText> labels = Labels(dialog);
    ASSERT_FALSE(labels.empty()) << name;
    std::vector<QWidget*> inputs;
    for (QWidget* input : dialog.findChildren<QComboBox*>()) {
        inputs.push_back(input);
    }
    for (QWidget* input : dialog.findChildren<QLineEdit*>()) {
        if (!qobject_cast<QComboBox*>(input->parentWidget())) {
            inputs.push_back(input);
        }
    }
    for (const ShownText& label : labels) {
        const QString where = QString("%1, label %2, \"%3\"").arg(name, label.name, label.text);
        const QRect needed =
            QFontMetrics(label.font)
                .boundingRect(QRect(label.rect.topLeft(), QSize(label.rect.width(), 10000)),
                              label.flags, label.text);
        EXPECT_LE(needed.width(), label.rect.width()) << where.toStdString();
        EXPECT_LE(needed.height(), label.rect.height()) << where.toStdString();
        EXPECT_LE(label.rect.bottom(), dialog.rect().bottom()) << where.toStdString();
        // The text as drawn, not the whole label, must stay clear of the fields.
        const QRect drawn =
            QFontMetrics(label.font).boundingRect(label.rect, label.flags, label.text);
        for (QWidget* input : inputs) {
            if (input->isVisible()) {
                const QRect field(input->mapTo(&dialog, QPoint()), input->size());
                EXPECT_FALSE(drawn.intersects(field))
                    << where.toStdString() << " under " << input->metaObject()->className();
            }
        }
        if (arialLabels) {
            EXPECT_EQ(label.font.family(), "Arial") << where.toStdString();
        }
    }
}

// Every push button shows its whole text in its font, clear of its frame ("Rename" ran under
// the frame of its button at the handheld's size).
void CheckButtons(QDialog& dialog, const char* name) {
    dialog.show();
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (!button->isVisible() || button->text().isEmpty()) {
            continue;
        }
        QStyleOptionButton option;
        option.initFrom(button);
        const int frame =
            button->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, button);
        const int needed =
            QFontMetrics(button->font()).horizontalAdvance(button->text().remove('&')) +
            2 * (frame + 1);
        EXPECT_LE(needed, button->width())
            << name << ", button \"" << button->text().toStdString() << "\"";
    }
}

TEST_P(TextFit, EveryButtonShowsItsWholeText) {
    Fixture fixture;
    std::unique_ptr<QDialog> dialog = GetParam().make(fixture);
    CheckButtons(*dialog, GetParam().label);
}

TEST_P(TextFit, EveryLabelShowsItsWholeText) {
    Fixture fixture;
    std::unique_ptr<QDialog> dialog = GetParam().make(fixture);
    CheckLabels(*dialog, GetParam().label, GetParam().arialLabels);
}

// Run through the program's runner, each dialog opens centred over the program's window, once
// it has sized itself for what it shows, and inside the screen.
void CheckPlacement(QDialog& dialog, const char* name) {
    QWidget program;
    // Low enough on the screen that the tallest dialog (Home Devices) fits centred over it.
    program.setGeometry(40, 60, 240, 300);
    program.show();
    dialog.setParent(&program, dialog.windowFlags());
    CAnsweringModalRunner modal;
    // Zoomed as the program is (QT_SCALE_FACTOR), so a dialog too large for the screen at that
    // zoom is drawn smaller.
    modal.SetZoom(int(std::lround(program.devicePixelRatioF())));
    QRect shown;
    modal.onDialog = [&shown](QDialog& running) {
        shown = running.frameGeometry();
        return int(kIdCancel);
    };
    modal.RunDialog(dialog);
    const QPoint offset = shown.center() - program.frameGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 2) << name << ": " << offset.x() << "," << offset.y();
    EXPECT_TRUE(program.screen()->availableGeometry().contains(shown)) << name;
    dialog.setParent(nullptr);
}

TEST_P(TextFit, OpensCentredOverTheProgram) {
    Fixture fixture;
    std::unique_ptr<QDialog> dialog = GetParam().make(fixture);
    CheckPlacement(*dialog, GetParam().label);
}

// The lines of a label as it wraps them: each explicit line broken at the label's width.
QStringList WrappedLines(const QLabel& label) {
    QStringList lines;
    for (const QString& paragraph : label.text().split('\n')) {
        QTextLayout layout(paragraph, label.font());
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(label.contentsRect().width());
            lines.push_back(paragraph.mid(line.textStart(), line.textLength()).trimmed());
        }
        layout.endLayout();
    }
    return lines;
}

const QString kLongConfirmation =
    "Learnt: the button Channel Down of the codebase Living Room, a signal of 34 pulses "
    "repeated every 108 ms. The handheld's own receiver heard it back as sent.";

std::unique_ptr<QDialog> Question(int stringId) {
    auto confirm = std::make_unique<CConfirmDlg>();
    confirm->stringId = stringId;
    return confirm;
}

struct WrapCase {
    const char* label;
    std::function<std::unique_ptr<QDialog>(Fixture&)> make;
    std::vector<int> textIds;  // the wrapped labels
};

void PrintTo(const WrapCase& c, std::ostream* os) {
    *os << c.label;
}

class WrappedText : public testing::TestWithParam<WrapCase> {};

// Wrapped texts leave no word alone on a line below a longer line of the same sentence
// ("Press and hold button on the / remote", "the button on the / remote / and press
// Continue.").
TEST_P(WrappedText, LeavesNoLoneWords) {
    Fixture fixture;
    std::unique_ptr<QDialog> dialog = GetParam().make(fixture);
    dialog->show();
    for (const int id : GetParam().textIds) {
        auto* label = dialog->findChild<QLabel*>(QString::number(id));
        ASSERT_NE(label, nullptr) << id;
        const QStringList lines = WrappedLines(*label);
        if (auto* confirm = qobject_cast<CConfirmDlg*>(dialog.get())) {
            // Broken into other lines, but every word kept.
            EXPECT_EQ(lines.join(' '), confirm->ShownText().simplified());
        }
        for (const QString& line : lines) {
            EXPECT_TRUE(line.contains(' '))
                << "text " << id << ": \"" << line.toStdString() << "\" alone in \""
                << lines.join(" / ").toStdString() << "\"";
        }
    }
}

const std::vector<int> kPromptTexts = {CLearnPromptDlg::kFirstTextId + 2,
                                       CLearnPromptDlg::kFirstTextId + 3,
                                       CLearnPromptDlg::kFirstTextId + 4};

INSTANTIATE_TEST_SUITE_P(
    Dialogs, WrappedText,
    testing::Values(WrapCase{"PromptSingle", [](Fixture& f) { return Prompt(f, 0); }, kPromptTexts},
                    WrapCase{"PromptFirst", [](Fixture& f) { return Prompt(f, 1); }, kPromptTexts},
                    WrapCase{"PromptSecond", [](Fixture& f) { return Prompt(f, 2); }, kPromptTexts},
                    WrapCase{"FirstSignalRead",
                             [](Fixture&) { return Question(kStrFirstSignalRead); },
                             {CConfirmDlg::kTextId}},
                    WrapCase{"LowerFormNotLearnt",
                             [](Fixture&) { return Question(kStrLowerFormNotLearnt); },
                             {CConfirmDlg::kTextId}},
                    WrapCase{"AfterLearning",
                             [](Fixture&) { return Confirm(kLongConfirmation); },
                             {CConfirmDlg::kTextId}}),
    [](const testing::TestParamInfo<WrapCase>& info) { return std::string(info.param.label); });

INSTANTIATE_TEST_SUITE_P(
    Dialogs, TextFit,
    testing::Values(
        DialogCase{"learning prompt, single", [](Fixture& f) { return Prompt(f, 0); }, false},
        DialogCase{"learning prompt, first", [](Fixture& f) { return Prompt(f, 1); }, false},
        DialogCase{"learning prompt, second", [](Fixture& f) { return Prompt(f, 2); }, false},
        DialogCase{"confirmation 65033", [](Fixture&) { return Confirm(QString()); }, false},
        DialogCase{"after-learning confirmation",
                   [](Fixture&) { return Confirm(kLongConfirmation); }, false},
        DialogCase{"codebase, create",
                   [](Fixture& f) { return Codebase(f, CCodebaseDlg::kCreate); }, true},
        DialogCase{"codebase, relearn",
                   [](Fixture& f) { return Codebase(f, CCodebaseDlg::kRelearn); }, true},
        DialogCase{"codebase, rename",
                   [](Fixture& f) { return Codebase(f, CCodebaseDlg::kRename); }, true},
        DialogCase{"codebase, category",
                   [](Fixture& f) { return Codebase(f, CCodebaseDlg::kCategory); }, true},
        DialogCase{"save preferences",
                   [](Fixture& f) -> std::unique_ptr<QDialog> {
                       return std::make_unique<CSavePreferenceDlg>(f.modal, &f.files);
                   },
                   false},
        DialogCase{"load preferences",
                   [](Fixture& f) -> std::unique_ptr<QDialog> {
                       return std::make_unique<CLoadPreferenceDlg>(*f.model, f.modal);
                   },
                   true},
        DialogCase{"IR setup",
                   [](Fixture& f) -> std::unique_ptr<QDialog> {
                       return std::make_unique<CIrSetupDlg>(f.registry, *f.model);
                   },
                   false},
        DialogCase{"notice 65039", Notice, false}, DialogCase{"About", Plain<CAboutDlg>, false},
        DialogCase{"Help, remote", [](Fixture& f) { return Help(f, 0); }, false},
        DialogCase{"Help, codebase", [](Fixture& f) { return Help(f, 4); }, false},
        DialogCase{"add by code",
                   [](Fixture& f) -> std::unique_ptr<QDialog> {
                       return std::make_unique<CAddByCodeDlg>(f.modal);
                   },
                   false},
        DialogCase{"import category", Plain<CImportCategoryDlg>, false}),
    [](const testing::TestParamInfo<DialogCase>& info) {
        std::string name;
        for (const char c : std::string(info.param.label)) {
            if (std::isalnum(static_cast<unsigned char>(c))) {
                name += c;
            }
        }
        return name;
    });

// The dialogs that work on the remote window.
struct WindowDialogCase {
    const char* label;
    std::function<std::unique_ptr<QDialog>(CDUWnd&, ModalRunner&, HandheldFs&)> make;
    bool arialLabels;
};

void PrintTo(const WindowDialogCase& c, std::ostream* os) {
    *os << c.label;
}

class WindowTextFit : public RemoteWindowTest,
                      public testing::WithParamInterface<WindowDialogCase> {};

TEST_P(WindowTextFit, EveryLabelShowsItsWholeText) {
    std::unique_ptr<QDialog> dialog = GetParam().make(*window, modal, *fs);
    CheckLabels(*dialog, GetParam().label, GetParam().arialLabels);
}

TEST_P(WindowTextFit, EveryButtonShowsItsWholeText) {
    std::unique_ptr<QDialog> dialog = GetParam().make(*window, modal, *fs);
    CheckButtons(*dialog, GetParam().label);
}

TEST_P(WindowTextFit, OpensCentredOverTheProgram) {
    std::unique_ptr<QDialog> dialog = GetParam().make(*window, modal, *fs);
    CheckPlacement(*dialog, GetParam().label);
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, WindowTextFit,
    testing::Values(WindowDialogCase{"Home Devices, all",
                                     [](CDUWnd& window, ModalRunner& modal,
                                        HandheldFs& fs) -> std::unique_ptr<QDialog> {
                                         static const HandheldFolders folders;
                                         return std::make_unique<CHomeDevicesDlg>(window, modal, fs,
                                                                                  folders, 0);
                                     },
                                     true},
                    WindowDialogCase{"Hard Buttons",
                                     [](CDUWnd& window, ModalRunner& modal,
                                        HandheldFs&) -> std::unique_ptr<QDialog> {
                                         return std::make_unique<CHardButtonsDlg>(window, modal);
                                     },
                                     true}),
    [](const testing::TestParamInfo<WindowDialogCase>& info) {
        std::string name;
        for (const char c : std::string(info.param.label)) {
            if (std::isalnum(static_cast<unsigned char>(c))) {
                name += c;
            }
        }
        return name;
    });

}  // namespace
