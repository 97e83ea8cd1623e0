// The overlay's size on a monitor. Windows-free.
#pragma once

// The width of the largest 16:9 area that fits a monitor of this size in physical pixels:
// min(floor(16 * height / 9), width).
int ReferenceWidth(int monitorWidth, int monitorHeight);

// Half the overlay's side for a reference width: 32 pixels per 1920, rounded up, so a monitor
// of positive size gets at least 1. The overlay is 2 * OverlayHalfSize(M) pixels square.
int OverlayHalfSize(int referenceWidth);
