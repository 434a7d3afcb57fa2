// The service's one road into the remote model. The HTTP API and the web page ask this
// object for what a user does (press a button, hold it, send a code, learn, make a codebase
// hot, delete) and it performs those through the model's operations, so that the service
// never reaches below the model.
//
// IR work (presses, codes, learning) and the file changes that must keep their place among
// the presses are queued on the model's IR worker, in arrival order among everyone's IR
// work, so a held send never stops the service from answering and one client's signal is
// never cut into by another's. Results come back on the thread that owns this object.
#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <mutex>
#include <vector>

#include "ir/CaptureCore.h"
#include "ir/IrSignal.h"
#include "service/ServiceRequest.h"
#include "store/Catalogue.h"

class CRemoteModel;
struct IrProtocol;

// Results of the service's operations besides the driver's and the store's own.
enum ServiceResult : int {
    kServiceOk = 0,
    kServiceNoCodebase = 1001,    // no codebase of that name
    kServiceNoButton = 1002,      // the codebase has no such button (or no signal for it)
    kServiceLearning = 1003,      // the IR is busy with a learn
    kServiceBadCode = 1004,       // a protocol, address or command that cannot be sent
    kServiceCannotRead = 1005,    // the codebase could not be read
    kServiceCannotChange = 1006,  // a file could not be changed
    kServiceCut = 1007,           // a learnt signal longer than a signal holds
    kServiceNoIr = 1008,          // the device has no IR driver
    kServiceBadName = 1009,       // a new codebase's name breaks the naming rules
};

// A code the receiver heard.
struct HeardCode {
    QString protocol;  // empty when no protocol names it
    uint32_t address = 0;
    uint32_t command = 0;
    uint32_t carrierUs = 0;
    int entries = 0;
    QString button;       // "TV_Sony/Power" when a learnt button holds this code, else empty
    bool learnt = false;  // heard by a learn, not by listening between other work
};

// What listening needs of the IR besides its driver. Listening runs on the IR worker between
// presses, codes and learns, never during them.
struct ReceiverHooks {
    // Whether a read should start now (IR worker): the simulated handheld's receiver has a
    // remote's pulses coming; a LIRC receiver always, each read ending after a short wait.
    std::function<bool()> signalComing;
    // Around each listening read (IR worker): a LIRC receiver waits briefly for a first pulse
    // while listening, and the full learning time again afterwards.
    std::function<void()> beforeRead;
    std::function<void()> afterRead;
};

class CServiceRemote : public QObject {
    Q_OBJECT

  public:
    // How long a hold lasts without being renewed: a page that goes away (a closed tab, a
    // phone that sleeps) ends its send within this time.
    static constexpr std::chrono::milliseconds kHoldTimeout{500};

    explicit CServiceRemote(CRemoteModel& model, QObject* parent = nullptr);
    ~CServiceRemote() override;

    // Whether the press being sent is still held. The driver asks this between passes (it
    // stands for the stylus), from the IR worker.
    bool IsHeld();

    struct ButtonInfo {
        QString name;
        int signalCount = 0;
        const IrProtocol* protocol = nullptr;  // null: raw
        uint32_t address = 0;
        uint32_t command = 0;
    };
    struct CodebaseInfo {
        QString name;  // display name, "TV_Sony"
        int category = 0;
        bool hot = false;
        QString path;
        std::vector<ButtonInfo> buttons;
    };
    // Every codebase in the order Home Devices lists them, with their buttons.
    std::vector<CodebaseInfo> Codebases();

    using Done = std::function<void(int result)>;
    // Presses `button` of codebase `codebase` (display name); `done` is told once it was sent.
    void Press(const QString& codebase, const QString& button, const PressBody& press, Done done);
    // Sends a code or raw durations and tells `done` once they were sent. A code that cannot
    // be made returns kServiceBadCode at once, with the reason in `problem`, and a send while
    // learning kServiceLearning; `done` is then never called.
    int Send(const SendBody& send, Done done, QString& problem);
    // Learns `button` into `codebase` (made with its first button when it does not exist).
    // False (nothing started) with kServiceLearning, kServiceBadName or kServiceNoIr in
    // `result`; progress and the result arrive as LearnProgress.
    bool Learn(const QString& codebase, const QString& button, int& result);
    bool LearnRunning() const { return learning_; }
    int MakeHot(const QString& codebase);
    void DeleteCodebase(const QString& codebase, Done done);
    void DeleteButton(const QString& codebase, const QString& button, Done done);

