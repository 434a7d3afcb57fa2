// The remote without its windows: the hot codebase of every category, the form on the
// screen and the form each category showed last, the hardware-key assignments and whether
// the keys are taken, sounds, the greeting flag, the IR port, the current preference file
// and the used list of preference sets, and learning mode; with the operations a user
// performs on them. Windows and dialogs draw the model and call it; ardelctl calls the same
// operations. It reaches files, IR, sound and the hardware keys only through the services
// it was made with.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ir/IrSignal.h"
#include "model/ButtonStore.h"
#include "model/Exporter.h"
#include "model/Importer.h"
#include "model/LearnCheck.h"
#include "model/Operations.h"
#include "model/RemoteServices.h"
#include "platform/HardKeys.h"
#include "store/Catalogue.h"
#include "store/PrefFile.h"

class CIrDriver;
class CIrWorker;
class HandheldFs;
struct CaptureWatch;
struct IrCode;
struct IrProtocol;
class Sound;

class CRemoteModel : public QObject {
    Q_OBJECT

  public:
    explicit CRemoteModel(RemoteServices services, QObject* parent = nullptr);
    ~CRemoteModel() override;

    // ---- Services
    HandheldFs& Fs() { return *services_.fs; }
    // Null when the device has no IR driver.
    CIrDriver* Driver();
    // Null when the program is silent.
    Sound* SoundOutput() { return services_.sound; }
    // The key codes of the hardware keys, by slot.
    std::array<uint16_t, kHardKeySlots> SlotKeyCodes();

    // ---- Files
    // The base folder (ending in a backslash) and the default preference file in it.
    void SetFolders(const QString& baseFolder, const QString& prefFile);
    const QString& BaseFolder() const { return baseFolder_; }
    // The current preference file (a full handheld path), and its name relative to the base
    // folder; switching makes another file the current one.
    const QString& PrefFile() const { return prefFile_; }
    QString PreferenceFileName() const;
    void SwitchPreferenceFile(const QString& name);

    // ---- The state in the preference files
    const RemoteState& State() const { return state_; }
    // Reads the current preference file: values whose record is missing keep what they are.
    void LoadState();
    // Writes every value; false when a write failed.
    bool SaveState();
    // Saves the current state as the set `setFile` (relative to the base folder) and comes
    // back to the current file; false when a write failed.
    bool SaveStateAs(const QString& setFile);
    // Makes the set `setFile` the current state and keeps it in the current preference file;
    // false when that save failed.
    bool ApplyStateFrom(const QString& setFile);

    // ---- Hot codebases
    // The hot codebase of form `form`, and of a category's forms.
    QString HotCodebaseOfForm(int form) const;
    QString HotCodebase(int category) const { return HotCodebaseOfForm(FirstFormOf(category)); }
    // Makes `path` (empty for none) the hot codebase of both forms of `category`, for the
    // program only (`persist` false) or also in the current preference file; false when that
    // write failed.
    bool MakeHot(int category, const QString& path, bool persist = true);
    // Takes a category's hot codebase back from the current preference file.
    void ReloadHot(int category);

    // ---- Forms
    int CurrentForm() const { return state_.currentForm; }
    // Makes `form` current; the category of the form left remembers which of its forms it was.
    void SetCurrentForm(int form);
    // 0 when a category showed its first form last, 1 its second.
    int RememberedForm(int category) const;
    void SetRememberedForm(int category, int which);

    // ---- Switches
    bool SoundsOn() const { return state_.soundsOn; }
    void SetSounds(bool on) { state_.soundsOn = on; }
    bool GreetingDone() const { return state_.greetingShown; }
    void SetGreetingDone(bool done) { state_.greetingShown = done; }

    // ---- Hardware keys
    bool KeyCapture() const { return state_.keyCapture; }
    void SetKeyCapture(bool on) { state_.keyCapture = on; }
    // Takes the keys from the system (switch on) or gives them back (off); false when the
    // service failed.
    bool ApplyKeyCapture();
    // The assignments of the seven slots; false for a slot outside 0..6.
    bool GetKeyAssignment(int slot, HardKeyAssignment& assignment) const;
    bool GetDefaultKeyAssignment(int slot, int& form, int& button) const;
    bool SetKeyAssignment(int slot, bool used, int form, int button);
    // The slot whose key has `keyCode` and is in use, or -1.
    int AssignedSlotOfKey(uint16_t keyCode);

    // ---- The IR port
    std::string IrPort() const { return state_.irPort.toStdString(); }
    void SetIrPort(const std::string& port) { state_.irPort = QString::fromStdString(port); }
    // "COM0" and the empty name stand for no port at all.
    static bool IsPortSelected(const std::string& port);
    // Whether the IR can be used as the port stands.
    bool PortReady() const { return IsPortSelected(IrPort()); }

