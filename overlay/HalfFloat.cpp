// Half-float encoder.
//
// Input: a double, expected non-negative (a colour up to 6.0 or a coverage up to 1.0).
// Output: the binary16 bit pattern of that value after rounding it to single precision
// (nearest, ties to even) and then to half precision (nearest, ties away from zero, as lroundf
// rounds). Away from exact ties this is the IEEE conversion; at a tie it takes the larger half.
// Every step is exact apart from the two roundings named, so the words are the same on every
// compiler that keeps float arithmetic in single precision: build with -ffp-contract=off.
#include "overlay/HalfFloat.h"

#include <cmath>

std::uint16_t EncodeHalf(double value) {
    const float f = static_cast<float>(value);
    if (f < 0x1p-25f) return 0;  // below half the smallest subnormal half (ties round up)

    if (f < 0x1p-14f) {
        // Subnormal half: whole multiples of 2^-24. 1024 is the smallest normal half, 2^-14.
        return static_cast<std::uint16_t>(std::lroundf(f * 0x1p24f));
    }

    // 65520 rounds up past 65504, the largest finite half; a NaN fails every comparison.
    if (!(f < 65520.0f)) return 0x7C00;

    // f = m * 2^e with m in [0.5, 1): the ten fraction bits of 2m, rounded, over a biased
    // exponent of e - 1 + 15. A fraction that rounds to 1024 carries into the exponent, which
    // is then the next power of two.
    int e = 0;
    const float m = static_cast<float>(std::frexp(static_cast<double>(f), &e));  // exact
    const float t = ((m + m) + (-1.0f)) * 1024.0f;
    const long bits = std::lroundf(t) + e * 1024L + 0x3800 /* 14 << 10 */;
    return static_cast<std::uint16_t>(bits & 0xFFFF);
}
