// Wave files: the uncompressed PCM sounds that the remote plays.
//
// Reading is for files on disk that anyone may have replaced, so it checks every size
// against the bytes that are really there.
#pragma once

#include <cstdint>
#include <vector>

struct WaveSound {
    uint16_t channels = 1;
    uint32_t sampleRate = 22050;
    uint16_t bitsPerSample = 16;   // 8 (unsigned) or 16 (signed, little-endian)
    std::vector<uint8_t> samples;  // whole frames only

    uint32_t FrameBytes() const { return uint32_t{channels} * (bitsPerSample / 8u); }
    uint32_t FrameCount() const { return FrameBytes() ? samples.size() / FrameBytes() : 0; }
};

enum WaveResult {
    kWaveOk = 0,
    kWaveNotRiff = 1,      // no "RIFF....WAVE" header
    kWaveNoFormat = 2,     // no complete "fmt " chunk before the data
    kWaveUnsupported = 3,  // not PCM, or channels / bits / rate we do not play
    kWaveNoData = 4,       // no "data" chunk
};

// Reads a RIFF wave file. A data chunk that claims more bytes than the file holds is cut
// to the whole frames present, as players do with a file whose writing was interrupted.
int ParseWave(const std::vector<uint8_t>& file, WaveSound& sound);

// Writes a canonical 44-byte-header PCM wave file.
std::vector<uint8_t> WriteWave(const WaveSound& sound);
