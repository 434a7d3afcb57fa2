// The register pages of a simulated system-on-chip.
//
// The base class holds every register as plain memory. A chip model derives from it and
// gives the registers that have behaviour (counters, pins, pending bits) handlers of their
// own; everything else still reads back what was written.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class SimHandheld;

class SimChip {
  public:
    explicit SimChip(SimHandheld& handheld) : handheld(handheld) {}
    virtual ~SimChip() = default;
    SimChip(const SimChip&) = delete;
    SimChip& operator=(const SimChip&) = delete;

    void AddPage(uint32_t physicalPage);
    bool HasPage(uint32_t physicalPage) const { return pages_.count(physicalPage) != 0; }

    // A register access by the program; width is 1, 2 or 4 bytes. The address is aligned
    // to the width and inside a page of this chip.
    virtual uint32_t Read(uint32_t address, int width) { return Peek(address, width); }
    virtual void Write(uint32_t address, uint32_t value, int width) { Poke(address, value, width); }

    // The serial driver switched the profile's IrDA port into or out of infrared mode.
    virtual void OnSerialIrMode(bool on) { (void)on; }

    // Plain memory behind the registers, for models and tests; no time passes.
    uint32_t Peek(uint32_t address, int width) const;
    void Poke(uint32_t address, uint32_t value, int width);

  protected:
    SimHandheld& handheld;

  private:
    std::map<uint32_t, std::unique_ptr<std::array<uint8_t, 4096>>> pages_;
};
