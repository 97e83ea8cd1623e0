#include <gtest/gtest.h>

#include "overlay/OverlayGeometry.h"

namespace {

struct MonitorCase {
    int width;
    int height;
    int referenceWidth;
    int halfSize;
};

const MonitorCase monitorCases[] = {
    {1920, 1080, 1920, 32},
    {2560, 1440, 2560, 43},
    {3840, 2160, 3840, 64},
    {1280, 720, 1280, 22},
    {1366, 768, 1365, 23},  // 16 * 768 / 9 = 1365.33, truncated
    {1920, 1200, 1920, 32},  // taller than 16:9: the width limits
    {3440, 1440, 2560, 43},  // wider than 16:9: the height limits
    {1024, 768, 1024, 18},
    {7680, 4320, 7680, 128},
    {1080, 1920, 1080, 18},  // portrait
    {1, 1, 1, 1},            // the smallest monitor still gets a 2 x 2 overlay
    {100, 1, 1, 1},          // 16 / 9 truncates to 1
    {2000000000, 2000000000, 2000000000, 33333334},  // no overflow in 16 * height
};

TEST(OverlayGeometry, SizesByMonitor) {
    for (const MonitorCase& c : monitorCases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        const int m = ReferenceWidth(c.width, c.height);
        EXPECT_EQ(m, c.referenceWidth);
        EXPECT_EQ(OverlayHalfSize(m), c.halfSize);
    }
}

TEST(OverlayGeometry, HalfSizeRoundsUpAtEveryStep) {
    EXPECT_EQ(OverlayHalfSize(60), 1);  // exactly 1
    EXPECT_EQ(OverlayHalfSize(61), 2);
    EXPECT_EQ(OverlayHalfSize(1920), 32);
    EXPECT_EQ(OverlayHalfSize(1921), 33);
}

}  // namespace
