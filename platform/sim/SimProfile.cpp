#include "platform/sim/SimProfile.h"

#include <cstdio>

#include "platform/Registry.h"
#include "platform/sim/SimChip.h"
#include "platform/sim/SimHandheld.h"
#include "platform/sim/SimOmap1510.h"
#include "platform/sim/SimPxa.h"
#include "platform/sim/SimS3c24xx.h"
#include "platform/sim/SimSa11x0.h"

namespace {

using ChipMaker = std::function<std::unique_ptr<SimChip>(const SimChipWiring&)>;

const ChipMaker kSa11x0Chip = [](const SimChipWiring& wiring) {
    return std::make_unique<SimSa11x0Chip>(wiring);
};
ChipMaker PxaChip(uint64_t timerHertz) {
    return [timerHertz](const SimChipWiring& wiring) {
        return std::make_unique<SimPxaChip>(wiring, timerHertz);
    };
}

std::vector<SimComPort> StandardPorts() {
    return {
        {"COM1:", "Serial Cable on COM1:", "Drivers\\BuiltIn\\Serial", false, false},
        {"COM3:", "Infrared Port", "Drivers\\BuiltIn\\IrDA", false, true},
        {"COM5:", "Bluetooth Serial Port", "Drivers\\BuiltIn\\BtSerial", false, false},
    };
}

SimProfile Make(const char* id, const char* description, int family, ProcessorInfo info,
                uint64_t frequency, int irUart, ChipMaker makeChip) {
    SimProfile profile;
    profile.id = id;
    profile.description = description;
    profile.family = family;
    profile.info = std::move(info);
    profile.performanceFrequency = frequency;
    profile.irUartIndex = irUart;
    profile.comPorts = StandardPorts();
    profile.makeChip = std::move(makeChip);
    return profile;
}

std::vector<SimProfile> BuildProfiles() {
    std::vector<SimProfile> profiles;
    profiles.push_back(Make("sa1110", "StrongARM SA-1110 handheld", 1, {"StrongARM", "SA1110", 206},
                            3686400, 0, kSa11x0Chip));
    profiles.push_back(Make("pxa250", "Intel PXA250 handheld", 2, {"XScale", "PXA250", 400},
                            3686400, 1, PxaChip(3686400)));
    profiles.push_back(Make("pxa255", "Intel PXA255 handheld", 3, {"XScale", "PXA255", 400},
                            3686400, 3, PxaChip(3686400)));
    profiles.push_back(Make("pxa26x", "Intel PXA263 handheld", 4, {"XScale", "PXA263", 400},
                            3686400, 2, PxaChip(3686400)));
    profiles.push_back(Make("pxa27x", "Intel PXA270 handheld", 5, {"XScale", "PXA270", 520},
                            3250000, 3, PxaChip(3250000)));
    profiles.push_back(Make("s3c2410", "Samsung S3C2410 handheld", 6, {"ARM920T", "S3C2410", 203},
                            1000000, 3, SimS3c24xx::Maker(SimS3c2410Config())));
    profiles.push_back(Make("s3c2440", "Samsung S3C2440 handheld", 6, {"ARM920T", "S3C2440A", 400},
                            1000000, 3, SimS3c24xx::Maker(SimS3c2440Config())));
    profiles.push_back(Make("omap1510", "TI OMAP1510 handheld", 7, {"ARM925T", "OMAP1510", 168},
                            3038000, 0, SimOmap1510::Maker()));
    profiles.push_back(Make("unknown", "handheld with an unsupported processor", 0,
                            {"ARM1136EJ-S", "MX31", 532}, 1000000, 0, nullptr));
    return profiles;
}

}  // namespace

const std::vector<SimProfile>& SimProfiles() {
    static const std::vector<SimProfile> profiles = BuildProfiles();
    return profiles;
}

const SimProfile* FindSimProfile(const std::string& id) {
    for (const SimProfile& profile : SimProfiles()) {
        if (profile.id == id) {
            return &profile;
        }
    }
    return nullptr;
}

std::string SimProfileIds() {
    std::string ids;
    for (const SimProfile& profile : SimProfiles()) {
        ids += (ids.empty() ? "" : ", ") + profile.id;
    }
    return ids;
}

void FillSimRegistry(const SimProfile& profile, CMemoryRegistry& registry) {
    const std::string active = "HKLM\\Drivers\\Active";
    registry.AddKey(active);
    int number = 1;
    auto addDriver = [&](const std::string& name, const std::string& key) {
        char sub[8];
        std::snprintf(sub, sizeof sub, "%02d", number++);
        registry.SetString(active + "\\" + sub, "Key", key);
        if (!name.empty()) {
            registry.SetString(active + "\\" + sub, "Name", name);
        }
    };
    // Drivers that are no serial ports come first, as on a real device.
    addDriver("", "Drivers\\BuiltIn\\PowerButton");
    addDriver("BAT1:", "Drivers\\BuiltIn\\Battery");
    registry.SetString("HKLM\\Drivers\\BuiltIn\\Battery", "FriendlyName", "Battery");
    for (const SimComPort& port : profile.comPorts) {
        addDriver(port.name, port.driverKey);
        registry.SetString("HKLM\\" + port.driverKey, "FriendlyName", port.friendlyName);
    }
    registry.SetNumber("HKCU\\Software\\Microsoft\\Obex\\Settings", "ServerState",
                       profile.obexServerOn ? 1 : 0);
}
