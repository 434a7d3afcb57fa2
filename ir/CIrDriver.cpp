#include "ir/CIrDriver.h"

#include <algorithm>

#include "ir/IrResult.h"

namespace {

// Serial line settings while the port is in infrared mode.
SerialSettings IrLineSettings(SerialSettings settings) {
    settings.baudRate = 2400;
    settings.binary = true;
    settings.parityCheck = false;
    settings.outxCtsFlow = false;
    settings.outxDsrFlow = false;
    settings.dtrControl = DtrControl::Disable;
    settings.dsrSensitivity = false;
    settings.txContinueOnXoff = true;
    settings.outX = false;
    settings.inX = false;
    settings.errorChar = false;
    settings.nullStrip = false;
    settings.rtsControl = RtsControl::Disable;
    settings.abortOnError = false;
    settings.byteSize = 8;
    settings.parity = 0;
    settings.stopBits = 1;
    return settings;
}

}  // namespace

CIrDriver::CIrDriver(IrPlatform& platform) : platform(platform) {
    counterTicksPerMs = static_cast<uint32_t>(platform.QueryPerformanceFrequency() / 1000);
}

CIrDriver::~CIrDriver() {
    CIrDriver::ClosePort();
}

void CIrDriver::SetPortName(const std::string& name) {
    portName.clear();
    portName = name;
}

void CIrDriver::RecordScheduling() {
    if (thread != 0) {
        return;
    }
    thread = platform.GetCurrentThread();
    innerValue = platform.GetThreadQuantum(thread);
    outerValue = platform.GetThreadPriority(thread);
}

int CIrDriver::OpenPort() {
    RecordScheduling();
    if (IsPortOpen()) {
        return kIrOk;
    }
    if (portName.empty()) {
        return kIrNoPortName;
    }
    const SerialHandle port = platform.OpenSerialPort(portName);
    if (port == kInvalidSerialHandle) {
        return kIrPortBusy;
    }
    portHandle = port;

    SerialTimeouts timeouts;
    timeouts.readInterval = kMaxTimeout;  // reads return at once
    platform.SetSerialTimeouts(port, timeouts);

    SerialSettings settings;
    platform.GetSerialSettings(port, settings);
    platform.SetSerialSettings(port, IrLineSettings(settings));

    platform.SetSerialIrMode(port, true);
    return kIrOk;
}

int CIrDriver::OpenPortProbing(int (*probe)(IrPlatform&), int& uartIndex) {
    RecordScheduling();
    uartIndex = probe(platform);
    if (uartIndex != 0) {
        return kIrOk;
    }
    const int result = CIrDriver::OpenPort();
    if (result != kIrOk) {
        return result;
    }
    uartIndex = probe(platform);
    return kIrOk;
}

int CIrDriver::StartCapture(bool mapped) {
    if (!mapped) {
        return kIrNotMapped;
    }
    const int opened = OpenPort();
    if (opened != kIrOk) {
        return opened;
    }
    return innerValue == 0 ? kIrNoScheduling : kIrOk;
}

int CIrDriver::FinishCapture(const CaptureReport& report) {
    lastCaptureFull = report.result == kIrOk && report.bufferFull;
    lastCaptureHeard.clear();
    if (report.result == kIrOk) {
        lastCaptureHeard.assign(report.raw, std::find(report.raw, report.raw + kMaxDurations, 0));
    }
    if (report.result == kIrOk || report.result == kIrMarkTooLong) {
        ClosePort();
        platform.FlushPenInput();
    }
    if (report.result != kIrOk) {
        return report.result;
    }
    signal.carrierPeriod = report.carrierPeriodUs;
    const int analysed = AnalyseCapture(report.raw, kMaxDurations);
    if (analysed != kIrOk) {
        return analysed;
    }
    const int count = signal.count;
    if (report.endedInSilence && count > 0 && count < kMaxDurations &&
        signal.durations[count - 1] > 0) {
        signal.durations[count] = -TrailingGapUs(signal.durations, count);
        signal.count = static_cast<uint16_t>(count + 1);
        if (signal.frameStart >= count) {
            signal.frameStart = signal.count;  // still no repeating frame
        }
    }
    return kIrOk;
}

void CIrDriver::ClosePort() {
    if (portHandle != kInvalidSerialHandle && portHandle != 0) {
        platform.SetSerialIrMode(portHandle, false);
        platform.CloseSerialPort(portHandle);
    }
    portHandle = kInvalidSerialHandle;
}

int CIrDriver::LoadSignal(const int32_t* durations, uint16_t count, uint16_t frameStart,
                          uint8_t carrierPeriod) {
    const int result = ::SetSignal(signal, durations, count, frameStart, carrierPeriod);
    if (result != kIrOk) {
        return result;
    }
    return OpenPort();
}

void CIrDriver::GetSignal(std::vector<int32_t>& durations, uint16_t& count, uint16_t& frameStart,
                          uint8_t& carrierPeriod) {
    ::GetSignal(signal, durations, count, frameStart, carrierPeriod);
}

int CIrDriver::AnalyseCapture(const int32_t* buffer, uint32_t n) {
    return ::AnalyseCapture(signal, buffer, n);
}
