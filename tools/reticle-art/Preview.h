// A picture of the reticle for people: enlarged by pixel repetition and laid over a
// checkerboard, so that transparent and partly covered pixels can be told apart.
#pragma once

#include <cstdint>
#include <vector>

// image: side x side RGBA pixels (straight alpha). Returns (side * factor)^2 RGB pixels.
std::vector<std::uint8_t> CheckerboardPreview(const std::vector<std::uint8_t>& image, int side,
                                              int factor);
