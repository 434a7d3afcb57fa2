// The greeting shown at start-up until the user asks not to see it again: a full-screen
// picture drawn by one skin form with three tap areas, "1" (close and open the help), "2"
// (just close) and "3" (the check box that turns the greeting off for later starts).
//
// The form is composed at the handheld's 240 x 320 pixels and shown scaled by a whole
// factor; pen positions are divided by the same factor, like the remote window's.
#pragma once

#include <QDialog>
#include <QImage>
#include <QString>
#include <memory>

class ModalRunner;
class CSkinForm;
class RemoteFiles;
class Sound;

class CGreetingDlg : public QDialog {
    Q_OBJECT

  public:
    static constexpr int kDialogResource = 109;
    // The ids of the three tap areas; "1" and "2" are also the dialog's results.
    static constexpr int kHelpArea = 1;
    static constexpr int kCloseArea = 2;
    static constexpr int kCheckBoxArea = 3;

    // `folder` is the program's base folder, ending in a backslash; the pictures are
    // "Greeting_Activ.png" and "Greeting_Pressed.png" in its "Skins\" folder.
    // `modal` tells a missing picture.
    CGreetingDlg(RemoteFiles* files, ModalRunner& modal, const QString& folder, int scale = 1,
                 QWidget* parent = nullptr);
    ~CGreetingDlg() override;

    // Set until the user ticks the check box; the caller reads it after the dialog ends.
    bool showAgain = true;
    // Where the taps are heard; null for silence.
    Sound* sound = nullptr;

    // The greeting form while the dialog runs, null before it starts and after it ends.
    CSkinForm* Form() { return form_.get(); }
    const QString& Folder() const { return folder_; }
    int Scale() const { return scale_; }
    // The code the last pen-down gave (an element's id, or -2 for none).
    int LastPenDownCode() const { return lastPenDown_; }

    // The pen in handheld pixels, as the mouse events deliver it.
    void PenDown(int x, int y);
    void PenUp();

    // Ends the dialog; a close without a choice (Escape, the window closed, a missing
    // picture) counts as "2". The form and its pictures go with it.
    void done(int result) override;

  protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

  private:
    void Start();

    RemoteFiles* files_;
    ModalRunner& modal_;
    QString folder_;
    int scale_;
    std::unique_ptr<CSkinForm> form_;
    int lastPenDown_ = -2;
};
