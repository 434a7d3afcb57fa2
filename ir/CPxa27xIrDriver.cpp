#include "ir/CPxa27xIrDriver.h"

namespace {

// A 3.25 MHz timer; all interrupts are off during marks, all but OS timer match 0 during a
// capture; held passes run whole.
constexpr GpioIrChipTraits kPxa27x = {
    .ticksPerSecond = 3250000,
    .maskDuringMark = true,
    .markMaskKeep = 0,
    .maskDuringCapture = true,
    .captureMaskKeep = 0x04000000,
    .burstInner = 1,
    .lastEntryOutside = false,
};

}  // namespace

CPxa27xIrDriver::CPxa27xIrDriver(IrPlatform& platform) : CPxaIrDriver(platform, kPxa27x) {}
