// The one road by which message boxes and modal dialogs are run.
//
// On the desktop a dialog runs its own nested event loop; tests install a runner that
// answers each dialog and message at once, after looking at it, so no test races a timer.
#pragma once

#include <QPoint>
#include <QRect>
#include <QString>
#include <functional>
#include <vector>

class QDialog;
class QWidget;

// Results as the dialogs and message boxes report them.
enum DialogResult { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

enum class MessageButtons { Ok, OkCancel, YesNo };
// The picture beside a message's text.
enum class MessageIcon { None, Information, Exclamation, Question, Stop };

class QMessageBox;
// Sets up `box` as a message: title, text, buttons and icon.
void SetUpMessageBox(QMessageBox& box, const QString& text, const QString& title,
                     MessageButtons buttons, MessageIcon icon);

class ModalRunner {
  public:
    virtual ~ModalRunner() = default;

    // Runs `dialog` modally; its result, where a dialog closed without a choice is Cancel.
    virtual int RunDialog(QDialog& dialog) = 0;
    virtual int ShowMessage(QWidget* parent, const QString& text, const QString& title,
                            MessageButtons buttons, MessageIcon icon) = 0;
};

// The runner in use: Qt's own until another is installed.
ModalRunner& GetModalRunner();
// Installs `runner` (not owned; nullptr returns to Qt's) and returns the previous one.
ModalRunner* SetModalRunner(ModalRunner* runner);

// Told whenever a dialog or message box starts and ends its modal run, whichever runner
// runs it: a press that opened a dialog ends unseen by the window behind it, since the
// release goes to the dialog (or nowhere) while it is up.
class ModalWatcher {
  public:
    virtual ~ModalWatcher() = default;
    virtual void ModalStarted() = 0;
    virtual void ModalEnded() = 0;
};
// Watchers are not owned; each removes itself before it dies.
void AddModalWatcher(ModalWatcher* watcher);
void RemoveModalWatcher(ModalWatcher* watcher);

// Where a dialog or message box opens: centred over the window of the program that opened
// it (its parent's window, else the active one), kept on that window's screen. Done as the
// dialog is shown, once its own size is known, and the same with or without a window
// manager. Every dialog and message box run through the seam is placed so.
QPoint CentredOver(const QRect& dialog, const QRect& over, const QRect& screen);
void PlaceOverProgram(QWidget& dialog);

// Shorthands through the runner in use.
int RunModal(QDialog& dialog);
int ShowMessage(QWidget* parent, const QString& text, MessageButtons buttons = MessageButtons::Ok,
                const QString& title = "ArdelRemote", MessageIcon icon = MessageIcon::None);

// Runs dialogs for real with QDialog::exec and QMessageBox.
class CQtModalRunner : public ModalRunner {
  public:
    int RunDialog(QDialog& dialog) override;
    int ShowMessage(QWidget* parent, const QString& text, const QString& title,
                    MessageButtons buttons, MessageIcon icon) override;
};

// Answers every dialog and message at once, and remembers them. The dialog is shown
// (as exec would) before `onDialog` sees it, so it has set itself up; the handler may
// look at it or click in it and returns the dialog's result.
class CAnsweringModalRunner : public ModalRunner {
  public:
    struct Message {
        QString text;
        QString title;
        MessageButtons buttons;
        MessageIcon icon;
    };

    CAnsweringModalRunner();
    ~CAnsweringModalRunner() override;
    CAnsweringModalRunner(const CAnsweringModalRunner&) = delete;
    CAnsweringModalRunner& operator=(const CAnsweringModalRunner&) = delete;

    int RunDialog(QDialog& dialog) override;
    int ShowMessage(QWidget* parent, const QString& text, const QString& title,
                    MessageButtons buttons, MessageIcon icon) override;

    std::function<int(QDialog&)> onDialog;  // default: answer OK
    int messageAnswer = kIdOk;
    std::vector<QString> dialogs;  // class names of the dialogs run, in order
    std::vector<Message> messages;

  private:
    ModalRunner* previous_;  // installed for the runner's lifetime
};