    // A picture of the device root's skin folder, by file name; false when there is none.
    bool SkinFile(const QString& name, QByteArray& bytes);
    static constexpr uint64_t kMaxSkinFileBytes = 1 << 20;
    // The IR port in use, for messages.
    QString PortName() const;

    // Listens to the receiver whenever the IR has nothing else to do, and tells each press of
    // a remote once as Received: frames that repeat while a button is held belong to the same
    // press, and a code this service sent itself is not heard as a press.
    void Listen(ReceiverHooks hooks);
    // How long after a send a heard code equal to it counts as the send's own echo.
    static constexpr std::chrono::milliseconds kOwnEchoWindow{1000};
    // Runs `job` on the IR worker in its turn (tests: a remote played at the receiver).
    void RunOnIrThread(std::function<void()> job) { Queue(std::move(job)); }
    // The learnt button that holds this code, as "CODEBASE/BUTTON" (hot codebases first);
    // empty when none does.
    QString ButtonOfCode(const QString& protocol, uint32_t address, uint32_t command);

    // A page's finger is still down on the press with this hold id; false when no such
    // press is waiting or being sent.
    bool RenewHold(const QString& holdId);
    void EndHold(const QString& holdId);

  signals:
    // A press or a code went out (or failed with `result`).
    void Sent(const QString& codebase, const QString& button, int result, int passes);
    // A learn's progress: "listening", then "done" with its result.
    void LearnProgress(const QString& codebase, const QString& button, const QString& state,
                       int result);
    // The receiver heard a code: a remote's press while listening, or what a learn heard.
    void Received(const HeardCode& heard);
    // Codebases were made, changed or deleted, or another one became hot.
    void CodebasesChanged();
    // Codebases or their buttons may have changed, by this service or by the model's other
    // users (the window's Home Devices): whoever lists them looks again.
    void ButtonsChanged();

  private:
    struct Hold {
        std::chrono::steady_clock::time_point deadline;
        bool ended = false;
    };
    // Runs `job` on the IR worker after all IR work asked for before it; dropped when this
    // service has gone meanwhile.
    void Queue(std::function<void()> job);
    // Runs `then` on this object's thread.
    void Back(std::function<void()> then);
    // Puts a turn of listening behind the IR work asked for so far, unless one waits already.
    void ListenAfterWork();
    // A turn of listening (IR worker): one read when a remote's signal may be coming and no
    // other work waits, then the next turn.
    void ListenTurn();
    // One listening read and what it heard (IR worker).
    void ListenOnce();
    // Emits what was heard, with the button that holds it (owner thread).
    void Tell(HeardCode heard);
    bool FindCodebase(const QString& name, CodebaseEntry& entry);
    // What the receiver may hear of a send of `signal` is not a press of a remote (IR worker).
    void NoteOwnSend(const IrSignal& signal);
    void StartHold(const QString& holdId, std::chrono::steady_clock::time_point fixedUntil);
    void StopHold();

    CRemoteModel& model_;
    std::atomic<bool> learning_{false};
    std::atomic<bool> stopping_{false};

    std::mutex holdMutex_;
    std::map<QString, Hold> holds_;
    QString activeHold_;  // the press being sent, when its page holds it
    std::chrono::steady_clock::time_point activeUntil_{};  // or a fixed hold
    bool activeFixed_ = false;

    // Listening (IR worker only, but for the watch, which the service's end cancels, and the
    // flags).
    ReceiverHooks receiver_;
    CaptureWatch listenWatch_;
    std::atomic<bool> listening_{false};
    std::atomic<bool> listenQueued_{false};  // a turn of listening waits for the worker
    bool pressOpen_ = false;                 // the last read heard a press that may still be held
    QString pressCode_;                      // and its code
    QString ownCode_;  // the code sent last, and until when its echo is ignored
    std::chrono::steady_clock::time_point ownUntil_{};
    std::chrono::steady_clock::time_point listenResume_{};  // after a failed read

    // Toggle buttons alternate their two signals, one press after the other (IR worker only).
    std::map<QString, int> nextSignal_;
};
