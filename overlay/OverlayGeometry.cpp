// Overlay geometry.
//
// Inputs: monitor width and height in physical pixels. ReferenceWidth truncates 16H/9 toward
// zero; OverlayHalfSize computes ceil(32.0 * M / 1920.0) in double precision, multiplying
// first. Build with -ffp-contract=off.
#include "overlay/OverlayGeometry.h"

#include <cmath>
#include <cstdint>

int ReferenceWidth(int monitorWidth, int monitorHeight) {
    // 64-bit so that no height overflows; for every real monitor this is the 32-bit quotient.
    const std::int64_t widest = std::int64_t{monitorHeight} * 16 / 9;
    if (widest >= monitorWidth) return monitorWidth;
    return static_cast<int>(widest);
}

int OverlayHalfSize(int referenceWidth) {
    return static_cast<int>(std::ceil(32.0 * referenceWidth / 1920.0));
}
