#include "tools/reticle-art/Preview.h"

#include <cstddef>

namespace {

// Dark squares, like the scenes the reticle is shown over, each 8 x 8 image pixels.
constexpr int CheckerCell = 8;
constexpr std::uint8_t CheckerLight = 0x5a;
constexpr std::uint8_t CheckerDark = 0x38;

}  // namespace

std::vector<std::uint8_t> CheckerboardPreview(const std::vector<std::uint8_t>& image, int side,
                                              int factor) {
    auto outSide = static_cast<std::size_t>(side * factor);
    std::vector<std::uint8_t> out(outSide * outSide * 3);
    for (std::size_t oy = 0; oy < outSide; ++oy) {
        for (std::size_t ox = 0; ox < outSide; ++ox) {
            std::size_t x = ox / factor;
            std::size_t y = oy / factor;
            bool light = ((x / CheckerCell) + (y / CheckerCell)) % 2 == 0;
            unsigned back = light ? CheckerLight : CheckerDark;
            const std::uint8_t* pixel = &image[(y * side + x) * 4];
            unsigned alpha = pixel[3];
            for (int c = 0; c < 3; ++c) {
                // "Over" on the sRGB bytes, rounded: good enough for a picture to look at.
                unsigned mixed = (pixel[c] * alpha + back * (255 - alpha) + 127) / 255;
                out[(oy * outSide + ox) * 3 + c] = static_cast<std::uint8_t>(mixed);
            }
        }
    }
    return out;
}
