// The one place where a learnt signal goes into a codebase and where a signal to send comes
// out of it. The remote and ardelctl both store and read buttons through these functions,
// so that a button learnt by one is the same file for the other.
#pragma once

#include <QString>
#include <vector>

#include "ir/IrSignal.h"

class HandheldFs;

// How storing or reading a button's signal ended.
enum StoreResult : int {
    kStoreOk = 0,
    kStoreNotCreated,    // the file was missing and could not be created
    kStoreNotACodebase,  // the file is there but holds something else
    kStoreNotOpened,     // the file could not be opened
    kStoreNotStored,     // nothing was learnt, or the file could not be changed
    kStoreNoButton,      // the button has no record
    kStoreNoSignal,      // the button's record holds no such signal
};

// How a learnt signal is stored under its button.
enum class LearnMode {
    Single,  // the signal is the whole button: a second signal stored earlier goes
    Double,  // the signal is signal 1 or 2 of a button whose presses alternate between them
};

// Makes sure the codebase at `path` exists, creating it when it does not; `created` tells
// whether it was made now. A file that is there but is no codebase is left alone.
StoreResult EnsureCodebase(HandheldFs& fs, const QString& path, bool& created);

// Stores `signal` as signal `number` (1 or 2) of `button` in the codebase at `path`, which
// must exist. In single mode `number` is 1 and the button keeps no other signal.
StoreResult StoreButtonSignal(HandheldFs& fs, const QString& path, const QString& button,
                              const IrSignal& signal, int number, LearnMode mode);

// Stores `signal` as the whole of `button`, as a button learnt once is stored: a toggle
// protocol (RC5, RC6) flips one bit on every press, so such a signal gets its other toggle
// value as signal 2 and successive presses alternate as on the original remote.
StoreResult StoreWholeButton(HandheldFs& fs, const QString& path, const QString& button,
                             const IrSignal& signal);

// Stores a learnt signal as signal `number` (1 or 2) of `button` in the codebase at `path`,
// creating the codebase with its first button (`created` then true). In single mode the
// signal becomes the whole button (StoreWholeButton); in double mode it is that one signal.
// A signal without a carrier period gets one first (SignalWithCarrier). A file that is
// there but is no codebase is left alone.
StoreResult StoreLearntSignal(HandheldFs& fs, const QString& path, const QString& button,
                              const IrSignal& signal, int number, LearnMode mode, bool& created);

// A signal as it is stored and sent: without a measured carrier period it takes its
// protocol's carrier, or the common 38 kHz (26 µs) when no protocol names it.
IrSignal SignalWithCarrier(const IrSignal& signal);

// Signal `number` of `button` from the codebase at `path`. A record may hold more durations
// than a signal has room for: the rest is left out, and a frame start beyond the kept
// durations becomes 0.
StoreResult ReadButtonSignal(HandheldFs& fs, const QString& path, const QString& button, int number,
                             IrSignal& signal);

// Deletes `button` with both its signals from the codebase at `path`.
StoreResult DeleteButtonSignals(HandheldFs& fs, const QString& path, const QString& button);

// For a signal of a toggle protocol (RC5, RC6), the same button with the other toggle value:
// the signal 2 that makes successive presses alternate as on the original remote. False
// for any other signal, or when the other toggle would not fit a signal.
bool OtherToggleSignal(const IrSignal& signal, IrSignal& other);

// The signal as the driver hands it out after a capture, with its frame start made valid.
IrSignal SignalOf(const IrSignal& driverSignal);
