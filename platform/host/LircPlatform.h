// The IR platform of a Linux host whose IR hardware is a LIRC device: no register pages,
// no serial ports, a steady clock, and "held" (the pen or a key still down) from whoever
// runs the program (a window, or ardelctl's --hold-ms).
#pragma once

#include <functional>

#include "platform/IrPlatform.h"

class LircPlatform : public IrPlatform {
  public:
    explicit LircPlatform(std::function<bool()> isHeld = {}) : isHeld(std::move(isHeld)) {}

    void SetHeldCheck(std::function<bool()> check) { isHeld = std::move(check); }

    bool QueryProcessorInfo(ProcessorInfo& info) override;
    RegisterBlock* MapPage(uint32_t, bool) override { return nullptr; }
    void UnmapPage(RegisterBlock*) override {}
    uint64_t QueryPerformanceCounter() override;
    uint64_t QueryPerformanceFrequency() override { return 1000000; }
    void Sleep(uint32_t milliseconds) override;
    ThreadHandle GetCurrentThread() override { return 1; }
    int32_t GetThreadPriority(ThreadHandle) override { return priority; }
    bool SetThreadPriority(ThreadHandle, int32_t value) override {
        priority = value;
        return true;
    }
    uint32_t GetThreadQuantum(ThreadHandle) override { return quantum; }
    bool SetThreadQuantum(ThreadHandle, uint32_t value) override {
        quantum = value;
        return true;
    }
    bool IsStylusDown() override { return isHeld && isHeld(); }
    void FlushPenInput() override {}
    SerialHandle OpenSerialPort(const std::string&) override { return kInvalidSerialHandle; }
    bool SetSerialTimeouts(SerialHandle, const SerialTimeouts&) override { return false; }
    bool GetSerialSettings(SerialHandle, SerialSettings&) override { return false; }
    bool SetSerialSettings(SerialHandle, const SerialSettings&) override { return false; }
    bool SetSerialIrMode(SerialHandle, bool) override { return false; }
    void CloseSerialPort(SerialHandle) override {}
    bool SystemCall(uint32_t, uint32_t, uint32_t) override { return false; }

  private:
    std::function<bool()> isHeld;
    int32_t priority = 251;
    uint32_t quantum = 100;
};
