#include "platform/HardKeys.h"

std::array<uint16_t, kHardKeySlots> SlotKeys(const HardKeyList& keys) {
    return {keys.a, keys.b, keys.up, keys.down, keys.left, keys.right, keys.start};
}

const char* HardKeySlotName(int slot) {
    static constexpr const char* kNames[kHardKeySlots] = {"Button 1", "Button 2", "Up",   "Down",
                                                          "Left",     "Right",    "Start"};
    return slot >= 0 && slot < kHardKeySlots ? kNames[slot] : "";
}
