#include <gtest/gtest.h>

#include <limits>

#include "overlay/HdrBrightness.h"

namespace {

struct BrightnessCase {
    int colorSpace;
    float maxLuminance;
    float hdrScale;
};

constexpr float NaN = std::numeric_limits<float>::quiet_NaN();
constexpr int SdrColorSpace = 0;  // DXGI_COLOR_SPACE_RGB_FULL_G22_NONE_P709

const BrightnessCase brightnessCases[] = {
    {Hdr10ColorSpace, 1000.0f, 6.0f},  // 800 cd/m2 capped at 480
    {Hdr10ColorSpace, 600.0f, 6.0f},   // exactly the cap
    {Hdr10ColorSpace, 400.0f, 4.0f},
    {Hdr10ColorSpace, 270.0f, 2.7f},
    {Hdr10ColorSpace, 100.0f, 1.0f},
    {Hdr10ColorSpace, 90.0f, 0.9f},    // dimmer than SDR white: kept, not raised to 1.0
    {Hdr10ColorSpace, 80.0f, 4.0f},    // 80 or less is no usable peak: 320 cd/m2
    {Hdr10ColorSpace, 0.0f, 4.0f},
    {Hdr10ColorSpace, -5.0f, 4.0f},
    {Hdr10ColorSpace, NaN, 4.0f},
    {Hdr10ColorSpace, std::numeric_limits<float>::infinity(), 6.0f},
    {SdrColorSpace, 1000.0f, 1.0f},    // only HDR10 brightens, whatever the peak
    {SdrColorSpace, NaN, 1.0f},
    {13, 1000.0f, 1.0f},               // G2084 left-aligned chroma, not the HDR10 signal
    {1, 400.0f, 1.0f},                 // scRGB output
};

TEST(HdrBrightness, ScaleByColourSpaceAndPeak) {
    for (const BrightnessCase& c : brightnessCases) {
        SCOPED_TRACE(testing::Message() << "colour space " << c.colorSpace << ", peak "
                                        << c.maxLuminance);
        EXPECT_EQ(HdrScaleForOutput(c.colorSpace, c.maxLuminance), c.hdrScale);
    }
}

}  // namespace
