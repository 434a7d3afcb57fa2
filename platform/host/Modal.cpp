#include "Modal.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>

namespace {

CQtModalRunner qtRunner;
ModalRunner* current = nullptr;

// Marks a dialog whose placing is arranged, so that a dialog run twice is placed once.
const char* const kPlacedProperty = "ardelPlacedOverProgram";

std::vector<ModalWatcher*>& Watchers() {
    static std::vector<ModalWatcher*> watchers;
    return watchers;
}

int CancelIfNoChoice(int result) {
    return result == QDialog::Rejected ? kIdCancel : result;
}

// Places its dialog each time the dialog is shown, before it reaches the screen.
class CPlacer : public QObject {
  public:
    explicit CPlacer(QWidget& dialog) : QObject(&dialog), dialog_(dialog) {
        dialog.installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &dialog_ && event->type() == QEvent::Show) {
            PlaceOverProgram(dialog_);
        }
        return false;
    }

  private:
    QWidget& dialog_;
};

// Tells the watchers of one modal run, its start now and its end with the object.
class ModalRun {
  public:
    ModalRun() {
        for (ModalWatcher* watcher : std::vector<ModalWatcher*>(Watchers())) {
            watcher->ModalStarted();
        }
    }
    ~ModalRun() {
        for (ModalWatcher* watcher : std::vector<ModalWatcher*>(Watchers())) {
            watcher->ModalEnded();
        }
    }
    ModalRun(const ModalRun&) = delete;
    ModalRun& operator=(const ModalRun&) = delete;
};

}  // namespace

ModalRunner& GetModalRunner() {
    return current ? *current : qtRunner;
}

ModalRunner* SetModalRunner(ModalRunner* runner) {
    ModalRunner* previous = current;
    current = runner;
    return previous;
}

void AddModalWatcher(ModalWatcher* watcher) {
    if (watcher && std::find(Watchers().begin(), Watchers().end(), watcher) == Watchers().end()) {
        Watchers().push_back(watcher);
    }
}

void RemoveModalWatcher(ModalWatcher* watcher) {
    std::erase(Watchers(), watcher);
}

QPoint CentredOver(const QRect& dialog, const QRect& over, const QRect& screen) {
    QPoint at = over.center() - QPoint(dialog.width() / 2, dialog.height() / 2);
    if (!screen.isEmpty()) {
        // A dialog larger than the screen keeps its top-left corner, and its title, in sight.
        at.setX(std::max(screen.left(), std::min(at.x(), screen.right() + 1 - dialog.width())));
        at.setY(std::max(screen.top(), std::min(at.y(), screen.bottom() + 1 - dialog.height())));
    }
    return at;
}

void PlaceOverProgram(QWidget& dialog) {
    QWidget* over = dialog.parentWidget() ? dialog.parentWidget()->window() : nullptr;
    if (!over) {
        over = QApplication::activeWindow();
    }
    if (!over || over == &dialog || !over->isVisible()) {
        return;
    }
    const QRect outer = over->frameGeometry();
    const QScreen* screen = over->screen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    dialog.move(CentredOver(dialog.frameGeometry(), outer, available));
}

int RunModal(QDialog& dialog) {
    if (!dialog.property(kPlacedProperty).toBool()) {
        dialog.setProperty(kPlacedProperty, true);
        new CPlacer(dialog);
    }
    const ModalRun run;
    return GetModalRunner().RunDialog(dialog);
}

int ShowMessage(QWidget* parent, const QString& text, MessageButtons buttons, const QString& title,
                MessageIcon icon) {
    const ModalRun run;
    return GetModalRunner().ShowMessage(parent, text, title, buttons, icon);
}

void SetUpMessageBox(QMessageBox& box, const QString& text, const QString& title,
                     MessageButtons buttons, MessageIcon icon) {
    box.setWindowTitle(title);
    box.setText(text);
    switch (buttons) {
        case MessageButtons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case MessageButtons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        case MessageButtons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
    }
    switch (icon) {
        case MessageIcon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
        case MessageIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MessageIcon::Exclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case MessageIcon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        case MessageIcon::Stop:
            box.setIcon(QMessageBox::Critical);
            break;
    }
}

int CQtModalRunner::RunDialog(QDialog& dialog) {
    return CancelIfNoChoice(dialog.exec());
}

int CQtModalRunner::ShowMessage(QWidget* parent, const QString& text, const QString& title,
                                MessageButtons buttons, MessageIcon icon) {
    QMessageBox box(parent);
    SetUpMessageBox(box, text, title, buttons, icon);
    new CPlacer(box);
    switch (box.exec()) {
        case QMessageBox::Ok:
            return kIdOk;
        case QMessageBox::Yes:
            return kIdYes;
        case QMessageBox::No:
            return kIdNo;
        default:
            return buttons == MessageButtons::YesNo ? kIdNo : kIdCancel;
    }
}

CAnsweringModalRunner::CAnsweringModalRunner() : previous_(SetModalRunner(this)) {}

CAnsweringModalRunner::~CAnsweringModalRunner() {
    SetModalRunner(previous_);
}

int CAnsweringModalRunner::RunDialog(QDialog& dialog) {
    dialogs.push_back(QString::fromLatin1(dialog.metaObject()->className()));
    dialog.show();
    const int result = onDialog ? onDialog(dialog) : kIdOk;
    dialog.hide();
    return CancelIfNoChoice(result);
}

int CAnsweringModalRunner::ShowMessage(QWidget*, const QString& text, const QString& title,
                                       MessageButtons buttons, MessageIcon icon) {
    messages.push_back({text, title, buttons, icon});
    return messageAnswer;
}
