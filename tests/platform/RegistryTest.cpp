#include "platform/Registry.h"

#include <gtest/gtest.h>

#include "platform/sim/SimProfile.h"

namespace {

TEST(MemoryRegistry, KeysAndValuesIgnoreCase) {
    CMemoryRegistry registry;
    registry.SetString("HKLM\\Drivers\\Active\\01", "Name", "COM1:");
    registry.SetNumber("HKLM\\Drivers\\Active\\01", "Index", 1);
    registry.AddKey("HKLM\\Drivers\\Active\\02");
    registry.AddKey("HKLM\\Drivers\\Active\\02\\Deeper");

    std::vector<std::string> names;
    ASSERT_TRUE(registry.ListSubkeys("hklm\\drivers\\active", names));
    EXPECT_EQ(names, (std::vector<std::string>{"01", "02"}));
    std::string text;
    ASSERT_TRUE(registry.ReadString("HKLM\\DRIVERS\\Active\\01", "name", text));
    EXPECT_EQ(text, "COM1:");
    uint32_t number = 0;
    EXPECT_FALSE(registry.ReadNumber("HKLM\\Drivers\\Active\\01", "Name", number));
    EXPECT_TRUE(registry.ReadNumber("HKLM\\Drivers\\Active\\01", "Index", number));
    EXPECT_EQ(number, 1u);
    EXPECT_FALSE(registry.ReadString("HKLM\\Drivers\\Active\\03", "Name", text));
    EXPECT_FALSE(registry.ListSubkeys("HKLM\\Nothing", names));
}

TEST(SimRegistry, HoldsTheActiveDriversAndObexState) {
    CMemoryRegistry registry;
    FillSimRegistry(*FindSimProfile("pxa255"), registry);
    std::vector<std::string> active;
    ASSERT_TRUE(registry.ListSubkeys("HKLM\\Drivers\\Active", active));
    int infrared = 0;
    for (const std::string& sub : active) {
        std::string key, name, friendly;
        ASSERT_TRUE(registry.ReadString("HKLM\\Drivers\\Active\\" + sub, "Key", key));
        registry.ReadString("HKLM\\Drivers\\Active\\" + sub, "Name", name);
        if (key.find("IrDA") != std::string::npos) {
            ++infrared;
            EXPECT_EQ(name, "COM3:");
            ASSERT_TRUE(registry.ReadString("HKLM\\" + key, "FriendlyName", friendly));
        }
    }
    EXPECT_EQ(infrared, 1);
    uint32_t obex = 9;
    ASSERT_TRUE(
        registry.ReadNumber("HKCU\\Software\\Microsoft\\Obex\\Settings", "ServerState", obex));
    EXPECT_EQ(obex, 0u);
}

}  // namespace
