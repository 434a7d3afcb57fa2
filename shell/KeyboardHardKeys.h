// The hardware keys of the handheld, played by the desktop keyboard:
//
//   "Button 1"  F5        "Up"     Up arrow      "Left"   Left arrow
//   "Button 2"  F6        "Down"   Down arrow    "Right"  Right arrow
//   "Start"     Return (or the keypad's Enter)
//
// Taking the keys from the system means that, while they are taken, the main window keeps
// them to itself: they send their assigned buttons and do nothing else. Given back, they
// reach the window's controls as ordinary keys.
#pragma once

#include <cstdint>

#include "platform/HardKeys.h"

class CKeyboardHardKeys : public HardKeys {
  public:
    // The key codes that key messages carry for the seven keys and the spare one.
    static constexpr uint16_t kCodeUp = 0x26;
    static constexpr uint16_t kCodeDown = 0x28;
    static constexpr uint16_t kCodeLeft = 0x25;
    static constexpr uint16_t kCodeRight = 0x27;
    static constexpr uint16_t kCodeButton1 = 0x74;  // F5
    static constexpr uint16_t kCodeButton2 = 0x75;  // F6
    static constexpr uint16_t kCodeSpare = 0x76;    // F7, no slot of its own
    static constexpr uint16_t kCodeStart = 0x0D;    // Return

    bool Open() override {
        open_ = true;
        return true;
    }
    bool Close() override {
        open_ = false;
        return true;
    }
    HardKeyList DefaultKeys() override;

    bool IsOpen() const { return open_; }

    // The key code of a Qt key (Qt::Key), 0 for a key that is none of the handheld's.
    static uint16_t CodeOfKey(int qtKey);
    // Whether the code is one of the seven slots' keys.
    static bool IsSlotKey(uint16_t code);

  private:
    bool open_ = false;
};