    // ---- Preference sets used most recently
    std::vector<QString>& UsedList() { return usedList_; }
    void LoadUsedList();
    bool SaveUsedList();

    // ---- What a user does, whole
    // Learns a button: the reads through `face` (one, or two with a confirmation between
    // them in double mode, or a code the face gives instead), the beep after each read, the
    // cut rule (a capture that filled its buffer without a repeating frame is refused), the
    // store (creating the codebase on its first button; a toggle protocol learnt once gets
    // its other toggle as signal 2), and the learning check of each stored signal. With an
    // empty path nothing is stored and the learnt signals are checked as they are. The
    // outcome tells everything a face shows about it.
    LearnOutcome LearnButton(const LearnRequest& request, LearnFace& face);

    // How the thread that asks for IR work that takes a while waits for it while the IR
    // worker does it: a send (a held button sends until the stylus lifts) and the learning
    // check after a learn. It returns once `finished` says true; the model tells IrWorkDone
    // after each such piece of work. Unset: the thread blocks until the work is over.
    std::function<void(const std::function<bool()>& finished)> awaitSend;

    // Presses a button: reads signal `which` (1 or 2; the first when the button has no
    // second) of `button` from the codebase at `path`, loads it, calls `beforeSend` (the
    // click sound), and sends it with the button's repeat rule while it stays held. A
    // button without a signal sends nothing and says kOpNothingToSend.
    PressOutcome PressButton(const QString& path, const QString& button, int which,
                             PressSource source, const std::function<void()>& beforeSend = {});
    // Ends a press: nothing of its send goes on after this.
    void ReleaseButton();
    // The repeat value a press sends with: a tapped volume button sends one pass and goes on
    // while held (so that a tap changes the volume by one step); every other press, and
    // every hardware key, sends at least three passes.
    static uint16_t RepeatOf(const QString& button, PressSource source);
    // Sends `signal` (raw durations, or a code's) with `repeat` as CIrDriver::Send takes it;
    // `beforeSend` is called once the signal is loaded.
    PressOutcome SendSignal(const IrSignal& signal, uint16_t repeat,
                            const std::function<void()>& beforeSend = {});
    // Sends the code `code` of `protocol`; kOpBadRequest when the protocol cannot encode it.
    PressOutcome SendCode(const IrProtocol& protocol, const IrCode& code, uint16_t repeat,
                          const std::function<void()>& beforeSend = {});

    // ---- Codebases
    // Every codebase of the search folders of `folders`, sorted, the hot ones marked.
    std::vector<CodebaseEntry> Codebases(const HandheldFolders& folders);
    // A new codebase of `category` named `deviceName` in the default codebase folder of
    // `folders`, made hot for the program at once; its file is created when its first button
    // is learnt. Returns its path.
    QString NewCodebase(const HandheldFolders& folders, int category, const QString& deviceName);
    // Renames the codebase at `path` to `deviceName`, moving it to `category` (which may be
    // its own). A codebase hot in its category stays hot when the category stays, and leaves
    // its old category otherwise. `newPath` receives where it is now.
    int RenameCodebase(const QString& path, int category, const QString& deviceName,
                       QString* newPath = nullptr);
    // Deletes the codebase file at `path`; a hot codebase leaves its category without one.
    int DeleteCodebase(const QString& path);
    // Deletes `button` (both its signals) from the codebase at `path`.
    StoreResult DeleteButton(const QString& path, const QString& button);
    // Stores the remotes of `read` as codebases, as ImportRemotes does.
    ImportReport Import(const HandheldFolders& folders, const ImportResult& read,
                        const QString& fileName, const ImportOptions& options);
    // The codebase at `path` (its `button` only, when given) as a file in `format`.
    ExportError Export(const QString& path, RemoteFormat format, const QString& button, int number,
                       QByteArray& out);

    // ---- Learning
    bool Learning() const { return learning_; }
    void SetLearning(bool on);
    // Whether the category's second form was shown since learning began.
    bool LowerFormVisited() const { return lowerFormVisited_; }
    void SetLowerFormVisited(bool visited) { lowerFormVisited_ = visited; }
    // Told the button and its category just before each capture starts, so that whoever
    // holds the device's remote can press that button.
    std::function<void(const QString& button, int category)> beforeCapture;
    // Whether learning `signal` in single mode stores its other toggle value as signal 2.
    static bool TogglesByItself(const IrSignal& signal);

    // A signal as it is stored and sent (SignalWithCarrier).
    static IrSignal WithCarrier(const IrSignal& signal);

