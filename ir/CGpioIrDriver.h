// The drivers that work the IR transceiver as two plain pins: they emit by switching the
// transmit pin at the carrier frequency, and learn by polling the receive pin, both timed
// by busy-waiting on the chip's free-running 32-bit operating-system timer.
//
// Send and Capture are the same on every such chip; a subclass supplies its register
// blocks, its pins and what it does with them before and after, and the chip's timing in
// a GpioIrChipTraits.
#pragma once

#include <cstdint>

#include "ir/CIrDriver.h"

// What differs between the chips this driver family serves.
struct GpioIrChipTraits {
    uint64_t ticksPerSecond;  // timer rate (3686400 or 3250000)
    // During a mark the interrupt mask is reduced to `markMaskKeep` (AND); without
    // `maskDuringMark` it stays as it is.
    bool maskDuringMark;
    uint32_t markMaskKeep;
    // From the first received edge of a capture on, the mask is reduced to `captureMaskKeep`.
    bool maskDuringCapture;
    uint32_t captureMaskKeep;
    uint32_t burstInner;  // inner scheduling value around bursts
    // With the repeat-while-held modes, the last entry of each pass runs under the
    // thread's normal inner value.
    bool lastEntryOutside;
};

// How the transceiver's pins are reached in one register block.
struct GpioIrPins {
    uint32_t levelOffset;  // read: the receive pin's level
    uint32_t receiveMask;
    uint32_t onOffset, onValue;    // written to light the emitter
    uint32_t offOffset, offValue;  // written to put it out
};

class CGpioIrDriver : public CIrDriver {
  public:
    ~CGpioIrDriver() override;

    int Send(uint16_t repeat) override;
    int Capture() override;

    // Offsets shared by the chips: the timer's counter, the interrupt controller's mask.
    static constexpr uint32_t kTimerCounter = 0x10;
    static constexpr uint32_t kInterruptMask = 0x04;

  protected:
    CGpioIrDriver(IrPlatform& platform, const GpioIrChipTraits& traits, uint32_t timerAddress,
                  uint32_t interruptAddress, uint32_t pinAddress);

    // Every block that Send and Capture need is mapped.
    virtual bool Mapped() const;
    // 303 when the chip has no UART in infrared mode; 0 when the pins are known.
    virtual int CheckPins() const { return 0; }
    virtual GpioIrPins Pins() const = 0;

    // Pin set-up around a send and a capture; each restore undoes exactly its set-up.
    virtual void SetUpSendPins() = 0;
    virtual void RestoreSendPins() = 0;
    virtual void SetUpCapturePins() {}
    virtual void RestoreCapturePins() {}
    // Around the whole send, outside the scheduling changes.
    virtual void SendStarting() {}
    virtual void SendFinished() {}

    void EmitMark(const GpioIrPins& pins, uint64_t from, uint64_t until, uint32_t markUs);

    // Maps a block for the life of the driver; null when it cannot be mapped.
    RegisterBlock* MapBlock(uint32_t address);

    const GpioIrChipTraits traits;
    RegisterBlock* timer = nullptr;
    RegisterBlock* interrupts = nullptr;
    RegisterBlock* pinBlock = nullptr;

  private:
    uint32_t Counter() { return timer->Read32(kTimerCounter); }
    // The counter during a send, extended to 64 bits so that it never wraps.
    uint64_t SendNow();
    void WaitUntil(uint64_t tick);

    CountedTicks sendTicks;

    RegisterBlock* mapped_[8] = {};
    int mappedCount_ = 0;
};
