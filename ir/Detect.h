// Which chip the program runs on, and where its IR transceiver is wired.
#pragma once

#include <cstdint>

#include "platform/IrPlatform.h"

enum ProcessorFamily : int {
    kFamilyUnknown = 0,
    kFamilySa11x0 = 1,
    kFamilyPxa250 = 2,
    kFamilyPxa255 = 3,
    kFamilyPxa26x = 4,
    kFamilyPxa27x = 5,
    kFamilyS3c24xx = 6,
    kFamilyOmap1510 = 7,
};

// The processor family from the kernel's processor information; 0 when the query fails or
// nothing matches.
int DetectProcessor(IrPlatform& platform);

// The UART that is in infrared mode: 1, 2 or 3 in the chip's UART order, 0 when none is.
int ProbePxaIrUart(IrPlatform& platform);
int ProbeS3cIrUart(IrPlatform& platform);

// Physical bases of the three UARTs, by IR UART index - 1.
constexpr uint32_t kPxaUartBases[3] = {0x40100000, 0x40200000, 0x40700000};
constexpr uint32_t kS3cUartBases[3] = {0x50000000, 0x50004000, 0x50008000};

// S3C24xx PWM timer rate in ticks per millisecond, from the clock speed, the clock divider
// register and prescaler 1 in timer configuration register 0 of `pwm` (null reads as 0).
constexpr uint32_t kS3cClockDividerAddress = 0x4C000014;
uint32_t S3cTimerRate(IrPlatform& platform, RegisterBlock* pwm);
