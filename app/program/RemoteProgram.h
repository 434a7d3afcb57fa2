// The whole program on a simulated handheld: the device root on the host, the handheld with
// the device remotes beside it, the seams installed, the main frame with its view.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>

#include "app/daemon/DaemonOptions.h"
#include "app/program/IrChoice.h"
#include "app/program/ProgramFiles.h"
#include "app/program/ProgramIr.h"
#include "store/PrefFile.h"

class CAlsaSound;
class CHandheldRemoteFiles;
class CRemoteModel;
class CKeyboardHardKeys;
class CPenGate;
class CMainFrame;
class ModalRunner;
class CQtModalRunner;
class HardKeys;
class CRemoteView;
class CEmitterLog;
class CServiceApi;
class CServiceRemote;
class CMqttNode;
class HostHandheldFs;
class SimHandheld;

struct ProgramOptions {
    QString root;             // the device root folder on the host
    QString chip = "pxa255";  // the simulated handheld's profile
    int scale = 0;            // whole-number zoom of the 240 x 268 screen; 0: fit the screen
    bool interactive = true;  // clock paced to real time, stylus = pointer, sound output
    bool version = false;     // --version: print the version and stop
    QString ir;               // --ir: "sim[:CHIP]" or "lirc[:TX[,RX]]"; empty: LIRC if found
    QString serve;            // --serve [ADDRESS:PORT]: where the HTTP API is served; empty: not
    QString emitterLog;       // --sim-emitter-log FILE
    MqttOptions mqtt;         // --mqtt and its companions, with --serve
};

// Reads the command line (without the program name). False with a message in `error`
// for a bad one; `help` is set for --help.
bool ParseProgramOptions(const QStringList& args, ProgramOptions& options, bool& help,
                         QString& error);
QString ProgramUsage();

class CRemoteProgram {
  public:
    // The options must name a known profile and a usable root (ParseProgramOptions and
    // InstallProgramFiles have checked them).
    // `hardKeys` stands in for the keyboard's hardware keys, and `modal` for the program's
    // own runner of dialogs and messages, where given (tests).
    explicit CRemoteProgram(const ProgramOptions& options, HardKeys* hardKeys = nullptr,
                            ModalRunner* modal = nullptr);
    // With the IR settled already (tests).
    CRemoteProgram(const ProgramOptions& options, const IrChoice& ir, HardKeys* hardKeys,
                   ModalRunner* modal = nullptr);
    ~CRemoteProgram();
    CRemoteProgram(const CRemoteProgram&) = delete;
    CRemoteProgram& operator=(const CRemoteProgram&) = delete;

    // Checks the hardware keys and shows the main window; the remote screen starts on its
    // first paint.
    void Show();

    // Serves the HTTP API and the web remote on this program's model while the window is
    // open; false with a message when it cannot listen there.
    // With a broker in `mqtt` or in the device root's settings file, the service is a node of
    // home automation as well.
    bool StartService(const QString& listen, QString& error, const MqttOptions& mqtt = {});
    // Appends a line for every send of the simulated handheld's emitter to `path`.
    bool OpenEmitterLog(const QString& path, QString& error);
    // Whether the LIRC transmitter that a port names can be used, with the reason when not;
    // asked once the saved IR is known (tests stand in for the devices).
    std::function<bool(const std::string& port, std::string& why)> lircUsable;

    CMainFrame& Frame() { return *frame_; }
    CRemoteView& View() { return *view_; }
    SimHandheld& Handheld() { return ir_->Handheld(); }
    HostHandheldFs& Fs() { return *fs_; }
    CRemoteModel& Model() { return *model_; }

  private:
    static IrChoice ChosenIr(const ProgramOptions& options);

    std::unique_ptr<CQtModalRunner> qtModal_;
    ModalRunner* modal_;  // the program's runner, or the one handed in
    std::unique_ptr<HostHandheldFs> fs_;
    std::unique_ptr<CHandheldRemoteFiles> files_;
    std::unique_ptr<CProgramIr> ir_;
    std::unique_ptr<CKeyboardHardKeys> keys_;
    std::unique_ptr<CAlsaSound> sound_;
    std::unique_ptr<CRemoteModel> model_;
    std::unique_ptr<CMainFrame> frame_;
    CRemoteView* view_ = nullptr;
    CPenGate* gate_ = nullptr;
    std::unique_ptr<CServiceRemote> serviceRemote_;
    std::unique_ptr<CServiceApi> serviceApi_;
    std::unique_ptr<CMqttNode> mqtt_;
    std::unique_ptr<CEmitterLog> emitterLog_;
    std::string chosenPort_;  // the port --ir chose, kept over the saved one
    QString irNotice_;        // told once at start: why the IR asked for is not in use
    std::string chip_;
    bool interactive_;
};
