// sRGB 8-bit colour values to linear light. Windows-free.
#pragma once

#include <array>

// Entry v is the linear-light value of the sRGB-encoded byte v (IEC 61966-2-1): 0.0 for 0,
// 1.0 for 255. Built on first use; the same 256 values every time.
const std::array<double, 256>& SrgbDecodeTable();
