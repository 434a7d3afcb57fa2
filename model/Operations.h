// What the remote model's operations are asked and what they answer. Every face (the
// window, ardelctl, a service) asks with these requests and words the outcomes from the
// string table through ResultText; none of them reaches a capture, a store or a check itself.
#pragma once

#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ir/IrSignal.h"
#include "model/ButtonStore.h"
#include "model/LearnCheck.h"

class CIrRead;

// What went wrong in the IR engine, with the facts a message about it names.
struct IrFailure {
    int result = 0;     // the driver's result code (IrResult), 0 for none
    std::string port;   // the port or device the failure came from
    std::string group;  // the group that owns that device, when known
};

// How an operation of the model ended.
enum OperationCode : int {
    kOpOk = 0,
    kOpNoDriver,       // the device has no IR driver
    kOpIrFailed,       // the IR engine failed: see `ir`
    kOpNoSignal,       // nothing was heard within the learning time
    kOpCut,            // the capture filled its buffer without a repeating frame
    kOpCancelled,      // the user ended it (a prompt cancelled, a confirmation refused)
    kOpNotStored,      // the codebase refused the signal: see `store`
    kOpNothingToSend,  // the button has no signal in its codebase
    kOpBadRequest,     // the request itself does not fit (a signal number, a mode)
};

// One read of a learn, as the face shows it.
struct LearnStep {
    int step = 0;  // 0 the only read, 1 the first and 2 the second read of double mode
    QString button;
    int category = 0;
    int seconds = 20;  // how long the read waits for the remote
};

// Whoever learns a button: shows the prompt while the read runs, confirms between the two
// reads of double mode, and may offer a code instead of a read.
class LearnFace {
  public:
    // Read() ends with one of these instead of a driver result.
    static constexpr int kByCode = -2;     // the user chose to give a code
    static constexpr int kCancelled = -3;  // the user ended the read

    virtual ~LearnFace() = default;
    // Shows `step` while `read` runs on the model's IR worker: starts it, may end it early
    // (CIrRead::Cancel), and returns its result once it has ended, or kByCode or kCancelled.
    // A face with an event loop follows the read's signals; by default the read runs as
    // Read() runs it.
    virtual int Follow(const LearnStep& step, CIrRead& read);
    // Shows `step` and runs `read`, which waits for the remote and gives the driver's result;
    // returns that result, or kByCode or kCancelled.
    virtual int Read(const LearnStep& step, const std::function<int()>& read) {
        (void)step;
        return read();
    }
    // Between the two reads of double mode: true to go on to the second.
    virtual bool ConfirmSecond() { return true; }
    // A signal for `button` from a protocol and code instead of a read; false when none
    // was given.
    virtual bool AskCode(const QString& button, IrSignal& coded) {
        (void)button;
        (void)coded;
        return false;
    }
};

enum class LearnHow {
    Read,    // read from the device's remote
    ByCode,  // the face asks for a code at once
};

struct LearnRequest {
    QString path;  // the codebase; empty: learn and check, store nothing
    QString button;
    int category = 0;
    LearnMode mode = LearnMode::Single;  // Double: two reads with a confirmation between
    // 1 or 2: one read stored as that signal of a double button, as ardelctl --signal does;
    // 0: the whole button as `mode` says.
    int onlySignal = 0;
    LearnHow how = LearnHow::Read;
};

struct LearnOutcome {
    OperationCode code = kOpOk;
    IrFailure ir;                  // with kOpIrFailed (and the driver's result otherwise)
    StoreResult store = kStoreOk;  // with kOpNotStored
    QString path;                  // the codebase
    QString button;                // the button learnt
    bool created = false;          // the codebase was made by this learn
    bool byCode = false;           // a code stood in for the read
    std::vector<IrSignal> learnt;  // as stored (with their carrier), one per read
    std::vector<LearnReport> reports;
    std::vector<LearnCheck> checks;  // one per stored signal; empty when nothing was stored
    bool toggled = false;            // signal 2 was stored with the other toggle value
    bool Stored() const { return code == kOpOk && !path.isEmpty(); }
};

// Where a press comes from: the repeat rule tells a tap from a hardware key.
enum class PressSource { Pen, Key };

// A press of a button: what was sent, or why nothing was.
struct PressOutcome {
    OperationCode code = kOpOk;
    IrFailure ir;
    IrSignal signal;               // what was loaded
    int passes = 0;                // passes the send made
    StoreResult store = kStoreOk;  // with kOpNothingToSend: why the codebase gave no signal
};
