#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "overlay/HalfFloat.h"

namespace {

struct EncodeCase {
    double value;
    std::uint16_t bits;
};

const EncodeCase encodeCases[] = {
    {0.0, 0x0000},
    {std::nextafter(0x1p-25f, 0.0f), 0x0000},  // the float just below 2^-25
    {0x1p-25, 0x0001},                       // a tie between 0 and 2^-24: up, not to even
    {0x1p-24, 0x0001},
    {1.5 * 0x1p-24, 0x0002},
    {2.5 * 0x1p-24, 0x0003},  // a tie between two subnormals: up, not to the even 0x0002
    {1023.5 * 0x1p-24, 0x0400},  // just below 2^-14, rounds up to the smallest normal
    {0x1p-14, 0x0400},
    {0.5, 0x3800},
    {1.0, 0x3C00},
    {1.0 + 0x1p-11, 0x3C01},      // a tie: up, not to the even 0x3C00
    {1.0 + 3 * 0x1p-11, 0x3C02},  // a tie whose even neighbour is the upper one
    {2.0 - 0x1p-12, 0x4000},      // the fraction rounds to 1024 and carries into the exponent
    {6.0, 0x4600},
    {65504.0, 0x7BFF},  // the largest finite half
    // The double is first rounded to single precision: this one lies a hair above the tie
    // 1 + 2^-11 but becomes the tie itself as a float.
    {1.0 + 0x1p-11 - 0x1p-40, 0x3C01},
    // Values no pixel can hold: nothing below zero, and infinity past the largest half.
    {-1.0, 0x0000},
    {65520.0, 0x7C00},
    {1e9, 0x7C00},
    {std::numeric_limits<double>::infinity(), 0x7C00},
    {std::numeric_limits<double>::quiet_NaN(), 0x7C00},
};

TEST(EncodeHalf, KnownValues) {
    for (const EncodeCase& c : encodeCases) {
        SCOPED_TRACE(testing::Message() << std::hexfloat << c.value);
        EXPECT_EQ(EncodeHalf(c.value), c.bits);
    }
}

// Where a float falls on the grid of halves, worked out with integers alone.
enum class Remainder { None, BelowHalf, Half, AboveHalf };

struct GridPosition {
    std::uint16_t below;  // the bit pattern of the largest half not above the float
    Remainder rest;       // what is left over, in units of the step to the next half
};

// For a finite float from 0 to 65504, given by its bit pattern.
GridPosition PlaceOnHalfGrid(std::uint32_t floatBits) {
    const int exponent = static_cast<int>(floatBits >> 23);  // biased; 0 for subnormal floats
    const std::uint64_t significand =
        exponent == 0 ? (floatBits & 0x7FFFFF) : (floatBits & 0x7FFFFF) | 0x800000;
    const int unit = exponent == 0 ? -149 : exponent - 150;  // value = significand * 2^unit
    // Halves are spaced 2^-24 below 2^-14 and 2^(e - 10) within [2^e, 2^(e + 1)) above it.
    const int step = std::max(-24, exponent - 137);
    const int shift = step - unit;  // 13 or more
    if (shift > 40) return {0, significand == 0 ? Remainder::None : Remainder::BelowHalf};

    const std::uint64_t steps = significand >> shift;
    const std::uint64_t rest = significand & ((std::uint64_t{1} << shift) - 1);
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    const Remainder kind = rest == 0      ? Remainder::None
                           : rest < half  ? Remainder::BelowHalf
                           : rest == half ? Remainder::Half
                                          : Remainder::AboveHalf;
    if (step == -24) return {static_cast<std::uint16_t>(steps), kind};  // a subnormal half
    // A normal half: 1024 <= steps < 2048, the leading bit being the implicit one.
    const int halfExponent = exponent - 127 + 15;
    return {static_cast<std::uint16_t>((halfExponent << 10) + (steps - 1024)), kind};
}

// The IEEE conversion: nearest, ties to even.
std::uint16_t IeeeHalfBits(std::uint32_t floatBits) {
    const GridPosition p = PlaceOnHalfGrid(floatBits);
    const bool up = p.rest == Remainder::AboveHalf || (p.rest == Remainder::Half && (p.below & 1));
    return static_cast<std::uint16_t>(p.below + up);
}

// The encoder's rounding: nearest, ties up.
std::uint16_t TiesUpHalfBits(std::uint32_t floatBits) {
    const GridPosition p = PlaceOnHalfGrid(floatBits);
    const bool up = p.rest == Remainder::AboveHalf || p.rest == Remainder::Half;
    return static_cast<std::uint16_t>(p.below + up);
}

constexpr std::uint32_t FloatBits(float f) { return std::bit_cast<std::uint32_t>(f); }

// The integer reference is itself the compiler's IEEE conversion, on a sample of floats spread
// over the whole range (the compiler's conversion is slow on tiny values, too slow for all).
TEST(HalfGrid, IeeeReferenceMatchesCompilerConversion) {
    int failures = 0;
    for (std::uint32_t bits = 0; bits <= FloatBits(65504.0f); bits += 257) {
        const float f = std::bit_cast<float>(bits);
        const auto expected = std::bit_cast<std::uint16_t>(static_cast<_Float16>(f));
        if (IeeeHalfBits(bits) != expected && ++failures <= 10) {
            ADD_FAILURE() << std::hexfloat << f << " expected 0x" << std::hex << expected;
        }
    }
    EXPECT_EQ(failures, 0);
}

// Every float from first up to and including last (bit patterns): the encoder equals the IEEE
// conversion, except at an exact tie between two halves, where it takes the upper one.
void SweepFloats(std::uint32_t first, std::uint32_t last) {
    int failures = 0;
    int tiesOffEven = 0;  // ties where the two roundings differ, so the sweep saw both rules
    for (std::uint32_t bits = first;; ++bits) {
        const std::uint16_t expected = TiesUpHalfBits(bits);
        tiesOffEven += expected != IeeeHalfBits(bits);
        const std::uint16_t actual = EncodeHalf(std::bit_cast<float>(bits));
        if (actual != expected && ++failures <= 10) {
            ADD_FAILURE() << std::hexfloat << std::bit_cast<float>(bits) << " gives 0x"
                          << std::hex << actual << ", expected 0x" << expected;
        }
        if (bits == last) break;
    }
    EXPECT_EQ(failures, 0);
    EXPECT_GT(tiesOffEven, 0);
}

// The sweep of all non-negative floats up to 65504, in parts that can run side by side.
TEST(EncodeHalf, MatchesIeeeUpToSmallestSubnormal) { SweepFloats(0, FloatBits(0x1p-25f)); }

TEST(EncodeHalf, MatchesIeeeOnSubnormals) {
    SweepFloats(FloatBits(0x1p-25f) + 1, FloatBits(0x1p-14f));
}

TEST(EncodeHalf, MatchesIeeeOnNormalsBelowOne) {
    SweepFloats(FloatBits(0x1p-14f) + 1, FloatBits(1.0f));
}

TEST(EncodeHalf, MatchesIeeeOnNormalsFromOne) {
    SweepFloats(FloatBits(1.0f) + 1, FloatBits(65504.0f));
}

}  // namespace
