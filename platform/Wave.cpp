#include "platform/Wave.h"

#include <cstring>

namespace {

uint32_t Le32(const uint8_t* p) {
    return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}
uint16_t Le16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
}
void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void PutTag(std::vector<uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<uint8_t>(tag[i]));
    }
}

}  // namespace

int ParseWave(const std::vector<uint8_t>& file, WaveSound& sound) {
    const size_t size = file.size();
    const uint8_t* data = file.data();
    if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0) {
        return kWaveNotRiff;
    }
    bool haveFormat = false;
    WaveSound result;
    size_t pos = 12;
    // Chunks: 4-byte tag, 4-byte size, body padded to an even length.
    while (size - pos >= 8) {
        const uint8_t* chunk = data + pos;
        const uint32_t length = Le32(chunk + 4);
        const size_t body = pos + 8;
        const size_t available = size - body;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (length < 16 || available < 16) {
                return kWaveNoFormat;
            }
            const uint16_t format = Le16(chunk + 8);
            result.channels = Le16(chunk + 10);
            result.sampleRate = Le32(chunk + 12);
            result.bitsPerSample = Le16(chunk + 22);
            if (format != 1 || result.channels < 1 || result.channels > 2 ||
                result.sampleRate < 1000 || result.sampleRate > 192000 ||
                (result.bitsPerSample != 8 && result.bitsPerSample != 16)) {
                return kWaveUnsupported;
            }
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) {
                return kWaveNoFormat;
            }
            size_t bytes = length < available ? length : available;
            bytes -= bytes % result.FrameBytes();
            result.samples.assign(data + body, data + body + bytes);
            sound = std::move(result);
            return kWaveOk;
        }
        // An odd-sized chunk is followed by a pad byte, which a file may leave off at its end.
        const size_t padded = size_t{length} + (length & 1u);
        if (padded > available) {
            break;
        }
        pos = body + padded;
    }
    return haveFormat ? kWaveNoData : kWaveNoFormat;
}

std::vector<uint8_t> WriteWave(const WaveSound& sound) {
    std::vector<uint8_t> out;
    const uint32_t dataBytes = static_cast<uint32_t>(sound.samples.size());
    out.reserve(44 + dataBytes + 1);
    PutTag(out, "RIFF");
    Put32(out, 36 + dataBytes + (dataBytes & 1u));
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, sound.channels);
    Put32(out, sound.sampleRate);
    Put32(out, sound.sampleRate * sound.FrameBytes());
    Put16(out, static_cast<uint16_t>(sound.FrameBytes()));
    Put16(out, sound.bitsPerSample);
    PutTag(out, "data");
    Put32(out, dataBytes);
    for (uint8_t sample : sound.samples) {
        out.push_back(sample);
    }
    if (dataBytes & 1u) {
        out.push_back(0);
    }
    return out;
}
