// Acoustic feedback: wave files and the system beep.
//
// Sounds only accompany actions, so every failure (no file, no sound card, a file we
// cannot play) is silent and the action goes on.
#pragma once

#include <string>
#include <vector>

class Sound {
  public:
    virtual ~Sound() = default;

    // Plays the wave file at a host path. Synchronous play returns when the sound has
    // ended; asynchronous play returns at once and replaces a sound still playing.
    virtual void Play(const std::string& file, bool synchronous) = 0;
    // The short default beep that tells the user a capture is done.
    virtual void Beep() = 0;
};

// The process-wide sound output; a silent one until the program installs another.
Sound& GetSound();
// Installs `sound` (not owned; nullptr goes back to silence) and returns the previous one.
Sound* SetSound(Sound* sound);

// Remembers what was asked to play, for tests.
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

// Installs a sound output for the lifetime of a scope.
class CScopedSound {
  public:
    explicit CScopedSound(Sound& sound) : previous_(SetSound(&sound)) {}
    ~CScopedSound() { SetSound(previous_); }
    CScopedSound(const CScopedSound&) = delete;
    CScopedSound& operator=(const CScopedSound&) = delete;

  private:
    Sound* previous_;
};
