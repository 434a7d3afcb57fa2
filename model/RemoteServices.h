// What the remote model reaches the world through. The program (or a tool, or a test) makes
// these and hands them to the model; nothing below the program's main() looks one up.
#pragma once

#include <functional>

class CIrDriver;
class HandheldFs;
class HardKeys;
class Sound;

struct RemoteServices {
    HandheldFs* fs = nullptr;      // the handheld's files; required
    Sound* sound = nullptr;        // null: silent
    HardKeys* hardKeys = nullptr;  // null: the keys cannot be taken from the system
    // The device's IR driver, made on first need; it gives null while the device has none
    // (and is asked again next time). Unset: no IR at all.
    std::function<CIrDriver*()> driver;
};
