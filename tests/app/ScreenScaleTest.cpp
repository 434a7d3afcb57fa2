// The zoom chosen from the screen when --scale is not given.
#include "app/program/ScreenScale.h"

#include <gtest/gtest.h>

#include "remote/CSkinForm.h"

namespace {

TEST(ScreenScaleTest, LargestFactorThatFits) {
    constexpr int kWindow = 320;  // the greeting
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
        {2120, 6},                               // 3840 x 2160
        {4280, kMaxScale},                       // 7680 x 4320: no larger than --scale allows
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChooseScale(c.availableHeight, kWindow), c.scale) << c.availableHeight;
    }
    EXPECT_EQ(ChooseScale(1040, 0), 1);
}

// The greeting (240 x 320) is taller than the remote with its menu bar: a factor chosen for
// the remote alone would push the greeting's check box off a 1024-pixel screen.
TEST(ScreenScaleTest, TallestWindowIsTheGreeting) {
    EXPECT_EQ(TallestWindowHeight(), CSkinForm::kGreetingHeight);
    EXPECT_EQ(ChooseScale(1024 - 30, TallestWindowHeight()), 2);
}

}  // namespace
