// Result codes of the IR engine. 0 is success; callers turn the others into messages.
#pragma once

enum IrResult : int {
    kIrOk = 0,
    kIrCarrierTooLong = 5,  // measured carrier period above the driver's limit
    kIrMarkTooLong = 6,     // a mark longer than the driver's limit was measured
    kIrNoDurations = 11,    // null durations or count 0
    kIrNoCarrier = 12,      // carrier period 0
    kIrPortBusy = 13,       // the serial port could not be opened
    kIrNoSignal = 17,       // nothing arrived within 20 seconds
    kIrNothingToAnalyse = 201,
    kIrNotMapped = 301,     // a register block could not be mapped
    kIrNoScheduling = 302,  // no OpenPort has recorded the thread's scheduling yet
    kIrNoIrUart = 303,      // no UART of the chip is in infrared mode
    kIrNoPortName = 304,
};
