// sRGB decoding table.
//
// Input: a byte v, read as c = v / 255. Output: c / 12.92 on the linear segment
// (c <= 0.04045, bytes 0 to 10), else ((c + 0.055) / 1.055)^2.4, all in double precision with
// the library's pow. Build with -ffp-contract=off so no step is fused.
#include "overlay/SrgbDecode.h"

#include <cmath>

namespace {

std::array<double, 256> BuildSrgbDecodeTable() {
    std::array<double, 256> table{};
    for (int v = 0; v < 256; ++v) {
        const double c = v / 255.0;
        table[v] = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    }
    return table;
}

}  // namespace

const std::array<double, 256>& SrgbDecodeTable() {
    // The values never change, so one table serves every rasterization.
    static const std::array<double, 256> table = BuildSrgbDecodeTable();
    return table;
}
