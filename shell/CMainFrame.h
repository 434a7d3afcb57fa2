// The main window: the menu bar (the normal menu, or the reduced one while a codebase is
// being learnt), the base folder in which the program's data lies, and the routing of every
// menu command, either to a dialog that the frame opens itself or, through the view, to the
// remote window. Key presses in the window reach the remote window's key queue first.
#pragma once

#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include "store/Catalogue.h"

class CRemoteView;
class QAction;
class QMenu;
class CKeyboardHardKeys;
class HardKeys;
class CRemoteModel;
class ModalRunner;
class Registry;

class CMainFrame : public QMainWindow {
    Q_OBJECT

  public:
    // Command numbers of the menus.
    static constexpr int kHomeDevices = 32839;
    static constexpr int kHardButtons = 32802;
    static constexpr int kHelp = 32803;
    static constexpr int kAbout = 57664;
    static constexpr int kExit = 32840;
    static constexpr int kIrSetup = 32870;
    static constexpr int kCodeCollections = 32880;
    static constexpr int kHomeAutomation = 32895;
    static constexpr int kSave = 32846;
    static constexpr int kLoad = 32847;
    static constexpr int kUseSounds = 32848;
    static constexpr int kStopLearning = 32841;
    static constexpr int kNextButtonByCode = 32843;
    static constexpr int kFirstPreferenceSet = 20000;
    static constexpr int kPreferenceSets = 5;
    // Commands without a menu item of their own.
    static constexpr int kStandardHelp = 57670;
    static constexpr int kExitAlias = 32771;

    static constexpr int kNormalMenu = 128;
    static constexpr int kLearningMenu = 204;

    // `programPath` is the handheld path of the program file; `registry` serves IR Setup;
    // `keys` is the hardware-key service and `keyboard` the keyboard keys that play the
    // handheld's keys (in the program, the same object); `modal` runs the frame's dialogs.
    CMainFrame(const QString& programPath, Registry& registry, CRemoteModel& model, HardKeys& keys,
               CKeyboardHardKeys& keyboard, ModalRunner& modal, QWidget* parent = nullptr);
    ~CMainFrame() override;

    // Checks the hardware-key service once (open, query, close), as the frame is created.
    void CheckHardKeys();

    // The LIRC devices that IR Setup offers beside the serial ports ("lirc:/dev/lirc0 ...").
    std::function<std::vector<std::string>()> lircEntries;
    // How the title names the IR in use; the title is "ArdelRemote (<that>)".
    std::function<QString()> describeIr;
    // The device root's folder on the host, where "Home automation..." keeps its settings.
    QString deviceRoot;
    // Writes the title again, after the IR in use may have changed.
    void UpdateTitle();

    QString GetBaseFolder() const { return folders_.baseFolder; }
    const HandheldFolders& Folders() const { return folders_; }
    void SetView(CRemoteView* view);
    CRemoteView* View() const { return view_; }

    // Replaces the menu bar by menu 128 or 204; the "Use Sounds" mark follows the remote
    // window's setting.
    void RebuildMenuBar(int menu);
    void UpdateSoundsCheck(bool on);
    // Shows the names, each with its command, as the last entries of "Preferences".
    void SetPreferenceEntries(const QStringList& names, const std::vector<int>& commands);

    // Carries out a command as the menu would.
    void OnCommand(int command);

    // The menu bar's menu number, 0 when there is none.
    int MenuNumber() const { return menuNumber_; }
    // The item with a command number in the current menu bar; null when there is none.
    QAction* FindCommand(int command) const;
    // The top-level menu with that title; null when there is none.
    QMenu* FindMenu(const QString& title) const;
    // Whether "Exit" has asked the message loop to end.
    bool ExitRequested() const { return exitRequested_; }
    // Ends the message loop without saving anything more (the remote window saved its state
    // as it closed).
    void EndProgram();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void Exit();
    void CancelModes();

    HandheldFolders folders_;
    Registry& registry_;
    CRemoteModel& model_;
    HardKeys& keys_;
    CKeyboardHardKeys& keyboard_;
    ModalRunner& modal_;
    CRemoteView* view_ = nullptr;
    int menuNumber_ = 0;
    bool exitRequested_ = false;
};
