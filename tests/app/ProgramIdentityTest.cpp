// What the desktop learns of the program: its icon in every drawn size, and the name of its
// .desktop file.
#include "app/program/ProgramIdentity.h"

#include <gtest/gtest.h>

#include <QApplication>

#include "ArdelVersion.h"

namespace {

TEST(ProgramIdentityTest, WindowsCarryTheIconAndTheDesktopName) {
    IntroduceToDesktop();
    const QList<QSize> sizes = QApplication::windowIcon().availableSizes();
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        EXPECT_TRUE(sizes.contains(QSize(size, size))) << size;
    }
    EXPECT_EQ(QGuiApplication::desktopFileName(), QLatin1String(kDesktopId));
}

}  // namespace
