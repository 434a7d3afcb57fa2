#include "platform/host/AlsaSound.h"

#include <alsa/asoundlib.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

namespace {

// ALSA reports a missing card or device on stderr by default; sounds fail silently here.
void QuietErrors(const char*, int, const char*, int, const char*, ...) {}

std::once_flag quietOnce;

bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        return false;
    }
    uint8_t buffer[8192];
    size_t n;
    // Sound files are small; refuse anything that is plainly not one of ours.
    constexpr size_t kMaxBytes = 16u << 20;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0 && bytes.size() < kMaxBytes) {
        bytes.insert(bytes.end(), buffer, buffer + n);
    }
    std::fclose(f);
    return bytes.size() < kMaxBytes;
}

}  // namespace

WaveSound BeepSound() {
    WaveSound beep;
    beep.channels = 1;
    beep.sampleRate = 22050;
    beep.bitsPerSample = 16;
    const int frames = beep.sampleRate / 8;  // 125 ms
    for (int i = 0; i < frames; ++i) {
        const double t = double(i) / beep.sampleRate;
        // Quick attack and a smooth decay keep the tone from clicking.
        const double envelope = std::min(1.0, i / 200.0) * std::exp(-t * 18.0);
        const double v = 0.35 * envelope * std::sin(2 * std::numbers::pi * 1320.0 * t);
        const auto s = static_cast<int16_t>(std::lround(v * 32767));
        beep.samples.push_back(static_cast<uint8_t>(s & 0xFF));
        beep.samples.push_back(static_cast<uint8_t>((s >> 8) & 0xFF));
    }
    return beep;
}

CAlsaSound::CAlsaSound(std::string device) : device_(std::move(device)) {
    std::call_once(quietOnce, [] { snd_lib_error_set_handler(&QuietErrors); });
}

CAlsaSound::~CAlsaSound() {
    StopBackground();
}

void CAlsaSound::Play(const std::string& file, bool synchronous) {
    std::vector<uint8_t> bytes;
    WaveSound sound;
    if (!ReadFile(file, bytes) || ParseWave(bytes, sound) != kWaveOk) {
        return;
    }
    Start(std::move(sound), synchronous);
}

void CAlsaSound::Beep() {
    Start(BeepSound(), false);
}

void CAlsaSound::Start(WaveSound sound, bool synchronous) {
    // A new sound replaces the one still playing in the background.
    StopBackground();
    if (synchronous) {
        Output(sound, std::stop_token());
        return;
    }
    std::lock_guard lock(mutex_);
    background_ = std::jthread(
        [this, sound = std::move(sound)](std::stop_token stop) { Output(sound, stop); });
}

void CAlsaSound::StopBackground() {
    std::jthread finished;
    {
        std::lock_guard lock(mutex_);
        finished = std::move(background_);
    }
    if (finished.joinable()) {
        finished.request_stop();
        finished.join();
    }
}

bool CAlsaSound::Output(const WaveSound& sound, std::stop_token stop) const {
    if (sound.FrameCount() == 0) {
        return true;
    }
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, device_.c_str(), SND_PCM_STREAM_PLAYBACK, 0) < 0) {
        return false;
    }
    const snd_pcm_format_t format =
        sound.bitsPerSample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
    // 100 ms of latency: short enough for the click to stay a click.
    if (snd_pcm_set_params(pcm, format, SND_PCM_ACCESS_RW_INTERLEAVED, sound.channels,
                           sound.sampleRate, 1, 100000) < 0) {
        snd_pcm_close(pcm);
        return false;
    }
    const uint32_t frameBytes = sound.FrameBytes();
    const snd_pcm_uframes_t total = sound.FrameCount();
    const snd_pcm_uframes_t chunk = sound.sampleRate / 50;  // 20 ms between stop checks
    snd_pcm_uframes_t done = 0;
    bool ok = true;
    while (done < total && !stop.stop_requested()) {
        const snd_pcm_uframes_t want = std::min(chunk, total - done);
        snd_pcm_sframes_t written =
            snd_pcm_writei(pcm, sound.samples.data() + done * frameBytes, want);
        if (written < 0) {
            written = snd_pcm_recover(pcm, static_cast<int>(written), 1);
            if (written < 0) {
                ok = false;
                break;
            }
            continue;
        }
        done += static_cast<snd_pcm_uframes_t>(written);
    }
    if (ok && !stop.stop_requested()) {
        snd_pcm_drain(pcm);  // synchronous play ends when the sound has been heard
    } else {
        snd_pcm_drop(pcm);
    }
    snd_pcm_close(pcm);
    return ok;
}
