#include "ir/IrPortDiscovery.h"

#include <gtest/gtest.h>

namespace {

struct Driver {
    std::string name;  // empty: the driver has no "Name"
    std::string key;   // empty: no "Key"
    std::string friendly;
};

CMemoryRegistry Active(const std::vector<Driver>& drivers, bool obex) {
    CMemoryRegistry registry;
    registry.AddKey("HKLM\\Drivers\\Active");
    int n = 0;
    for (const Driver& d : drivers) {
        const std::string path = "HKLM\\Drivers\\Active\\" + std::to_string(10 + n++);
        registry.AddKey(path);
        if (!d.name.empty()) {
            registry.SetString(path, "Name", d.name);
        }
        if (!d.key.empty()) {
            registry.SetString(path, "Key", d.key);
            if (!d.friendly.empty()) {
                registry.SetString("HKLM\\" + d.key, "FriendlyName", d.friendly);
            }
        }
    }
    if (obex) {
        registry.SetNumber("HKCU\\Software\\Microsoft\\Obex\\Settings", "ServerState", 1);
    }
    return registry;
}

struct GuessCase {
    const char* name;
    std::vector<Driver> drivers;
    bool obex;
    const char* port;
};

class DetectIrPortTest : public ::testing::TestWithParam<GuessCase> {};

TEST_P(DetectIrPortTest, Guesses) {
    CMemoryRegistry registry = Active(GetParam().drivers, GetParam().obex);
    EXPECT_EQ(DetectIrPort(registry), GetParam().port);
}

const Driver kCom1{"COM1:", "Drivers\\Serial", "Serial"};
const Driver kIr3{"COM3:", "Drivers\\BuiltIn\\irda", "Infrared"};
const Driver kCom4{"COM4:", "Drivers\\Modem", ""};
const Driver kCom6{"COM6:", "Drivers\\Bt", ""};

INSTANTIATE_TEST_SUITE_P(
    Registries, DetectIrPortTest,
    ::testing::Values(GuessCase{"NoInfraredDriver", {kCom1, kCom4}, false, "COM2:"},
                      GuessCase{"InfraredDriver", {kCom1, kIr3, kCom4}, false, "COM3:"},
                      GuessCase{"ObexTakesComOne", {kCom4, kIr3, kCom1}, true, "COM1:"},
                      GuessCase{"ObexTakesTheSmallestOther", {kCom6, kIr3, kCom4}, true, "COM4:"},
                      GuessCase{"ObexWithNoOtherPort", {kIr3}, true, "COM3:"},
                      GuessCase{"LastInfraredDriverWins",
                                {kIr3, {"COM7:", "Drivers\\IrDA2", ""}, kCom1},
                                false,
                                "COM7:"},
                      GuessCase{
                          "DriverWithoutKeyIsSkipped", {{"COM5:", "", ""}, kCom6}, true, "COM6:"},
                      GuessCase{"NonComNamesAreNoCandidates",
                                {{"BAT1:", "Drivers\\Battery", ""}, kIr3},
                                true,
                                "COM3:"}),
    [](const auto& info) { return info.param.name; });

TEST(DetectIrPort, UnreadableDriverListGuessesComOne) {
    CMemoryRegistry empty;
    EXPECT_EQ(DetectIrPort(empty), "COM1:");
}

TEST(ListSerialPorts, NamesAndFriendlyNames) {
    CMemoryRegistry registry = Active({kCom1,
                                       {"BAT1:", "Drivers\\Battery", "Battery"},
                                       kIr3,
                                       {"COM8:", "", ""},
                                       {"", "Drivers\\Nameless", ""},
                                       {"COM9:", "Drivers\\Missing", ""}},
                                      false);
    registry.AddKey("HKLM\\Drivers\\Missing");  // exists, but no friendly name anywhere
    registry.SetString("HKLM\\Drivers\\Deep\\Port", "FriendlyName", "From subkey");
    registry.SetString("HKLM\\Drivers\\Active\\99", "Name", "COM10:");
    registry.SetString("HKLM\\Drivers\\Active\\99", "Key", "Drivers\\Deep");
    EXPECT_EQ(ListSerialPorts(registry),
              (std::vector<std::string>{"COM1: Serial", "COM3: Infrared",
                                        "COM9: ", "COM10: From subkey"}));
}

TEST(ListSerialPorts, DriverWhoseSettingsKeyIsGoneIsSkipped) {
    CMemoryRegistry registry = Active({{"COM2:", "Drivers\\Gone", ""}}, false);
    EXPECT_TRUE(ListSerialPorts(registry).empty());
    CMemoryRegistry empty;
    EXPECT_TRUE(ListSerialPorts(empty).empty());
}

TEST(PortOfEntry, UpToTheColonAtMostSixCharacters) {
    EXPECT_EQ(PortOfEntry("COM1: Serial"), "COM1:");
    EXPECT_EQ(PortOfEntry("COM10: Infrared"), "COM10:");
    EXPECT_EQ(PortOfEntry("COM123: X"), "COM123");
    EXPECT_EQ(PortOfEntry("Bluetooth"), "");
}

}  // namespace
