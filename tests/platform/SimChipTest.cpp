#include "platform/sim/SimChip.h"

#include <gtest/gtest.h>

#include "platform/sim/SimHandheld.h"

namespace {

// An offset that a chip model does not know reads 0 and writes nothing, and each access is
// one guest-error line: a driver's wrong offset shows instead of passing as memory.
struct UnknownCase {
    const char* name;
    const char* profile;
    uint32_t page, offset;
    int width;
};

class ChipUnknownOffset : public ::testing::TestWithParam<UnknownCase> {};

uint32_t ReadAt(RegisterBlock& block, uint32_t offset, int width) {
    switch (width) {
        case 1:
            return block.Read8(offset);
        case 2:
            return block.Read16(offset);
        default:
            return block.Read32(offset);
    }
}

void WriteAt(RegisterBlock& block, uint32_t offset, uint32_t value, int width) {
    switch (width) {
        case 1:
            block.Write8(offset, static_cast<uint8_t>(value));
            break;
        case 2:
            block.Write16(offset, static_cast<uint16_t>(value));
            break;
        default:
            block.Write32(offset, value);
            break;
    }
}

TEST_P(ChipUnknownOffset, ReadsZeroAndLogsOneGuestErrorPerAccess) {
    const UnknownCase& c = GetParam();
    SimHandheld handheld(*FindSimProfile(c.profile));
    ScopedMapping block(handheld, c.page, true);
    ASSERT_NE(block.get(), nullptr);
    const uint32_t memory = handheld.Chip().Peek(c.page + c.offset, 4);

    WriteAt(*block.get(), c.offset, 0xA5A5A5A5, c.width);
    ASSERT_EQ(handheld.GuestErrors().size(), 1u);
    EXPECT_NE(handheld.GuestErrors()[0].find("write to an unknown register"), std::string::npos)
        << handheld.GuestErrors()[0];
    EXPECT_EQ(handheld.Chip().Peek(c.page + c.offset, 4), memory);  // nothing was stored

    EXPECT_EQ(ReadAt(*block.get(), c.offset, c.width), 0u);
    ASSERT_EQ(handheld.GuestErrors().size(), 2u);
    EXPECT_NE(handheld.GuestErrors()[1].find("read of an unknown register"), std::string::npos)
        << handheld.GuestErrors()[1];

    // What the boot code left in the chip's memory behind that offset does not show either.
    handheld.Chip().Poke(c.page + c.offset, 0x5A5A5A5A, 4);
    EXPECT_EQ(ReadAt(*block.get(), c.offset, c.width), 0u);
    EXPECT_EQ(handheld.GuestErrors().size(), 3u);
    EXPECT_FALSE(handheld.Air().TransmitterOn());
}

INSTANTIATE_TEST_SUITE_P(
    Chips, ChipUnknownOffset,
    ::testing::Values(UnknownCase{"Sa11x0TimerMatch", "sa1110", 0x90000000, 0x00, 4},
                      UnknownCase{"Sa11x0PinEdges", "sa1110", 0x90060000, 0x08, 4},
                      UnknownCase{"Sa11x0InterruptPending", "sa1110", 0x90050000, 0x00, 4},
                      UnknownCase{"Sa11x0UartData", "sa1110", 0x80030000, 0x14, 1},
                      UnknownCase{"Sa11x0Hssp", "sa1110", 0x80040000, 0x60, 4},
                      UnknownCase{"PxaTimerMatch", "pxa255", 0x40A00000, 0x00, 4},
                      UnknownCase{"PxaPinLevelBank0", "pxa255", 0x40E00000, 0x00, 4},
                      UnknownCase{"PxaInterruptPending", "pxa255", 0x40D00000, 0x00, 4},
                      UnknownCase{"PxaUartData", "pxa255", 0x40700000, 0x00, 1},
                      UnknownCase{"PxaUartLineControl", "pxa250", 0x40100000, 0x0C, 4},
                      UnknownCase{"Pxa27xPinLevelBank3", "pxa27x", 0x40E00000, 0x100, 4},
                      UnknownCase{"S3cTimer0CountBuffer", "s3c2410", 0x51000000, 0x0C, 4},
                      UnknownCase{"S3cPortAControl", "s3c2410", 0x56000000, 0x00, 4},
                      UnknownCase{"S3cInterruptOffset", "s3c2410", 0x4A000000, 0x14, 4},
                      UnknownCase{"S3cPllControl", "s3c2440", 0x4C000000, 0x04, 4},
                      UnknownCase{"S3cUartStatus", "s3c2440", 0x50008000, 0x10, 1},
                      UnknownCase{"OmapUart1", "omap1510", 0xFFFB9000, 0x00, 1},
                      UnknownCase{"OmapUart3Scratch", "omap1510", 0xFFFB9000, 0x81C, 1},
                      UnknownCase{"OmapTimer1", "omap1510", 0xFFFEC000, 0x008, 4},
                      UnknownCase{"OmapTimer3Spare", "omap1510", 0xFFFEC000, 0x70C, 4},
                      UnknownCase{"OmapConfigFunctionMux", "omap1510", 0xFFFE1000, 0x00, 4}),
    [](const auto& info) { return std::string(info.param.name); });

// A processor without a model knows no register at all.
TEST(ChipUnknownOffset, AChipWithoutAModelKnowsNoRegister) {
    SimClock clock;
    SimIrAir air;
    SimGuestLog log;
    SimChip chip({clock, air, log, 0});
    chip.AddPage(0x10000000);
    chip.Write(0x10000010, 7, 4);
    EXPECT_EQ(chip.Read(0x10000010, 4), 0u);
    EXPECT_EQ(log.Lines().size(), 2u);
}

}  // namespace
