// What a learn found, and whether the learnt signal comes back as learnt when the handheld
// sends it into its own receiver.
#pragma once

#include <QString>
#include <cstdint>
#include <span>

#include "ir/IrSignal.h"

// The learning report: what one capture gave.
struct LearnReport {
    int entries = 0;          // marks and spaces of the learnt signal
    bool frameFound = false;  // the analysis found the frame that repeats while held
    int carrierUs = 0;        // 0: the receiver measured none
    // The capture filled its buffer and no repeating frame was found in it: the remote's
    // frame is longer than a signal can hold, so the learnt signal is only its beginning.
    bool cut = false;
    int64_t lengthUs = 0;  // how long one pass of the learnt signal lasts
};

// A signal of more entries than this is a long one (an air conditioner's state, not a held
// button's frame): the report says how long it lasts.
constexpr int kLongSignalEntries = 150;

// The learning report of a learnt signal; `bufferFull` says whether its capture filled the buffer.
LearnReport ReportOf(const IrSignal& signal, bool bufferFull);

enum class CheckOutcome { Skipped, Yes, No };

// The learning check: the learnt signal sent once and captured again.
struct LearnCheck {
    CheckOutcome outcome = CheckOutcome::Skipped;
    int sendResult = 0;     // the driver's result of the load and send
    int captureResult = 0;  // and of the capture of what came back
    int storedCount = 0;    // entries sent that the receiver can hear, and entries heard
    int backCount = 0;
    int entry = -1;  // the first entry that differs by more than its tolerance, or -1
    int32_t expectedUs = 0;
    int32_t gotUs = 0;
};

// How far an entry that came back may lie from the learnt one. The receiver times a mark from
// the start of its first carrier pulse to the start of its last, so a mark comes back up to a
// carrier period shorter and the space after it as much longer; on top of that the chips'
// counters and the emitter's rounding to whole ticks leave a few microseconds, and a slightly
// fast or slow counter a fraction of the length.
int32_t CheckToleranceUs(int32_t learntUs, int carrierUs);
constexpr int32_t kCheckSlackUs = 4;
constexpr int32_t kCheckSlackPerMille = 10;

// Compares what the receiver heard of one pass with what was learnt: the same entries, each of
// the same sign and within its tolerance. The pause that ends a learnt signal goes out as
// silence and ends the capture, so it is not heard.
LearnCheck CompareLearnt(const IrSignal& learnt, std::span<const int32_t> heard);

// "yes", "no" or "skipped".
const char* CheckWord(CheckOutcome outcome);
// What differed, in a few words ("entry 5: 560 µs learnt, 880 µs came back"); empty unless
// the check said no.
QString CheckDifference(const LearnCheck& check);
