// The scale factor that brings the fixed window onto a screen too small for it at the
// factor asked for, and the QT_SCALE_FACTOR that gives it.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "desktop/platform/ScaleFit.h"

using platform::FittingScale;
using platform::ScaleFactorSetting;

TEST(ScaleFit, TheLargestQuarterStepThatFits)
{
    constexpr zoom::Size kClient{800, 559};
    constexpr int kMenuBar = 22;
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct { double ratio; zoom::Size space; std::optional<double> want; } cases[] = {
        {2.0, {1280, 1024}, 1.5},          // the classroom PC at 200 %
        {3.0, {1280, 1024}, 1.5},
        {1.5, {1024, 768}, 1.25},          // height decides
        {2.0, {1000, 700}, 1.0},           // only 1 fits
        {2.0, {700, 500}, 1.0},            // nothing fits: as small as it goes
        {2.0, {1600, 1162}, std::nullopt}, // fits as asked, to the pixel
        {2.0, {3840, 2160}, std::nullopt},
        {1.0, {800, 500}, std::nullopt},   // never below 1
        {0.5, {640, 480}, std::nullopt},
        {nan, {1280, 1024}, std::nullopt},
        {2.0, {0, 0}, 1.0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FittingScale(c.ratio, c.space, kClient, kMenuBar), c.want)
            << c.ratio << " on " << c.space.width << "x" << c.space.height;
}

TEST(ScaleFit, SettingFromTheFactorAskedForAndTheDesktops)
{
    EXPECT_DOUBLE_EQ(ScaleFactorSetting(2.0, 2.0, 1.5), 1.5);  // QT_SCALE_FACTOR=2
    EXPECT_DOUBLE_EQ(ScaleFactorSetting(1.0, 2.0, 1.5), 0.75); // the desktop's 192 dpi
    EXPECT_DOUBLE_EQ(ScaleFactorSetting(2.0, 4.0, 1.5), 0.75); // both
    EXPECT_DOUBLE_EQ(ScaleFactorSetting(0.0, 2.0, 1.0), 0.5);  // unreadable: as if unset
    EXPECT_DOUBLE_EQ(ScaleFactorSetting(2.0, 0.0, 1.0), 2.0);  // no ratio known: left alone
}
