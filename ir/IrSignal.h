// An infrared signal as a list of mark and space durations, and the analysis that reduces
// a raw capture to the signal up to the first repetition of its frame.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

// A signal holds up to 1024 durations: enough for the long frames of air conditioners and
// heaters (the whole state of the device in one press, often sent twice).
constexpr int kMaxDurations = 1024;

struct IrSignal {
    uint16_t count = 0;                     // valid durations, 0..kMaxDurations
    uint16_t nextStart = 0;                 // where the next transmission pass starts
    uint16_t frameStart = 0;                // first duration of the repeating frame
    uint8_t carrierPeriod = 0;              // microseconds
    int32_t durations[kMaxDurations] = {};  // microseconds; marks > 0, spaces < 0
};

// A signal holding `durations` (at most kMaxDurations of them: the rest is left out), with
// its frame start (0 when it lies beyond the kept durations) and carrier period.
IrSignal MakeIrSignal(std::span<const int32_t> durations, uint16_t frameStart = 0,
                      uint8_t carrierPeriod = 0);

// Accepts a signal for sending. Returns 11 (nothing given, signal untouched), 12 (carrier 0,
// durations already replaced) or 0.
int SetSignal(IrSignal& signal, const int32_t* durations, uint16_t count, uint16_t frameStart,
              uint8_t carrierPeriod);

// Hands out a copy of the signal. A frame start at or beyond the end is reset to 0 in the
// signal itself, so that the whole signal repeats.
void GetSignal(IrSignal& signal, std::vector<int32_t>& durations, uint16_t& count,
               uint16_t& frameStart, uint8_t& carrierPeriod);

// Replaces the signal's durations by the analysed form of a raw capture of n entries:
// everything before the second occurrence of the repeating frame. Returns 201 or 0.
int AnalyseCapture(IrSignal& signal, const int32_t* buffer, uint32_t n);
