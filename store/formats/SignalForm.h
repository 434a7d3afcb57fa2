// The program's own form of a signal, as the readers of foreign remote files make it and the
// writers take it apart again: durations in microseconds (marks > 0, spaces < 0) starting
// with a mark and alternating, at most kMaxDurations of them, the repeating frame from
// `frameStart` on, the carrier period, and a space at the end that keeps passes apart.
#pragma once

#include <QString>
#include <cstdint>
#include <span>
#include <vector>

#include "ir/IrSignal.h"

// The pause put after a signal that ends on a mark when the file gives none: long enough
// for every common protocol's receiver to see the end of a frame.
constexpr int32_t kTrailingGapUs = 40000;

// The carrier period in whole microseconds of a frequency in Hz (38000: 26); 0 when the
// frequency is 0.
uint32_t CarrierPeriodOfHz(double carrierHz);

// Puts durations read from a file into the signal form: zeros go, neighbours of one sign
// are joined, a leading space is dropped, a signal that ends on a mark gets a trailing gap,
// and `frameStart` (an index into `durations`) follows the joins. False with the reason in
// `reason` when the signal cannot be stored whole: no mark, more than kMaxDurations
// durations, more than a button record holds, or a carrier period outside 1..255.
bool MakeIrSignal(std::span<const int64_t> durations, size_t frameStart, uint32_t carrierPeriodUs,
                  IrSignal& signal, QString& reason);

// A stored signal split for formats that describe a signal as burst pairs (a mark and the
// space after it): the first transmission up to the repeating frame, and that frame. Both
// start with a mark and end with a space; the frame is never empty. A frame that begins
// with a space is turned round so that sending intro, frame, frame... stays the same.
struct BurstPairs {
    std::vector<int32_t> intro;
    std::vector<int32_t> frame;
};
BurstPairs SplitIntoBurstPairs(const IrSignal& signal);

// The first transmission of a signal, durations 0 to count-1, ending with a space (a signal
// that ends on a mark gets the trailing gap).
std::vector<int32_t> FirstPass(const IrSignal& signal);
