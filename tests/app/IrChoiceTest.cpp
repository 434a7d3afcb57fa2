#include "app/program/IrChoice.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/TempFolder.h"

namespace {

struct ChoiceCase {
    const char* name;
    const char* value;
    bool ok;
    bool lirc;
    const char* transmitter;
    const char* receiver;
    const char* chip;
    const char* description;
};

class IrChoices : public ::testing::TestWithParam<ChoiceCase> {};

// On a machine without LIRC devices (an empty dev root): what each --ir value gives.
TEST_P(IrChoices, AreSettled) {
    TempFolder roots;
    std::filesystem::create_directories(roots.Path() / "dev");
    HostLircDevice probe;
    IrChoice choice;
    QString error;
    const ChoiceCase& c = GetParam();
    ASSERT_EQ(ChooseIr(c.value, "pxa255", probe, {roots / "dev", roots / "sys"}, choice, error),
              c.ok)
        << error.toStdString();
    if (!c.ok) {
        EXPECT_FALSE(error.isEmpty());
        return;
    }
    EXPECT_EQ(choice.lirc, c.lirc);
    EXPECT_EQ(choice.transmitter, c.transmitter);
    EXPECT_EQ(choice.receiver, c.receiver);
    EXPECT_EQ(choice.chip, c.chip);
    EXPECT_EQ(choice.Description(), c.description);
}

INSTANTIATE_TEST_SUITE_P(
    Values, IrChoices,
    ::testing::Values(
        ChoiceCase{"NothingFoundIsTheSimulatedHandheld", "", true, false, "", "", "pxa255",
                   "simulated pxa255"},
        ChoiceCase{"Sim", "sim", true, false, "", "", "pxa255", "simulated pxa255"},
        ChoiceCase{"SimChip", "sim:s3c2440", true, false, "", "", "s3c2440", "simulated s3c2440"},
        ChoiceCase{"OneDevice", "lirc:/dev/lirc0", true, true, "/dev/lirc0", "/dev/lirc0", "pxa255",
                   "LIRC /dev/lirc0"},
        ChoiceCase{"TwoDevices", "lirc:/dev/lirc0,/dev/lirc1", true, true, "/dev/lirc0",
                   "/dev/lirc1", "pxa255", "LIRC /dev/lirc0, /dev/lirc1"},
        ChoiceCase{"LircButNoneFound", "lirc", false, false, "", "", "", ""},
        ChoiceCase{"LircWithoutPath", "lirc:", false, false, "", "", "", ""},
        ChoiceCase{"ThreeDevices", "lirc:/a,/b,/c", false, false, "", "", "", ""},
        ChoiceCase{"UnknownChip", "sim:pentium", false, false, "", "", "", ""},
        ChoiceCase{"UnknownKind", "serial", false, false, "", "", "", ""}),
    [](const auto& info) { return info.param.name; });

TEST(IrPort, NamesTheLircDevicesOrNone) {
    std::string transmitter, receiver;
    EXPECT_TRUE(LircPortDevices("lirc:/dev/lirc0", transmitter, receiver));
    EXPECT_EQ(transmitter, "/dev/lirc0");
    EXPECT_EQ(receiver, "/dev/lirc0");
    EXPECT_TRUE(LircPortDevices("lirc:/dev/lirc0,/dev/lirc1", transmitter, receiver));
    EXPECT_EQ(receiver, "/dev/lirc1");
    for (const char* port : {"COM3:", "lirc:", "lirc:,/dev/lirc1", ""}) {
        EXPECT_FALSE(LircPortDevices(port, transmitter, receiver)) << port;
    }
    IrChoice choice;
    choice.lirc = true;
    choice.transmitter = choice.receiver = "/dev/lirc0";
    EXPECT_EQ(choice.Port(), "lirc:/dev/lirc0");
    choice.receiver = "/dev/lirc1";
    EXPECT_EQ(choice.Port(), "lirc:/dev/lirc0,/dev/lirc1");
}

}  // namespace
