#include "ir/CPxa25xIrDriver.h"

namespace {

// A 3.6864 MHz timer; during marks only the OS timer match interrupts 0 to 3 stay enabled,
// during a capture only match 0; the last entry of a held pass runs under normal scheduling.
constexpr GpioIrChipTraits kPxa25x = {
    .ticksPerSecond = 3686400,
    .maskDuringMark = true,
    .markMaskKeep = 0x3C000000,
    .maskDuringCapture = true,
    .captureMaskKeep = 0x04000000,
    .burstInner = 1,
    .lastEntryOutside = true,
};

}  // namespace

CPxa25xIrDriver::CPxa25xIrDriver(IrPlatform& platform) : CPxaIrDriver(platform, kPxa25x) {}
