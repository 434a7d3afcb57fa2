// The shared engine: where the tolerance ends, and how bi-phase runs meet the gap.
#include <gtest/gtest.h>

#include "ir/protocols/ProtocolEngine.h"

namespace {

TEST(ProtocolEngine, MarksMayRunLongByTheSlackSpacesShort) {
    constexpr int32_t kNominalUs = 1000;
    constexpr int32_t kSlackUs = 26;
    EXPECT_TRUE(MarkMatches(750, kNominalUs, kSlackUs));
    EXPECT_FALSE(MarkMatches(749, kNominalUs, kSlackUs));
    EXPECT_TRUE(MarkMatches(1250 + kSlackUs, kNominalUs, kSlackUs));
    EXPECT_FALSE(MarkMatches(1251 + kSlackUs, kNominalUs, kSlackUs));
    EXPECT_FALSE(MarkMatches(-1000, kNominalUs, kSlackUs));
    EXPECT_TRUE(SpaceMatches(-(750 - kSlackUs), kNominalUs, kSlackUs));
    EXPECT_FALSE(SpaceMatches(-(749 - kSlackUs), kNominalUs, kSlackUs));
    EXPECT_TRUE(SpaceMatches(-1250, kNominalUs, kSlackUs));
    EXPECT_FALSE(SpaceMatches(-1251, kNominalUs, kSlackUs));
    EXPECT_FALSE(SpaceMatches(1000, kNominalUs, kSlackUs));
    // Values a file may hold do not overflow the comparison.
    EXPECT_FALSE(MarkMatches(INT32_MAX, INT32_MAX / 2, 255));
    EXPECT_FALSE(SpaceMatches(INT32_MIN, kNominalUs, kSlackUs));
}

TEST(ProtocolEngine, GapIsTheEndOrALongSpace) {
    const std::vector<int32_t> durations = {500, -3000, 500, -9000};
    CDurationCursor cursor(durations, 0, 0);
    ASSERT_TRUE(cursor.Mark(500));
    EXPECT_FALSE(cursor.Gap(5000));  // the frame goes on
    ASSERT_TRUE(cursor.Space(3000));
    ASSERT_TRUE(cursor.Mark(500));
    EXPECT_TRUE(cursor.Gap(5000));
    EXPECT_TRUE(cursor.AtEnd());
    EXPECT_TRUE(cursor.Gap(5000));  // the data ends
}

TEST(ProtocolEngine, BiphaseTrailingSpaceMergesIntoTheGap) {
    constexpr int32_t kUnitUs = 500;
    // Bits 1, 0, 1 (on-off is a one): on, off+off, on+on, and the last half (off) in the gap.
    const std::vector<int32_t> durations = {500, -1000, 1000, -20000, 500};
    CDurationCursor cursor(durations, 0, 0);
    CBiphaseReader reader(cursor, kUnitUs, 2, 3000);
    bool one = false;
    ASSERT_TRUE(reader.Bit(true, one));
    EXPECT_TRUE(one);
    ASSERT_TRUE(reader.Bit(true, one));
    EXPECT_FALSE(one);
    ASSERT_TRUE(reader.Bit(true, one));
    EXPECT_TRUE(one);
    EXPECT_TRUE(reader.Finish());
    EXPECT_EQ(cursor.Position(), 4u);
}

TEST(ProtocolEngine, BiphaseRunReachingPastTheFrameIsNoEnd) {
    const std::vector<int32_t> durations = {500, -1000};
    CDurationCursor cursor(durations, 0, 0);
    CBiphaseReader reader(cursor, 500, 2, 3000);
    bool one = false;
    ASSERT_TRUE(reader.Bit(true, one));
    EXPECT_FALSE(reader.Finish());  // half of the space belongs to a bit that never came
}

TEST(ProtocolEngine, BuilderMergesNeighboursAndDropsTheLeadingSilence) {
    CSignalBuilder builder;
    builder.Space(889);
    builder.Mark(889);
    builder.Mark(889);
    builder.Space(889);
    builder.EndPass(10000, 3000);
    builder.StartRepeat();
    builder.Space(100);
    builder.Mark(500);
    builder.EndPass(0, 3000);
    EXPECT_EQ(builder.Durations(), (std::vector<int32_t>{1778, -(10000 - 1778), 500, -3000}));
    EXPECT_EQ(builder.FrameStart(), 2u);
}

}  // namespace
