#include "Modal.h"

#include <QDialog>
#include <QMessageBox>
#include <algorithm>

namespace {

CQtModalRunner qtRunner;
ModalRunner* current = nullptr;

std::vector<ModalWatcher*>& Watchers() {
    static std::vector<ModalWatcher*> watchers;
    return watchers;
}

int CancelIfNoChoice(int result) {
    return result == QDialog::Rejected ? kIdCancel : result;
}

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

int RunModal(QDialog& dialog) {
    const ModalRun run;
    return GetModalRunner().RunDialog(dialog);
}

int ShowMessage(QWidget* parent, const QString& text, MessageButtons buttons,
                const QString& title) {
    const ModalRun run;
    return GetModalRunner().ShowMessage(parent, text, title, buttons);
}

int CQtModalRunner::RunDialog(QDialog& dialog) {
    return CancelIfNoChoice(dialog.exec());
}

int CQtModalRunner::ShowMessage(QWidget* parent, const QString& text, const QString& title,
                                MessageButtons buttons) {
    QMessageBox box(parent);
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
                                       MessageButtons buttons) {
    messages.push_back({text, title, buttons});
    return messageAnswer;
}
