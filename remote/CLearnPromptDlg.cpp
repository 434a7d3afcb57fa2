#include "remote/CLearnPromptDlg.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "model/IrRead.h"
#include "resources/StringText.h"
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

QPushButton* MakeButton(const QString& text, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setFont(Arial(12, true));
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

}  // namespace

CLearnPromptDlg::CLearnPromptDlg(CIrRead* read, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), read_(read) {
    setStyleSheet("CLearnPromptDlg { border: 1px solid black; }");
    for (int i = 0; i < kTextCount; ++i) {
        auto* text = new QLabel(this);
        text->setObjectName(QString::number(kFirstTextId + i));
        text->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        text->setWordWrap(true);
        texts_[static_cast<size_t>(i)] = text;
    }
    timeOut_ = new QLabel(this);
    timeOut_->setObjectName(QString::number(kTimeOutId));
    timeOut_->setAlignment(Qt::AlignCenter);
    code_ = MakeButton("Code...", this);
    cancel_ = MakeButton("Cancel", this);
    stop_ = MakeButton("Stop Learning", this);
    connect(code_, &QPushButton::clicked, this, [this] { End(kByCode); });
    connect(cancel_, &QPushButton::clicked, this, [this] { End(kCancelled); });
    connect(stop_, &QPushButton::clicked, this, [this] { End(kStopLearning); });
    if (read_) {
        ShowSecondsLeft(read_->Seconds());
        connect(read_, &CIrRead::SecondsLeft, this, &CLearnPromptDlg::ShowSecondsLeft);
        connect(read_, &CIrRead::Ended, this, &CLearnPromptDlg::OnEnded);
    }
    PlaceTexts();
}

void CLearnPromptDlg::PlaceTexts() {
    // Each text has at least the lines of the layout, and as many more as its wrapped
    // words take; the texts below it, the buttons and the dialog move down with it.
    int top = DluY(4);
    for (int i = 0; i < kTextCount; ++i) {
        QLabel* text = texts_[static_cast<size_t>(i)];
        const QRect room = DluRect(4, 0, 144, 9 * kTextLines[i]);
        const int height = std::max(room.height(), text->heightForWidth(room.width()));
        text->setGeometry(room.x(), top, room.width(), height);
        top += height + DluY(2);
    }
    timeOut_->setGeometry(DluX(4), top, DluX(144), DluY(9));
    top += DluY(9 + 2);
    code_->setGeometry(QRect(QPoint(DluX(52), top), DluRect(0, 0, 48, 12).size()));
    top += DluY(12 + 3);
    cancel_->setGeometry(QRect(QPoint(DluX(4), top), DluRect(0, 0, 70, 12).size()));
    stop_->setGeometry(QRect(QPoint(DluX(78), top), DluRect(0, 0, 70, 12).size()));
    setFixedSize(DluX(152), std::max(DluY(94), top + DluY(12 + 4)));
}

QString CLearnPromptDlg::Text(int index) const {
    return index >= 0 && index < kTextCount ? texts_[static_cast<size_t>(index)]->text()
                                            : QString();
}

QString CLearnPromptDlg::TimeOutText() const {
    return timeOut_->text();
}

void CLearnPromptDlg::ShowSecondsLeft(int seconds) {
    timeOut_->setText(StringText(kStrSecondsLeft, {QString::number(seconds)}));
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
    // The read starts once the prompt is up; it runs on the worker, so the prompt and the
    // window behind it go on painting while it waits.
    QCoreApplication::postEvent(this, new CommandEvent(kCaptureCommand));
}

bool CLearnPromptDlg::event(QEvent* event) {
    if (event->type() == CommandEvent::Kind()) {
        if (static_cast<CommandEvent*>(event)->command == kCaptureCommand) {
            StartRead();
        }
        return true;
    }
    return QDialog::event(event);
}

void CLearnPromptDlg::StartRead() {
    if (started_ || choice_ != 0 || ended_) {
        return;
    }
    started_ = true;
    if (!read_) {
        OnEnded(kNotCaptured);
        return;
    }
    read_->Start();
}

void CLearnPromptDlg::End(int choice) {
    if (ended_ || choice_ != 0) {
        return;
    }
    choice_ = choice;
    if (!started_ || !read_) {
        // Not reading yet: the read is not started at all.
        ended_ = true;
        captureResult_ = choice;
        done(choice);
        return;
    }
    // The prompt closes when the driver has let go, within one slice of the read's time.
    code_->setEnabled(false);
    cancel_->setEnabled(false);
    stop_->setEnabled(false);
    read_->Cancel();
}

void CLearnPromptDlg::OnEnded(int result) {
    if (ended_) {
        return;
    }
    ended_ = true;
    captureResult_ = choice_ != 0 ? choice_ : result;
    done(captureResult_);
}
