// What a simulated handheld is: its processor, its register pages, its serial ports and
// which of them switches the IR UART into infrared mode, and its registry.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/IrPlatform.h"

class SimChip;
struct SimChipWiring;
class CMemoryRegistry;

struct SimComPort {
    std::string name;          // "COM3:"
    std::string friendlyName;  // "Infrared Port"
    std::string driverKey;     // the driver's settings key below HKLM
    bool busy = false;         // held by another program: opening fails
    bool irda = false;         // the port that switches the IR UART into infrared mode
};

struct SimProfile {
    std::string id;           // command-line name: "pxa255"
    std::string description;  // "PXA255 handheld"
    int family = 0;           // the family code detection is expected to find
    bool queryFails = false;  // the processor-information query fails
    ProcessorInfo info;
    uint64_t performanceFrequency = 3686400;
    int irUartIndex = 0;  // UART (1..3) that carries the IR transceiver; 0 for none
    std::vector<SimComPort> comPorts;
    bool obexServerOn = false;
    // Builds the chip model with its register pages; none: a chip whose pages are not
    // known (nothing maps).
    std::function<std::unique_ptr<SimChip>(const SimChipWiring&)> makeChip;
};

const std::vector<SimProfile>& SimProfiles();
// The profile with that id, or null.
const SimProfile* FindSimProfile(const std::string& id);
// "pxa250, pxa255, ..." for messages.
std::string SimProfileIds();

// Fills a registry as the handheld's system would: its active drivers and OBEX state.
void FillSimRegistry(const SimProfile& profile, CMemoryRegistry& registry);
