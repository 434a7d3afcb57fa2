// Sound output of the Linux host through ALSA's default playback device.
#pragma once

#include <mutex>
#include <stop_token>
#include <string>
#include <thread>

#include "platform/Sound.h"
#include "platform/Wave.h"

class CAlsaSound : public Sound {
  public:
    // `device` is the ALSA playback device name ("default" normally).
    explicit CAlsaSound(std::string device = "default");
    ~CAlsaSound() override;

    void Play(const std::string& file, bool synchronous) override;
    void Beep() override;

  private:
    void Start(WaveSound sound, bool synchronous);
    void StopBackground();
    // Plays to the end, or until `stop` is requested; false when the device refused.
    bool Output(const WaveSound& sound, std::stop_token stop) const;

    std::string device_;
    std::mutex mutex_;  // guards background_
    std::jthread background_;
};

// The beep: a short soft tone, as a wave.
WaveSound BeepSound();
