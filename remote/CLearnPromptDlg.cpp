#include "remote/CLearnPromptDlg.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "resources/dialogs/DialogUnits.h"
#include "resources/dialogs/TextFit.h"

namespace {

// A command the dialog posts to itself, like a private window message.
class CommandEvent : public QEvent {
  public:
    static QEvent::Type Kind() {
        static const auto kind = static_cast<QEvent::Type>(QEvent::registerEventType());
        return kind;
    }
    explicit CommandEvent(int command) : QEvent(Kind()), command(command) {}
    const int command;
};

// Where the five texts sit, one below the other, and how many lines each holds.
constexpr int kTextLines[CLearnPromptDlg::kTextCount] = {1, 1, 3, 2, 3};

}  // namespace

CLearnPromptDlg::CLearnPromptDlg(std::function<int()> read, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), read_(std::move(read)) {
    setStyleSheet("CLearnPromptDlg { border: 1px solid black; }");
    for (int i = 0; i < kTextCount; ++i) {
        auto* text = new QLabel(this);
        text->setObjectName(QString::number(kFirstTextId + i));
        text->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        text->setWordWrap(true);
        texts_[static_cast<size_t>(i)] = text;
    }
    code_ = new QPushButton("Code...", this);
    code_->setFont(Arial(12, true));
    code_->setAutoDefault(false);
    code_->setFocusPolicy(Qt::NoFocus);
    connect(code_, &QPushButton::clicked, this, &CLearnPromptDlg::OnCode);
    PlaceTexts();
}

void CLearnPromptDlg::PlaceTexts() {
    // Each text has at least the lines of the layout, and as many more as its wrapped
    // words take; the texts below it, the button and the dialog move down with it.
    int top = DluY(4);
    for (int i = 0; i < kTextCount; ++i) {
        QLabel* text = texts_[static_cast<size_t>(i)];
        const QRect room = DluRect(4, 0, 144, 9 * kTextLines[i]);
        const int height = std::max(room.height(), text->heightForWidth(room.width()));
        text->setGeometry(room.x(), top, room.width(), height);
        top += height + DluY(2);
    }
    code_->setGeometry(QRect(QPoint(DluX(52), top), DluRect(0, 0, 48, 12).size()));
    setFixedSize(DluX(152), std::max(DluY(94), top + DluY(12 + 4)));
}

void CLearnPromptDlg::OnCode() {
    codeChosen_ = true;
    if (!captureStarted_) {
        // Not reading yet: the read is not started at all.
        captureStarted_ = true;
        captureResult_ = kByCode;
        done(kByCode);
    }
}

QString CLearnPromptDlg::Text(int index) const {
    return index >= 0 && index < kTextCount ? texts_[static_cast<size_t>(index)]->text()
                                            : QString();
}

void CLearnPromptDlg::showEvent(QShowEvent* event) {
    static const char* const kTitles[] = {"READING IR SIGNAL", "READING THE FIRST IR SIGNAL",
                                          "READING THE SECOND IR SIGNAL"};
    texts_[0]->setText(kTitles[step >= 0 && step <= 2 ? step : 0]);
    texts_[1]->setText("of the button " + name);
    SetBalancedText(texts_[2], step == 2 ? "Press and hold button on the remote\nONCE AGAIN\nuntil "
                                           "handheld produces a beep sound."
                                         : "Press and hold button on the remote\nuntil handheld "
                                           "produces a beep sound.");
    SetBalancedText(texts_[3], "On hearing the beep,\nrelease the button on remote.");
    SetBalancedText(
        texts_[4],
        "If ArdelRemote won't receive any IR signals in 20 sec, learning will be canceled.");
    PlaceTexts();
    QDialog::showEvent(event);
}

void CLearnPromptDlg::paintEvent(QPaintEvent* event) {
    QDialog::paintEvent(event);
    // The capture blocks everything; it starts only once the prompt is on the screen.
    QCoreApplication::postEvent(this, new CommandEvent(kCaptureCommand));
}

bool CLearnPromptDlg::event(QEvent* event) {
    if (event->type() == CommandEvent::Kind()) {
        if (static_cast<CommandEvent*>(event)->command == kCaptureCommand && !captureStarted_) {
            captureStarted_ = true;
            RunCapture();
        }
        return true;
    }
    return QDialog::event(event);
}

void CLearnPromptDlg::RunCapture() {
    int result = read_ ? read_() : kNotCaptured;
    // A click on "Code..." made while the read blocked the program is still queued; it
    // counts, and then what the read heard (or did not hear) does not.
    QCoreApplication::processEvents();
    if (codeChosen_) {
        result = kByCode;
    }
    captureResult_ = result;
    done(result);
}
