// Non-negative doubles to IEEE 754 binary16 bit patterns, rounding halves upward. Windows-free.
#pragma once

#include <cstdint>

// The binary16 bit pattern nearest to value, which is first rounded to single precision.
// Ties go away from zero, not to even. Meant for values from 0 to 65504; smaller values,
// negatives included, give 0, and NaN or anything from 65520 up gives infinity (0x7C00).
std::uint16_t EncodeHalf(double value);
