#include "platform/Wave.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

WaveSound Mono16(std::vector<uint8_t> samples) {
    WaveSound sound;
    sound.channels = 1;
    sound.sampleRate = 8000;
    sound.bitsPerSample = 16;
    sound.samples = std::move(samples);
    return sound;
}

void SetLe32(std::vector<uint8_t>& file, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        file[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }
}

TEST(Wave, WrittenFileReadsBack) {
    WaveSound sound = Mono16({1, 2, 3, 4, 5, 6});
    WaveSound back;
    ASSERT_EQ(ParseWave(WriteWave(sound), back), kWaveOk);
    EXPECT_EQ(back.samples, sound.samples);
    EXPECT_EQ(back.sampleRate, 8000u);
    EXPECT_EQ(back.FrameCount(), 3u);
}

TEST(Wave, SkipsUnknownChunksWithOddLengthPadding) {
    std::vector<uint8_t> file = WriteWave(Mono16({9, 9}));
    // Put a 3-byte "LIST" chunk (padded to 4) between the format and the data.
    const std::vector<uint8_t> list = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    file.insert(file.begin() + 36, list.begin(), list.end());
    WaveSound back;
    ASSERT_EQ(ParseWave(file, back), kWaveOk);
    EXPECT_EQ(back.samples, (std::vector<uint8_t>{9, 9}));
}

// A file cut short keeps the whole frames it still has, never reads past its end.
TEST(Wave, DataClaimingMoreThanTheFileIsCutToWholeFrames) {
    std::vector<uint8_t> file = WriteWave(Mono16({1, 2, 3, 4}));
    file.pop_back();  // 3 data bytes left: one whole 2-byte frame
    WaveSound back;
    ASSERT_EQ(ParseWave(file, back), kWaveOk);
    EXPECT_EQ(back.samples, (std::vector<uint8_t>{1, 2}));
}

struct BadCase {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> damage;
    int result;
};

class WaveDamaged : public testing::TestWithParam<BadCase> {};

TEST_P(WaveDamaged, IsRefused) {
    std::vector<uint8_t> file = WriteWave(Mono16({1, 2, 3, 4}));
    GetParam().damage(file);
    WaveSound back;
    back.sampleRate = 1234;
    EXPECT_EQ(ParseWave(file, back), GetParam().result);
    EXPECT_EQ(back.sampleRate, 1234u);  // untouched on failure
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WaveDamaged,
    testing::Values(BadCase{"Empty", [](auto& f) { f.clear(); }, kWaveNotRiff},
                    BadCase{"NotWave", [](auto& f) { f[8] = 'X'; }, kWaveNotRiff},
                    BadCase{"Compressed", [](auto& f) { f[20] = 2; }, kWaveUnsupported},
                    BadCase{"ThreeChannels", [](auto& f) { f[22] = 3; }, kWaveUnsupported},
                    BadCase{"ZeroChannels", [](auto& f) { f[22] = 0; }, kWaveUnsupported},
                    BadCase{"TwelveBits", [](auto& f) { f[34] = 12; }, kWaveUnsupported},
                    BadCase{"ZeroRate", [](auto& f) { SetLe32(f, 24, 0); }, kWaveUnsupported},
                    BadCase{"FormatCut", [](auto& f) { f.resize(30); }, kWaveNoFormat},
                    BadCase{"DataBeforeFormat", [](auto& f) { f[12] = 'x'; }, kWaveNoFormat},
                    BadCase{"NoDataChunk", [](auto& f) { f.resize(36); }, kWaveNoData},
                    // An odd chunk that ends the file has no room for its pad byte.
                    BadCase{"OddLastChunkWithoutPad",
                            [](auto& f) {
                                f.resize(36);
                                const std::vector<uint8_t> odd = {'j', 'u', 'n', 'k', 1,
                                                                  0,   0,   0,   7};
                                f.insert(f.end(), odd.begin(), odd.end());
                            },
                            kWaveNoData},
                    // A chunk length near 4 GiB must not wrap the position around.
                    BadCase{"HugeChunkBeforeData",
                            [](auto& f) {
                                f[36] = 'j';
                                SetLe32(f, 40, 0xFFFFFFF8u);
                            },
                            kWaveNoData}),
    [](const testing::TestParamInfo<BadCase>& info) { return std::string(info.param.name); });

}  // namespace
