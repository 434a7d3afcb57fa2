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
#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <vector>

#include "CCodebaseSelector.h"
#include "CSkinForm.h"

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
        // Hardware-key capture on or off, re-applied on every paint.
        std::function<void(bool on)> applyKeyCapture;
        // The codebases of a category for the selector, in catalogue order.
        std::function<std::vector<CodebaseChoice>(int category)> listCodebases;
        // The saved state: loading selects the saved form; saving runs on close.
        std::function<void(CDUWnd& window)> loadState;
        std::function<void(CDUWnd& window)> saveState;
    };

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
    void SetKeyCapture(bool on) { keyCapture_ = on; }
    bool KeyCapture() const { return keyCapture_; }
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
    QPoint pressPoint_;
    QBasicTimer autoRelease_;
    CCodebaseSelector* selector_;
    QWidget* focusSink_;
    CPenGate* gate_;
};
