// What a desktop compositor does with a committed frame, for Wine: shows it in the target
// window and, when asked, records it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

struct StandInSwapChain;

// One linear-light premultiplied half-float pixel (red, green, blue, alpha words) as an SDR
// screen shows it: colour clipped at 1.0, sRGB-encoded, 8-bit premultiplied, in the order
// blue, green, red, alpha of a 32-bit DIB.
std::uint32_t DisplayPixel(const std::uint16_t* rgbaHalf);

// Reads the last presented frame of chain back, shows it as window's own layered content and
// writes it to the frames folder. Does nothing when nothing new was presented.
HRESULT ShowCommittedFrame(StandInSwapChain& chain, HWND window);
