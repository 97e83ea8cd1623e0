// Draws the reticle motif into an RGBA picture: 8 x 8 samples per pixel give the coverage, the
// colour is the shape's colour at the pixel's centre. Straight alpha, sRGB bytes, rows top to
// bottom; a pixel that no sample covers is all zero.
#pragma once

#include <cstdint>
#include <vector>

struct MotifView {
    int side;       // the picture is side x side pixels
    double center;  // the picture's point (center, center) shows the motif's centre (128, 128)
    double scale;   // picture pixels per motif pixel
};

constexpr MotifView ReticleView = {256, 128.0, 1.0};

// side * side * 4 bytes: red, green, blue, alpha.
std::vector<std::uint8_t> RasterizeMotif(MotifView view);

// The alpha of k covered samples out of 64: round(255 k / 64), halves up.
constexpr std::uint8_t CoverageAlpha(int k) {
    return static_cast<std::uint8_t>((255 * k + 32) / 64);
}
