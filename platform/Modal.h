// The one road by which message boxes and modal dialogs are run.
//
// On the desktop a dialog runs its own nested event loop; tests hand in a runner that
// answers each dialog and message at once, after looking at it, so no test races a timer.
#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <vector>

class QDialog;
class QWidget;

// Results as the dialogs and message boxes report them.
enum DialogResult { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

// A question before something that cannot be undone (a deletion, a replacement) has its
// negative answer as the default, so that a hasty Enter keeps what is there.
enum class MessageButtons { Ok, OkCancel, YesNo, OkCancelDefaultCancel, YesNoDefaultNo };
// The picture beside a message's text.
enum class MessageIcon { None, Information, Exclamation, Question, Stop };

class QMessageBox;
// Sets up `box` as a message: title, text, buttons and icon.
void SetUpMessageBox(QMessageBox& box, const QString& text, const QString& title,
                     MessageButtons buttons, MessageIcon icon);

// Told whenever a dialog or message box starts and ends its modal run on the runner it
// watches: a press that opened a dialog ends unseen by the window behind it, since the
// release goes to the dialog (or nowhere) while it is up.
class ModalWatcher {
  public:
    virtual ~ModalWatcher() = default;
    virtual void ModalStarted() = 0;
    virtual void ModalEnded() = 0;
};

// Runs the program's dialogs and message boxes. The program owns one and hands it to
// whatever shows a dialog or a message; tests hand in one that answers at once.
class ModalRunner {
  public:
    ModalRunner() = default;
    virtual ~ModalRunner() = default;
    ModalRunner(const ModalRunner&) = delete;
    ModalRunner& operator=(const ModalRunner&) = delete;

    // Runs `dialog` modally, placed over the program; its result, where a dialog closed
    // without a choice is Cancel.
    int RunDialog(QDialog& dialog);
    int ShowMessage(QWidget* parent, const QString& text,
                    MessageButtons buttons = MessageButtons::Ok,
                    const QString& title = "ArdelRemote", MessageIcon icon = MessageIcon::None);

    // Asks for a file to read; empty when the user cancelled.
    QString OpenFileName(QWidget* parent, const QString& title, const QString& filters);
    // Asks for a file to write; empty when the user cancelled. `selectedFilter` comes in as
    // the filter offered first and goes out as the one chosen.
    QString SaveFileName(QWidget* parent, const QString& title, const QString& suggested,
                         const QString& filters, QString& selectedFilter);

    // Watchers are not owned; each removes itself before it dies.
    void AddWatcher(ModalWatcher* watcher);
    void RemoveWatcher(ModalWatcher* watcher);

    // The whole factor by which the program is zoomed (1 when it is not): a dialog too large
    // for the screen at this zoom is drawn at the largest smaller zoom that fits.
    int Zoom() const { return zoom_; }
    void SetZoom(int zoom) { zoom_ = zoom < 1 ? 1 : zoom; }

  protected:
    // The run itself, with the watchers told around it.
    virtual int ExecDialog(QDialog& dialog) = 0;
    virtual int ExecMessage(QWidget* parent, const QString& text, const QString& title,
                            MessageButtons buttons, MessageIcon icon) = 0;
    virtual QString ExecOpenFile(QWidget* parent, const QString& title, const QString& filters) = 0;
    virtual QString ExecSaveFile(QWidget* parent, const QString& title, const QString& suggested,
                                 const QString& filters, QString& selectedFilter) = 0;

  private:
    class Run;
    std::vector<ModalWatcher*> watchers_;
    int zoom_ = 1;
};

// A dialog's result as the runner reports it: a dialog closed without a choice is Cancel.
inline int CancelIfNoChoice(int result) {
    return result == 0 ? kIdCancel : result;
}

// Where a dialog or message box opens: centred over the window of the program that opened
// it (its parent's window, else the active one), kept inside its screen's available area.
// Done as the dialog is shown, after the dialog has sized itself, and the same with or without
// a window manager. Every dialog and message box run through the seam is placed so.
QPoint CentredOver(const QRect& dialog, const QRect& over, const QRect& screen);

// The largest whole zoom from `zoom` down to 1 at which a window whose inside is `inside` at
// `zoom` fits into `room` with its frame (which the window manager draws and no zoom grows);
// 1 when not even that fits.
int FittingZoom(QSize inside, const QMargins& frame, int zoom, QSize room);

// Draws `dialog` and everything in it `factor` times as large as it was built: geometry,
// fonts, icons and, with `columns`, the widths of list columns (a dialog that sizes its
// columns by itself, as the file dialogs do, keeps them). The dialog must not be shown yet
// or be handled as it shows.
void ZoomDialog(QWidget& dialog, double factor, bool columns = true);

// The frame the window manager draws around `dialog`: its own once it is on the screen, else
// as much as around the program's window (none for a frameless dialog).
QMargins FrameOf(const QWidget& dialog);

// How a dialog is drawn relative to the program's zoom.
enum class DialogZoom {
    Program,  // at the program's zoom, or the largest smaller one that fits the screen
    None,     // at no zoom at all (the desktop's own dialogs, such as the file dialogs)
};

// Places `dialog` over the program as it is shown, and first zooms it as `kind` says when the
// program is zoomed by `zoom`. Arranged once per dialog.
void PlaceOnShow(QWidget& dialog, int zoom, DialogZoom kind = DialogZoom::Program);
void PlaceOverProgram(QWidget& dialog);
