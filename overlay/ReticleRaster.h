// The reticle image resampled to the overlay's size as premultiplied half-float pixels.
// Windows-free.
#pragma once

#include <cstdint>

#include "overlay/HalfFloat.h"

// Fills pixels (overlaySize * overlaySize * 4 words: red, green, blue, alpha half-float bit
// patterns, row-major, top row first) from the 256 x 256 RGBA sRGB straight-alpha image.
// referenceWidth is the monitor's reference width M: each output pixel spans 7680 / M source
// pixels along each axis, and the output is centred on the image's middle. Colours are linear
// light, premultiplied and times hdrScale, or 0 in Deep Black; alpha is the coverage.
// Writes nothing when overlaySize <= 0 and only zeros when referenceWidth <= 0.
void RasterizeReticle(const std::uint8_t* image, int overlaySize, int referenceWidth,
                      float hdrScale, bool deepBlack, std::uint16_t* pixels);
