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

    // The kernel's LIRC devices (/dev/lircN).
    kIrLircNoDevice = 401,       // the device does not exist
    kIrLircNoPermission = 402,   // EACCES: the user is not in the device's group
    kIrLircBusy = 403,           // EBUSY: another program holds the device
    kIrLircCannotSend = 404,     // the transmitter cannot send pulses and spaces
    kIrLircCannotReceive = 405,  // the receiver cannot report pulses and spaces
    kIrLircUnplugged = 406,      // ENODEV in the middle: the device went away
    kIrLircInvalid = 407,        // EINVAL from the kernel
    kIrLircOverflow = 408,       // the receiver's buffer overflowed while learning
    kIrLircCannotCarry = 409,    // the device cannot send this carrier or a mark this long
    kIrLircIoError = 410,        // any other failure of the device
};
