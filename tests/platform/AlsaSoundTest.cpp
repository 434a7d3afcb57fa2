#include "platform/host/AlsaSound.h"

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

namespace {

std::string WriteTemp(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::string path = testing::TempDir() + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return path;
}

double SecondsFor(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// This runs on machines with and without a sound card (the build machines have none):
// whatever the device does, playing never fails loudly, never hangs, and asynchronous
// play hands control back at once.
class AlsaSoundTest : public testing::TestWithParam<const char*> {};

TEST_P(AlsaSoundTest, EveryRequestReturnsQuietly) {
    WaveSound half;  // 0.5 s of silence
    half.sampleRate = 8000;
    half.bitsPerSample = 8;
    half.samples.assign(4000, 128);
    const std::string good = WriteTemp("half.wav", WriteWave(half));
    const std::string garbage = WriteTemp("garbage.wav", {'R', 'I', 'F', 'F', 1, 2});

    CAlsaSound sound(GetParam());
    EXPECT_LT(SecondsFor([&] { sound.Play(good, false); }), 0.25);
    sound.Play(testing::TempDir() + "missing.wav", true);
    sound.Play(garbage, true);
    sound.Play(good, false);
    sound.Beep();
    // Synchronous play ends with the sound (or at once without a device): well under 2 s.
    EXPECT_LT(SecondsFor([&] { sound.Play(good, true); }), 2.0);
}

INSTANTIATE_TEST_SUITE_P(Devices, AlsaSoundTest,
                         testing::Values("default", "hw:97,0", "no-such-device"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             for (char& c : name) {
                                 if (!isalnum(static_cast<unsigned char>(c))) {
                                     c = '_';
                                 }
                             }
                             return name;
                         });

}  // namespace
