#include "HardKeys.h"

namespace {

class CNoHardKeys : public HardKeys {
  public:
    bool Open() override { return true; }
    bool Close() override { return true; }
    HardKeyList DefaultKeys() override { return {}; }
};

CNoHardKeys noKeys;
HardKeys* current = &noKeys;

}  // namespace

std::array<uint16_t, kHardKeySlots> SlotKeys(const HardKeyList& keys) {
    return {keys.a, keys.b, keys.up, keys.down, keys.left, keys.right, keys.start};
}

const char* HardKeySlotName(int slot) {
    static constexpr const char* kNames[kHardKeySlots] = {"Button 1", "Button 2", "Up",   "Down",
                                                          "Left",     "Right",    "Start"};
    return slot >= 0 && slot < kHardKeySlots ? kNames[slot] : "";
}

HardKeys& GetHardKeys() {
    return *current;
}

HardKeys* SetHardKeys(HardKeys* keys) {
    HardKeys* previous = current == &noKeys ? nullptr : current;
    current = keys ? keys : &noKeys;
    return previous;
}
