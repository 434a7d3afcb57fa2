// The remote window: the twelve skin forms of the remote, one of them on the screen, the
// pen turned into presses and releases of their elements, the forms and categories, the
// hot codebase of each category, and learning mode.
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

#include "CCodebaseSelector.h"
#include "CSkinForm.h"
#include "PrefFile.h"

class CPenGate;
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
    static constexpr int kStopLearningQuestion = 65046;
    static constexpr int kSendFailureString = 65057;
    // The pause after a learnt (or abandoned) button, before the pen input is dropped.
    static constexpr int kLearnPauseMs = 500;

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
        // The state in the current preference file: loading selects the saved form; saving
        // runs on close and reports whether every value was written.
        std::function<void(CDUWnd& window)> loadState;
        std::function<bool(CDUWnd& window)> saveState;
        // The used list of preference sets in the used-list file.
        std::function<std::vector<QString>(CDUWnd& window)> loadUsedList;
        std::function<bool(CDUWnd& window)> saveUsedList;
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

    CDUWnd(RemoteFiles* files, int scale = 1, QWidget* parent = nullptr);
    ~CDUWnd() override;

    Hooks hooks;

    // Builds the twelve forms over `baseFolder` (ending in a backslash) and the preference
    // file, then loads the saved state (form 0 when nothing is saved).
    void BuildForms(const QString& baseFolder, const QString& prefFile);

    // Makes form `form` current; -1 leaves no form current (and releases its pictures).
    void SelectForm(int form);
    void SetLearningMode(bool on);
    void StopLearning();
    void UpdateCategoryTabs();
    void SetSounds(bool on);
    bool SoundsOn() const { return soundsOn_; }
    void HideSelector();
    // Stores the switch, then takes the hardware keys from the system (on) or gives them
    // back (off).
    void SetKeyCapture(bool on);
    bool KeyCapture() const { return keyCapture_; }
    // The assignments of the seven hardware-key slots; false for a slot outside 0..6.
    bool GetKeyAssignment(int slot, HardKeyAssignment& assignment) const;
    bool GetDefaultKeyAssignment(int slot, int& form, int& button) const;
    bool SetKeyAssignment(int slot, bool used, int form, int button);
    // Called for every key-down message: keeps one message while capture is on and posts
    // the private message that sends its assigned button.
    void QueueKeyMessage(const KeyMessage& message);
    int QueuedKeyCount() const { return keyQueueCount_; }
    // Sends `button` of `form` through that form's own hot codebase, whatever is shown.
    void PressAssigned(int form, int button);

    // The state in the current preference file and the used list of preference sets.
    void LoadState();
    bool SaveState();
    const QString& BaseFolder() const { return baseFolder_; }
    // The current preference file's name relative to the base folder, and switching it for
    // the window and all its forms.
    QString PreferenceFileName() const;
    void SwitchPreferenceFile(const QString& name);
    std::vector<QString>& UsedList() { return usedList_; }
    bool SaveUsedList();
    // Hands the used list's names, without extension, to the menu.
    void RebuildPreferenceEntries();
    // Whether the greeting has been turned off for later starts.
    bool greetingDone = false;
    // Opens the selector for the current category.
    void OpenSelector();

    // The form, or null outside 0..11.
    CSkinForm* GetForm(int form);
    // Empty when the form or the index is out of range.
    QString ButtonName(int form, int index);
    // -3 for a form out of range, -2 for an index out of range.
    int ElementKindOf(int form, int index);

    int CurrentForm() const { return currentForm_; }
    CSkinForm* Current() { return GetForm(currentForm_); }
    int RememberedForm(int category) const;
    void SetRememberedForm(int category, int which);
    bool LowerFormVisited() const { return lowerFormVisited_; }
    bool RepaintPending() const { return repaintPending_; }
    bool PressInProgress() const { return pressInProgress_; }
    bool AutoReleaseRunning() const { return autoRelease_.isActive(); }
    int Scale() const { return scale_; }
    const QString& PrefFile() const { return prefFile_; }
    CCodebaseSelector* Selector() { return selector_; }
    CPenGate& PenGate() { return *gate_; }
    QWidget* FocusSink() { return focusSink_; }
    // The picture last shown, in handheld pixels.
    QImage Picture() const;

    // The pen in handheld pixels, as the mouse events deliver it.
    void PenDown(int x, int y);
    void PenUp();
    void PenMove(int x, int y);

    // The pause that follows learning a button; tests shorten it.
    int learnPauseMs = kLearnPauseMs;

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
    // ButtonActions: sending in normal mode, learning in learning mode.
    void ButtonDown(CSkinForm& form, int index) override;
    bool ButtonUp(CSkinForm& form, int index) override;

    void RequestRepaint();
    // Shows the canvas of the current form at once, as drawn so far.
    void PresentNow();
    void StopAutoRelease();
    void ChooseCodebase(int category, const QString& path);
    void LeaveLearning(CSkinForm& form);
    void WorkOffKeyQueue();
    // Sends a button that has been prepared; messages a failure. `repeat` as CIrDriver::Send.
    void SendPrepared(CSkinForm& form, uint16_t repeat);

    RemoteFiles* files_;
    int scale_;
    std::array<std::unique_ptr<CSkinForm>, kFormCount> forms_;
    int currentForm_ = -1;
    QString baseFolder_;
    QString prefFile_;
    std::array<int, 6> rememberedForm_{};
    bool soundsOn_ = true;
    bool lowerFormVisited_ = false;
    bool repaintPending_ = false;
    bool pressInProgress_ = false;
    bool releaseDeferred_ = false;
    bool presentOnly_ = false;
    bool keyCapture_ = true;
    bool keyFailureShown_ = false;
    std::array<HardKeyAssignment, kHardKeyCount> keys_ = DefaultHardKeys();
    const std::array<HardKeyAssignment, kHardKeyCount> defaultKeys_ = DefaultHardKeys();
    KeyMessage keyQueue_;
    int keyQueueCount_ = 0;
    std::vector<QString> usedList_;
    QPoint pressPoint_;
    QBasicTimer autoRelease_;
    CCodebaseSelector* selector_;
    QWidget* focusSink_;
    CPenGate* gate_;
};
