// Wave files as anyone may put them in the sound folder: reading never crashes or reads
// outside the file, and what it accepts is a sound the output can play.
#include <cstdlib>

#include "platform/Wave.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> file(data, data + size);
    WaveSound sound;
    if (ParseWave(file, sound) == kWaveOk) {
        const bool playable = (sound.channels == 1 || sound.channels == 2) &&
                              (sound.bitsPerSample == 8 || sound.bitsPerSample == 16) &&
                              sound.samples.size() % sound.FrameBytes() == 0 &&
                              sound.samples.size() <= size;
        if (!playable) {
            std::abort();
        }
        // What we write, we read back unchanged.
        WaveSound again;
        if (ParseWave(WriteWave(sound), again) != kWaveOk || again.samples != sound.samples) {
            std::abort();
        }
    }
    return 0;
}
