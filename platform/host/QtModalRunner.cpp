#include "platform/host/QtModalRunner.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QFileDialog>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>

namespace {

// Marks a dialog whose placing is arranged, so that a dialog run twice is placed once.
const char* const kPlacedProperty = "ardelPlacedOverProgram";

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

}  // namespace

// Tells the watchers of one modal run, its start now and its end with the object. A watcher
// may remove itself (or another) while it is told, so each telling goes over a copy.
class ModalRunner::Run {
  public:
    explicit Run(const std::vector<ModalWatcher*>& watchers) : watchers_(watchers) {
        for (ModalWatcher* watcher : std::vector<ModalWatcher*>(watchers_)) {
            watcher->ModalStarted();
        }
    }
    ~Run() {
        for (ModalWatcher* watcher : std::vector<ModalWatcher*>(watchers_)) {
            watcher->ModalEnded();
        }
    }
    Run(const Run&) = delete;
    Run& operator=(const Run&) = delete;

  private:
    const std::vector<ModalWatcher*>& watchers_;
};

void ModalRunner::AddWatcher(ModalWatcher* watcher) {
    if (watcher && std::find(watchers_.begin(), watchers_.end(), watcher) == watchers_.end()) {
        watchers_.push_back(watcher);
    }
}

void ModalRunner::RemoveWatcher(ModalWatcher* watcher) {
    std::erase(watchers_, watcher);
}

int ModalRunner::RunDialog(QDialog& dialog) {
    if (!dialog.property(kPlacedProperty).toBool()) {
        dialog.setProperty(kPlacedProperty, true);
        new CPlacer(dialog);
    }
    const Run run(watchers_);
    return CancelIfNoChoice(ExecDialog(dialog));
}

int ModalRunner::ShowMessage(QWidget* parent, const QString& text, MessageButtons buttons,
                             const QString& title, MessageIcon icon) {
    const Run run(watchers_);
    return ExecMessage(parent, text, title, buttons, icon);
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

QString ModalRunner::OpenFileName(QWidget* parent, const QString& title, const QString& filters) {
    const Run run(watchers_);
    return ExecOpenFile(parent, title, filters);
}

QString ModalRunner::SaveFileName(QWidget* parent, const QString& title, const QString& suggested,
                                  const QString& filters, QString& selectedFilter) {
    const Run run(watchers_);
    return ExecSaveFile(parent, title, suggested, filters, selectedFilter);
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

int CQtModalRunner::ExecDialog(QDialog& dialog) {
    return dialog.exec();
}

int CQtModalRunner::ExecMessage(QWidget* parent, const QString& text, const QString& title,
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

QString CQtModalRunner::ExecOpenFile(QWidget* parent, const QString& title,
                                     const QString& filters) {
    return QFileDialog::getOpenFileName(parent, title, QString(), filters);
}

QString CQtModalRunner::ExecSaveFile(QWidget* parent, const QString& title,
                                     const QString& suggested, const QString& filters,
                                     QString& selectedFilter) {
    return QFileDialog::getSaveFileName(parent, title, suggested, filters, &selectedFilter);
}
