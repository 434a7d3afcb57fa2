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
