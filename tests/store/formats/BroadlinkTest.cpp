#include "store/formats/Broadlink.h"

#include <gtest/gtest.h>

#include <cmath>

#include "store/formats/SignalForm.h"
#include "tests/store/formats/FormatTestSupport.h"

namespace {

int32_t Units(int units) {
    return static_cast<int32_t>(std::lround(units * kBroadlinkUnitUs));
}

TEST(ReadBroadlink, Base64AndHexPackets) {
    const ImportResult result = ReadBroadlink(Fixture("codes.broadlink"), "codes.broadlink");
    ASSERT_TRUE(result.error.isEmpty()) << result.error.toStdString();
    ASSERT_EQ(result.remotes.size(), 1u);
    ASSERT_EQ(result.remotes[0].buttons.size(), 3u);

    // A long first mark (0x00 0x01 0x12: 274 units), the end as the long value 0x0d05, and
    // zero padding beyond the length.
    const ImportedButton* power = ButtonNamed(result, "Power");
    ASSERT_TRUE(power && power->irSignals.size() == 1);
    EXPECT_EQ(Durations(power->irSignals[0]),
              (std::vector<int32_t>{Units(274), -Units(0x89), Units(0x11), -Units(0x33),
                                    Units(0x11), -Units(0x0D05)}));
    EXPECT_EQ(power->irSignals[0].carrierPeriod, 26);

    // Hexadecimal, ending in the two end bytes 0x0d 0x05 after the last mark.
    const ImportedButton* mute = ButtonNamed(result, "Mute");
    ASSERT_TRUE(mute && mute->irSignals.size() == 1);
    EXPECT_EQ(Durations(mute->irSignals[0]),
              (std::vector<int32_t>{Units(0x11), -Units(0x22), Units(0x11), -kTrailingGapUs}));

    const ImportedButton* garage = ButtonNamed(result, "Garage");
    ASSERT_TRUE(garage);
    EXPECT_TRUE(garage->irSignals.empty());
    EXPECT_NE(garage->skipped.indexOf("radio"), -1);
}

TEST(BroadlinkCode, LongValuesBehindAZeroByte) {
    const IrSignal signal =
        SignalFrom({Units(274), -Units(0x89), Units(0x11), -Units(0x0D05)}, 0, 26);
    const QByteArray packet = QByteArray::fromBase64(BroadlinkCode(signal).toLatin1());
    EXPECT_EQ(packet.toHex().toStdString(),
              "26000800"
              "000112"
              "89"
              "11"
              "000d05");
}

}  // namespace