    // ---- The learning check
    // The receiver beside the emitter, where the device has one that hears it: `listen` is
    // called before the check sends and makes the receiver hear only the emitter; `hear`
    // after the send makes what was sent reach the capture that follows, and says false when
    // nothing of it can. Unset: the device cannot hear itself and the check is skipped.
    struct OwnReceiver {
        std::function<void()> listen;
        std::function<bool()> hear;
    };
    OwnReceiver ownReceiver;

    // ---- Sending
    // Reads signal `which` of `button` from the codebase at `path`.
    StoreResult ReadButton(const QString& path, const QString& button, int which, IrSignal& signal);
    // Loads a signal into the driver on the selected port: the driver's result, or
    // kIrNoPortName when no port is selected (and -1 without a driver).
    int Load(const IrSignal& signal);
    // Sends what was loaded (`repeat` as CIrDriver::Send), then closes the port.
    int Send(uint16_t repeat);
    void ClosePort();

    // ---- Listening
    // One read on the selected port for a face that listens for the device's remotes between
    // other work: the driver's result (kIrNoPortName without a port, -1 without a driver),
    // with what was heard in `heard` on kIrOk. The port is closed after the read. A `watch`
    // can end the read early; IR work asked for while the read runs, or already waiting
    // for the worker, ends it too, so that listening never holds up a press.
    int Hear(IrSignal& heard, CaptureWatch* watch = nullptr);

    // ---- The IR worker for faces that queue their own work
    // Runs `job` on the IR worker after all IR work asked for before it, and returns at once.
    // Operations that `job` calls (PressButton, SendSignal, Hear, LearnButton) run in it
    // directly: a face without a thread of its own keeps its place among everyone's IR work.
    void PostIrWork(std::function<void()> job);
    // Whether IR work was asked for that has not begun yet.
    bool IrWorkWaiting();
    // Waits until the IR work asked for before this call is done.
    void FinishIrWork();

    // ---- Preference sets
    // Deletes the preference set whose file is at `path` (a full handheld path): kCatalogueOk;
    // kCatalogueCannotOpen when no preference file lies there (nothing is removed: a codebase
    // or another file is never taken for a set); kCatalogueCannotRemove when the file stays.
    int DeletePreferenceSet(const QString& path);

  signals:
    // The hot codebases or the form changed as a whole (a state was loaded): views redraw.
    void StateReplaced();
    // A codebase was made, renamed, moved to another category or deleted.
    void CodebasesChanged();
    // The hot codebase of a category changed.
    void HotCodebaseChanged(int category, const QString& path);
    // Another form is on the screen.
    void CurrentFormChanged(int form);
    // Learning mode began or ended.
    void LearningChanged(bool on);
    // A button got a new signal, or lost its signals, in the codebase at `path`.
    void ButtonLearnt(const QString& path, const QString& button);
    // A send began or ended.
    void SendingChanged(bool sending);
    // IR work that a thread waits for through awaitSend is over.
    void IrWorkDone();

  private:
    // The steps of a learn, for LearnButton alone.
    // One read of the device's remote on the selected port: the driver's result.
    int Capture(const QString& button, int category);
    // What the last successful capture learnt.
    IrSignal CapturedSignal();
    // What the last successful capture learnt, as the learning report says it. A capture
    // that is cut must not be stored as if it were the whole signal.
    LearnReport CapturedReport();
    // Runs `job` on the IR worker after the work asked for before it; the calling thread
    // waits as awaitSend says (on the worker itself the job runs at once).
    void AwaitIrWork(const std::function<void()>& job);
    // Loads `signal`, calls `beforeSend`, sends it with `repeat` and closes the port, on the
    // IR worker; the caller waits as awaitSend says.
    void Transmit(const IrSignal& signal, uint16_t repeat, const std::function<void()>& beforeSend,
                  PressOutcome& outcome);
    // One read on the selected port, on the worker, watched by `watch` (none: unwatched):
    // `prepare` just before the driver's capture and `finish` with its result just after.
    // The driver's result; kIrNoPortName without a port, -1 without a driver.
    int ReadOnPort(CaptureWatch* watch, const std::function<void(CIrDriver&)>& prepare,
                   const std::function<void(CIrDriver&, int)>& finish);
    // Sends `learnt` once, one pass, into the device's own receiver and compares what comes
    // back, on the worker, after each read of a learn. The device's remote is not asked to
    // press anything meanwhile. The driver's captured signal is replaced.
    LearnCheck CheckLearnt(const IrSignal& learnt);
    // One read on the worker, watched by `watch`.
    int WatchedCapture(const QString& button, int category, CaptureWatch& watch);

    RemoteServices services_;
    std::unique_ptr<CIrWorker> worker_;
    RemoteState state_;
    QString baseFolder_;
    QString prefFile_;
    std::vector<QString> usedList_;
    bool learning_ = false;
    bool lowerFormVisited_ = false;
};
