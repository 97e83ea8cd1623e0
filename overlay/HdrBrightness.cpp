#include "overlay/HdrBrightness.h"

namespace {
constexpr float SdrWhiteNits = 80.0f;           // 1.0 in scRGB
constexpr float UnknownPeakTargetNits = 320.0f;  // for outputs that report 80 or less, or NaN
constexpr float HighestTargetNits = 480.0f;      // 6.0 in scRGB
constexpr float PeakShare = 0.8f;                // headroom below the reported peak
}  // namespace

float HdrScaleForOutput(int colorSpace, float maxLuminance) {
    if (colorSpace != Hdr10ColorSpace) return 1.0f;
    // A NaN compares false here and so gets the fallback target.
    float target = maxLuminance > SdrWhiteNits ? maxLuminance * PeakShare : UnknownPeakTargetNits;
    if (target > HighestTargetNits) target = HighestTargetNits;
    return target / SdrWhiteNits;
}
