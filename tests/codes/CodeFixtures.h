// The code collections the tests index: a small LIRC-like database sorted by brand
// ("lirc/samsung/lircd.conf.bn59") and a Flipper-like folder sorted by kind and brand
// ("flipper/TVs/Samsung/Samsung_BN59-01315J.ir"), with one file that cannot be read.
#pragma once

#include <filesystem>
#include <string>

inline std::filesystem::path CodeFixtures() {
    return std::filesystem::path(ARDEL_TEST_DATA) / "fixtures";
}

// Copies both collections into `folder` ("lirc" and "flipper" below it).
inline void CopyCodeFixtures(const std::filesystem::path& folder) {
    std::filesystem::copy(CodeFixtures(), folder, std::filesystem::copy_options::recursive);
}
