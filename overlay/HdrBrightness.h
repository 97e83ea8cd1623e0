// How bright the Rainbow colours are drawn on the game's output. Windows-free.
//
// A half-float composition swap chain is linear scRGB, where 1.0 is 80 cd/m2, so the scale is
// the target luminance of the image's full white divided by 80. On an HDR10 output (colour
// space 12, DXGI_COLOR_SPACE_RGB_FULL_G2084_NONE_P2020) the target is 80 % of the output's
// maximum luminance, or 320 cd/m2 when it reports 80 or less or nothing usable (NaN), and
// never more than 480 cd/m2: so the scale lies above 0.8 and at most 6.0. Every other colour
// space is SDR: 1.0. Single precision, as the output reports it.
#pragma once

// The value of DXGI_COLOR_SPACE_RGB_FULL_G2084_NONE_P2020, the HDR10 signal.
constexpr int Hdr10ColorSpace = 12;

float HdrScaleForOutput(int colorSpace, float maxLuminance);
