// The device remotes that live beside the simulated handheld: one per device category,
// each speaking a common infrared protocol with codes of our own. When the program waits
// for a button to learn, the remote of that category presses it (if it has it).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/sim/SimIrAir.h"

struct SimRemoteButton {
    const char* name;  // as the on-screen remote names the button
    uint32_t code;     // the protocol's command (and, where it has one, address) bits
};

enum class SimProtocol {
    Pulse12,      // 12-bit pulse-width code, 40 kHz, whole frame every 45 ms
    BiPhase14,    // 14-bit bi-phase code, 36 kHz, whole frame every 114 ms, toggle bit
    Pulse48,      // 48-bit pulse-distance code, 37 kHz, whole frame every 74 ms
    Distance16,   // 16-bit pulse-distance code, 38 kHz, header once, then the bare frame
    Distance32,   // 32-bit pulse-distance code, 38 kHz, then short repeat codes
    BiPhaseLead,  // bi-phase code with leader and double-length trailer bit, 36 kHz
};

struct SimRemote {
    const char* category;     // "TV", "Cab/Sat", "DVD/CD", "VCR", "Audio", "TiVo"
    const char* description;  // shown to people
    SimProtocol protocol;
    uint32_t address;
    std::vector<SimRemoteButton> buttons;

    uint32_t CarrierHz() const;
    // What the remote sends while `button` is held for `holdMs`; empty durations when the
    // remote has no such button. The frames that start while the button is held are sent
    // whole; a protocol's minimum number of frames is always sent.
    RemoteWaveform Press(const std::string& button, uint32_t holdMs) const;
    bool HasButton(const std::string& button) const;
};

// The six remotes, in category order (TV first).
const std::vector<SimRemote>& SimRemotes();
// The remote of a category by its name ("TV", "Cab/Sat", ...) ignoring case, or its
// number (1 TV .. 6 TiVo); null when there is none.
const SimRemote* FindSimRemote(const std::string& category);
const SimRemote* FindSimRemote(int category);
