// The picture a person judges the overlay by.
#pragma once

#include <cstdint>
#include <string>

// Writes an 8-bit sRGB PNG of the N x N half-float overlay (premultiplied, linear light) in
// four panels: over mid-grey and over a dark game-like scene, at 1:1 and enlarged 8 times with
// nearest-neighbour pixels. Values above 1.0 are clipped, as an SDR screen shows them.
// Returns an empty string, or why the file could not be written.
std::string WritePreviewPng(const std::string& path, const std::uint16_t* pixels, int n);
