// The zoom chosen from the screen when --scale is not given.
#include "ScreenScale.h"

#include <gtest/gtest.h>

#include "FormTables.h"

namespace {

TEST(ScreenScaleTest, LargestFactorThatFits) {
    constexpr int kWindow = 290;  // a menu bar of 22 pixels over the 268 of the remote
    struct Case {
        int availableHeight;
        int scale;
    };
    const Case cases[] = {
        {0, 1},                                  // no screen reported
        {200, 1},                                // smaller than the window: still shown
        {kWindow + kWindowDecorationPx - 1, 1},  // just too small for factor 1
        {2 * kWindow + kWindowDecorationPx - 1, 1},
        {2 * kWindow + kWindowDecorationPx, 2},  // exactly fits
        {740, 2},                                // 1366 x 768 laptop with a panel
        {1040, 3},                               // 1920 x 1080 with a panel
        {1410, 4},                               // 2560 x 1440
        {2120, 7},                               // 3840 x 2160
        {4280, kMaxScale},                       // 7680 x 4320: no larger than --scale allows
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChooseScale(c.availableHeight, kWindow), c.scale) << c.availableHeight;
    }
    EXPECT_EQ(ChooseScale(1040, 0), 1);
}

TEST(ScreenScaleTest, MainWindowHasTheRemoteAndAMenuBar) {
    const int height = MainWindowHeight();
    EXPECT_GT(height, kScreenHeight + 10);
    EXPECT_LT(height, kScreenHeight + 80);
}

}  // namespace
