// A device root of its own for each storage test, with the clock fixed.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <string>
#include <vector>

#include "platform/host/HostHandheldFs.h"
#include "tests/store/FaultyReadFs.h"
#include "tests/support/FailingHostFs.h"
#include "tests/support/TempFolder.h"

// 2026-01-01 00:00:00 UTC in 100-ns steps since 1601; in a header, seconds since 1904
// make 0xE57B6980.
constexpr uint64_t kNewYear2026 = 134116992000000000ULL;
constexpr uint32_t kNewYear2026Header = 0xE57B6980;

inline std::vector<uint8_t> Fixture(const std::string& name) {
    return ReadHostFile(std::string(ARDEL_TEST_DATA) + "/data/" + name);
}

class StoreTest : public ::testing::Test {
  protected:
    StoreTest() {
        std::filesystem::create_directories(folder_.Path() / "My Documents");
        device_.SetFixedTime(kNewYear2026);
    }

    // The host file behind a handheld path below "\My Documents\".
    std::string Host(const std::string& name) const { return folder_ / ("My Documents/" + name); }
    std::vector<uint8_t> FileOf(const std::string& name) const { return ReadHostFile(Host(name)); }
    void Put(const std::string& name, const std::vector<uint8_t>& bytes) const {
        WriteHostFile(Host(name), bytes);
    }
    static QString Path(const std::string& name) {
        return QString::fromStdString("\\My Documents\\" + name);
    }
    // The files in "\My Documents\", to see that nothing was left behind.
    std::vector<std::string> Files() { return device_.ListFiles("\\My Documents", "*"); }

    TempFolder folder_;
    FailingHostFs device_{folder_.Path().string()};  // makes writes fail (FailStep)
    FaultyReadFs fs_{device_};                       // makes reads fail; the one in use
};
