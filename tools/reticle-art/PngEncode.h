// PNG encoding with fixed settings, so that the same pixels always give the same bytes: 8 bits
// per channel, not interlaced, an sRGB chunk (perceptual), gAMA 1/2.2, pHYs 96 dpi, no time.
#pragma once

#include <cstdint>
#include <vector>

// pixels: height rows of width * channels bytes, channels 3 (RGB) or 4 (RGBA, straight alpha).
// Returns the PNG file, or an empty vector if libpng failed.
std::vector<std::uint8_t> EncodePng(const std::vector<std::uint8_t>& pixels, int width,
                                    int height, int channels);
