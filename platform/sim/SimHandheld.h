// A simulated handheld: the platform services of the IR engine, backed by a virtual clock,
// a chip model, the IR air and the profile's serial ports and registry.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/IrPlatform.h"
#include "platform/Registry.h"
#include "platform/sim/SimChip.h"
#include "platform/sim/SimClock.h"
#include "platform/sim/SimIrAir.h"
#include "platform/sim/SimProfile.h"

class SimHandheld : public IrPlatform {
  public:
    explicit SimHandheld(const SimProfile& profile);
    ~SimHandheld() override;

    const SimProfile& Profile() const { return profile_; }
    SimClock& Clock() { return clock_; }
    SimIrAir& Air() { return air_; }
    SimChip& Chip() { return *chip_; }
    CMemoryRegistry& Registry() { return registry_; }

    // Test controls.
    void FailMapping(uint32_t physicalPage) { failingPages_.insert(physicalPage); }
    void SetQueryFails(bool fails) { queryFails_ = fails; }
    // Holds the stylus down from now for `nanoseconds` of virtual time.
    void HoldStylus(uint64_t nanoseconds) { stylusUntil_ = clock_.Now() + nanoseconds; }
    // Asks `source` whether the stylus is down instead (the host's pointer button).
    void SetStylusSource(std::function<bool()> source) { stylusSource_ = std::move(source); }
    void SetPortBusy(const std::string& name, bool busy);
    // The receiver beside the emitter, for a check of what the handheld sends: listening
    // silences the device's remote and forgets earlier emissions; hearing plays what the
    // emitter sent since into the receiver, shortly after now (false when it sent nothing).
    void ListenToOwnEmitter();
    bool HearOwnEmitter();
    static constexpr uint64_t kOwnEchoDelayNs = 50'000'000;

    // What the program did, for tests to check.
    int PenFlushCount() const { return penFlushes_; }
    // Told whenever the drivers drop pending pen input: at the end of every send and of
    // every capture that heard something. Watchers of the emitter see a send end there.
    void SetPenFlushObserver(std::function<void()> observer) {
        penFlushObserver_ = std::move(observer);
    }
    struct SchedulingChange {
        bool priority;  // true: outer value (priority); false: inner value (quantum)
        int64_t value;
    };
    const std::vector<SchedulingChange>& SchedulingLog() const { return schedulingLog_; }
    int32_t ThreadPriority() const { return priority_; }
    uint32_t ThreadQuantum() const { return quantum_; }
    void SetThreadValues(int32_t priority, uint32_t quantum);
    struct SystemCallRecord {
        uint32_t selector, word0, word1;
    };
    const std::vector<SystemCallRecord>& SystemCalls() const { return systemCalls_; }
    const std::vector<std::string>& GuestErrors() const { return guestLog_.Lines(); }
    void GuestError(const std::string& what) { guestLog_.Add(what); }
    int OpenMappings() const { return static_cast<int>(mappings_.size()); }
    // Serial activity, one line per call: "open COM3:", "ir on", "close", ...
    const std::vector<std::string>& SerialLog() const { return serialLog_; }
    const SerialSettings& LastSerialSettings() const { return lastSettings_; }
    const SerialTimeouts& LastSerialTimeouts() const { return lastTimeouts_; }
    bool IsSerialOpen(const std::string& name) const;

    // IrPlatform.
    PollResult Poll(const CounterPoll& poll) override;
    bool QueryProcessorInfo(ProcessorInfo& info) override;
    RegisterBlock* MapPage(uint32_t physicalAddress, bool writable) override;
    void UnmapPage(RegisterBlock* block) override;
    uint64_t QueryPerformanceCounter() override;
    uint64_t QueryPerformanceFrequency() override { return profile_.performanceFrequency; }
    void Sleep(uint32_t milliseconds) override;
    ThreadHandle GetCurrentThread() override { return kThread; }
    int32_t GetThreadPriority(ThreadHandle thread) override;
    bool SetThreadPriority(ThreadHandle thread, int32_t priority) override;
    uint32_t GetThreadQuantum(ThreadHandle thread) override;
    bool SetThreadQuantum(ThreadHandle thread, uint32_t quantum) override;
    bool IsStylusDown() override;
    void FlushPenInput() override {
        ++penFlushes_;
        if (penFlushObserver_) {
            penFlushObserver_();
        }
    }
    SerialHandle OpenSerialPort(const std::string& name) override;
    bool SetSerialTimeouts(SerialHandle port, const SerialTimeouts& timeouts) override;
    bool GetSerialSettings(SerialHandle port, SerialSettings& settings) override;
    bool SetSerialSettings(SerialHandle port, const SerialSettings& settings) override;
    bool SetSerialIrMode(SerialHandle port, bool on) override;
    void CloseSerialPort(SerialHandle port) override;
    bool SystemCall(uint32_t selector, uint32_t word0, uint32_t word1) override;

    static constexpr ThreadHandle kThread = 0x1234;
    // A thread's values before the program changes them: normal priority, 100 ms quantum.
    static constexpr int32_t kNormalPriority = 251;
    static constexpr uint32_t kNormalQuantum = 100;

  private:
    class Page;
    SimComPort* PortOf(SerialHandle handle);

    SimProfile profile_;
    SimClock clock_;
    SimIrAir air_;
    SimGuestLog guestLog_;
    CMemoryRegistry registry_;
    std::unique_ptr<SimChip> chip_;

    bool queryFails_ = false;
    std::set<uint32_t> failingPages_;
    std::set<Page*> mappings_;

    uint64_t stylusUntil_ = 0;
    std::function<bool()> stylusSource_;
    int penFlushes_ = 0;
    std::function<void()> penFlushObserver_;

    int32_t priority_ = kNormalPriority;
    uint32_t quantum_ = kNormalQuantum;
    std::vector<SchedulingChange> schedulingLog_;
    std::vector<SystemCallRecord> systemCalls_;

    std::map<SerialHandle, std::string> openPorts_;  // handle -> port name
    SerialHandle nextHandle_ = 100;
    std::vector<std::string> serialLog_;
    SerialSettings portSettings_;
    SerialSettings lastSettings_;
    SerialTimeouts lastTimeouts_;
};
