// The handheld's hardware keys (direction keys, application buttons, the action key).
//
// While they act as remote buttons the program takes them from the system (`Open`); while
// they do not, it gives them back (`Close`). The key codes of the keys come from the
// default key list.
#pragma once

#include <array>
#include <cstdint>

// The key codes of the handheld's keys, as the platform reports them in key messages.
struct HardKeyList {
    uint16_t up = 0;
    uint16_t down = 0;
    uint16_t left = 0;
    uint16_t right = 0;
    uint16_t a = 0;
    uint16_t b = 0;
    uint16_t c = 0;  // not one of the program's slots
    uint16_t start = 0;
};

// The seven slots, in their fixed order: "Button 1", "Button 2", "Up", "Down", "Left",
// "Right", "Start".
constexpr int kHardKeySlots = 7;
std::array<uint16_t, kHardKeySlots> SlotKeys(const HardKeyList& keys);
// The name a slot is shown with; empty outside 0..6.
const char* HardKeySlotName(int slot);

class HardKeys {
  public:
    virtual ~HardKeys() = default;

    // Takes the keys from the system; false when that failed.
    virtual bool Open() = 0;
    // Gives the keys back to the system; false when that failed.
    virtual bool Close() = 0;
    // The key codes of the keys in the normal (portrait) orientation.
    virtual HardKeyList DefaultKeys() = 0;
};
