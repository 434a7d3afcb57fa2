// The view inside the main window. It has no content of its own: on its first paint it
// creates the remote window and runs the start-up of the remote screen (forms, saved state,
// preference files, greeting, IR driver check); from then on the main frame reaches the
// remote window through it, for menu commands and key messages.
#pragma once

#include <QWidget>
#include <functional>

#include "remote/CDUWnd.h"
#include "resources/Strings.h"
#include "store/Catalogue.h"

class CMainFrame;
class HandheldFs;
class ModalRunner;
class RemoteFiles;

class CRemoteView : public QWidget {
    Q_OBJECT

  public:
    static constexpr int kNoDriverString = kStrNoDriver;

    // What the remote screen works with; everything must outlive the view.
    struct Services {
        CRemoteModel* model = nullptr;
        RemoteFiles* files = nullptr;
        int scale = 1;
        // Runs the greeting over the base folder; returns its result (1 asks for the
        // help) and tells whether it should come again next time.
        std::function<int(CDUWnd& window, bool& showAgain)> runGreeting;
        // The dialogs that the remote window opens for the menu and the remote screen.
        std::function<void(CDUWnd& window, int category)> homeDevices;
        std::function<void(CDUWnd& window)> hardButtons;
        std::function<void(CDUWnd& window)> savePreferenceSet;
        std::function<void(CDUWnd& window)> loadPreferenceSet;
        std::function<void(CDUWnd& window, int index)> applyUsedEntry;
        // Called once the saved state is loaded, before the greeting and the driver check.
        std::function<void(CDUWnd& window)> stateLoaded;
        // Called once the remote screen has started (after the driver check).
        std::function<void(CDUWnd& window)> started;
    };

    // `modal` runs the start-up's dialogs and messages and those of the remote window.
    CRemoteView(CMainFrame& frame, ModalRunner& modal, Services services,
                QWidget* parent = nullptr);
    ~CRemoteView() override;

    // The remote window; null until the first paint has started the remote screen.
    CDUWnd* Window() const { return window_; }
    // Creates the remote window and runs the start-up; does nothing the second time.
    void StartUp();

    // The main frame's commands, handed on to the remote window; without one, nothing.
    void SaveState();
    void StopLearning();
    // While learning, the next button tapped takes a code instead of a read.
    void NextButtonByCode();
    void LoadPreferenceSet();
    void SavePreferenceSet();
    void SetSounds(bool on);
    void HardButtons();
    void HomeDevices();
    void ApplyUsedEntry(int index);
    void QueueKeyMessage(const CDUWnd::KeyMessage& message);
    void HideSelector();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    CMainFrame& frame_;
    ModalRunner& modal_;
    Services services_;
    CDUWnd* window_ = nullptr;
    bool startRequested_ = false;
};
