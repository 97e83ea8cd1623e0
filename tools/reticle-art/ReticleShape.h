// The reticle motif as geometry: a centre dot and two wings, each a polar band around its own
// centre with radii and colours tabled every 5 degrees. Coordinates are those of the 256 x 256
// image: x to the right, y down, pixel (x, y) covering [x, x + 1) x [y, y + 1), centre (128, 128).
// Angles turn from +x towards +y (clockwise on screen), in degrees. Windows-free, deterministic
// when built with -ffp-contract=off.
#pragma once

#include <array>
#include <cstdint>

enum class ReticleShape { None, Dot, LeftWing, RightWing };

using Rgb = std::array<std::uint8_t, 3>;

constexpr Rgb DotColor = {95, 255, 58};

// The shape that contains the point (x, y), or None. Shapes do not overlap.
ReticleShape ShapeAt(double x, double y);

// Colour of a wing at the point (x, y): the conic gradient of that wing at the point's angle
// around the wing's centre. The dot's colour for Dot, black for None.
Rgb ShapeColor(ReticleShape shape, double x, double y);
