// The remote window: a view of the remote model. It draws the twelve skin forms of the
// remote, one of them on the screen, and turns the pen and the hardware keys into the
// model's operations; the state itself (hot codebases, keys, sounds, preference files,
// learning mode) lives in the model.
//
// The window composes its picture at the handheld's 240 x 268 pixels and shows it scaled
// by a whole factor; pen positions are divided by the same factor, so every rectangle and
// hit test stays in handheld pixels.
#pragma once

#include <QBasicTimer>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "model/CRemoteModel.h"
#include "remote/CCodebaseSelector.h"
#include "remote/CSkinForm.h"
#include "resources/Strings.h"
#include "store/PrefFile.h"

class CPenGate;
class ModalRunner;
class RemoteFiles;

class CDUWnd : public QWidget, private ButtonActions {
    Q_OBJECT

  public:
    static constexpr int kControlId = 1234;
    static constexpr int kAutoReleaseTimerId = 1001;
    static constexpr int kAutoReleaseMs = 1000;
    static constexpr int kFocusSinkId = 100111;
    static constexpr int kNormalMenu = 128;
    static constexpr int kLearningMenu = 204;
    static constexpr int kStopLearningQuestion = kStrLowerFormNotLearnt;
    static constexpr int kSendFailureString = kStrDriverError;

    // What the window asks of the program around it. Unset hooks do nothing.
    struct Hooks {
        // The main frame's menu bar: 128 in normal mode, 204 while learning.
        std::function<void(int menu)> switchMenu;
        // The Home Devices dialog for a category, run modally.
        std::function<void(int category)> openHomeDevices;
        // The Hard Buttons dialog, run modally.
        std::function<void()> openHardButtons;
        // The preference-set entries of the main frame's menu: texts and command numbers.
        std::function<void(const QStringList& texts, const std::vector<int>& commands)>
            setPreferenceEntries;
        // The codebases of a category for the selector, in catalogue order.
        std::function<std::vector<CodebaseChoice>(int category)> listCodebases;
        // Tells that the state could not be kept in the preference file `fileName`.
        std::function<void(const QString& fileName)> reportNotSaved;
        // The remote window has closed (its state saved): the program ends.
        std::function<void()> closed;
    };

    // A key message as the main frame hands it on.
    struct KeyMessage {
        bool keyDown = true;
        uint16_t keyCode = 0;
    };
    // The private message that works the key queue off.
    static constexpr int kKeyQueueMessage = 1025;
    // The first command number of the preference-set entries of the menu.
    static constexpr int kFirstPreferenceCommand = 20000;

    // `modal` runs every dialog and message box of the window and its forms.
    CDUWnd(CRemoteModel& model, RemoteFiles* files, ModalRunner& modal, int scale = 1,
           QWidget* parent = nullptr);
    ~CDUWnd() override;

    Hooks hooks;

    CRemoteModel& Model() const { return model_; }

    // Builds the twelve forms over `baseFolder` (ending in a backslash) and the preference
    // file, then loads the saved state (form 0 when nothing is saved) and the used list.
    void BuildForms(const QString& baseFolder, const QString& prefFile);

    // Makes form `form` current; -1 leaves no form current (and releases its pictures).
    void SelectForm(int form);
    // Begins or ends learning mode in the model; the window shows it as the model tells.
    void SetLearningMode(bool on);
    void StopLearning();
    // While learning: the next button tapped is given its signal from a code (a dialog asks
    // for the protocol, address and command) instead of being read from the remote.
    void SetNextButtonByCode(bool on) { nextByCode_ = on; }
    bool NextButtonByCode() const { return nextByCode_; }
    void UpdateCategoryTabs();
    // Takes the model's hot codebases into the forms and shows the model's form, after the
    // model's state was replaced or changed by a dialog.
    void ShowModel();
    void HideSelector();
    // Sets the model's key-capture switch and applies it.
    void SetKeyCapture(bool on);
    // Applies the model's key-capture switch, telling a failure of the keys once.
    void ApplyKeyCapture();
    // Switches the sounds of the remote.
    void SetSounds(bool on);
    // Called for every key-down message: keeps one message while capture is on and posts
    // the private message that sends its assigned button.
    void QueueKeyMessage(const KeyMessage& message);
    int QueuedKeyCount() const { return keyQueueCount_; }
    // Sends `button` of `form` through that form's own hot codebase, whatever is shown.
    void PressAssigned(int form, int button);

    // Saves the model's state, telling the user when that failed; false then.
    bool SaveState();
    // Hands the used list's names, without extension, to the menu.
    void RebuildPreferenceEntries();
    // Opens the selector for the current category.
    void OpenSelector();

    // The form, or null outside 0..11.
    CSkinForm* GetForm(int form);
    // Empty when the form or the index is out of range.
    QString ButtonName(int form, int index);
    // -3 for a form out of range, -2 for an index out of range.
    int ElementKindOf(int form, int index);

    int CurrentForm() const { return currentForm_; }
    // Whether a form could not load its skin: the window closes as soon as the event at
    // hand is done, and nothing more is started.
    bool Ending() const { return ending_; }
    CSkinForm* Current() { return GetForm(currentForm_); }
    bool RepaintPending() const { return repaintPending_; }
    bool PressInProgress() const { return pressInProgress_; }
    bool AutoReleaseRunning() const { return autoRelease_.isActive(); }
    // The timer that releases a held button after kAutoReleaseMs.
    int AutoReleaseTimerId() const { return autoRelease_.timerId(); }
    int Scale() const { return scale_; }
    CCodebaseSelector* Selector() { return selector_; }
    CPenGate& PenGate() { return *gate_; }
    QWidget* FocusSink() { return focusSink_; }
    // The picture last shown, in handheld pixels.
    QImage Picture() const;

    // The pen in handheld pixels, as the mouse events deliver it.
    void PenDown(int x, int y);
    void PenUp();
    void PenMove(int x, int y);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void customEvent(QEvent* event) override;

  private:
    bool nextByCode_ = false;
    // ButtonActions: sending in normal mode, learning in learning mode.
    void ButtonDown(CSkinForm& form, int index) override;
    bool ButtonUp(CSkinForm& form, int index) override;

    void RequestRepaint();
    // Shows the canvas of the current form at once, as drawn so far.
    void PresentNow();
    void StopAutoRelease();
    void ChooseCodebase(int category, const QString& path);
    // Shows a category's hot codebase from the model on both its forms.
    void ShowHot(int category);
    // Shows learning mode as the model has it, on the forms of the category on the screen.
    void ShowLearning(bool on);
    void LeaveLearning(int category);
    void WorkOffKeyQueue();
    // Sends a button that has been prepared; messages a failure. `repeat` as CIrDriver::Send.
    // Sends a button of `form` while it stays held, with the click before the send.
    void SendButton(CSkinForm& form, int index, PressSource source);

    CRemoteModel& model_;
    RemoteFiles* files_;
    ModalRunner& modal_;
    int scale_;
    std::array<std::unique_ptr<CSkinForm>, kFormCount> forms_;
    int currentForm_ = -1;
    bool repaintPending_ = false;
    bool pressInProgress_ = false;
    bool releaseDeferred_ = false;
    bool presentOnly_ = false;
    bool keyFailureShown_ = false;
    bool ending_ = false;
    bool ownSend_ = false;  // a send of the window's own press is under way
    KeyMessage keyQueue_;
    int keyQueueCount_ = 0;
    QPoint pressPoint_;
    QBasicTimer autoRelease_;
    CCodebaseSelector* selector_;
    QWidget* focusSink_;
    CPenGate* gate_;
};
