// Test doubles of the sound output and the hardware keys: they remember what they were
// asked and fail when told to.
#pragma once

#include <string>
#include <vector>

#include "platform/HardKeys.h"
#include "platform/Sound.h"

class CRecordingSound : public Sound {
  public:
    struct Event {
        std::string file;  // empty for a beep
        bool synchronous = false;
        bool operator==(const Event&) const = default;
    };
    void Play(const std::string& file, bool synchronous) override {
        events.push_back({file, synchronous});
    }
    void Beep() override { events.push_back({std::string(), true}); }
    std::vector<Event> events;
};

class CRecordingHardKeys : public HardKeys {
  public:
    bool Open() override {
        ++opens;
        open = openSucceeds ? true : open;
        return openSucceeds;
    }
    bool Close() override {
        ++closes;
        open = closeSucceeds ? false : open;
        return closeSucceeds;
    }
    HardKeyList DefaultKeys() override { return keys; }

    HardKeyList keys;
    bool openSucceeds = true;
    bool closeSucceeds = true;
    bool open = false;
    int opens = 0;
    int closes = 0;
};
