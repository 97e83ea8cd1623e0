// The steps of RefreshOverlay that make and fill the graphics pipeline. Both record their
// outcome in AppState.graphicsStatus; the caller counts either as a change of status.
#pragma once

#include <windows.h>

// Hides the reticle window, releases the old pipeline and builds a new one for the monitor:
// device (WARP when the adapter's own fails), composition swap chain of 2 * halfSize pixels
// square, and the composition device, target and visual, committed. The window is pre-sized
// at the origin but stays hidden. Leaves contentUploaded false and the retry 3 s ahead.
void BuildGraphics(HMONITOR monitor, int referenceWidth, int halfSize, int originX, int originY);

// Rasterises the reticle for the current size, colour mode and brightness, copies it into
// the swap chain's back buffer, presents and commits. Marks the content uploaded whatever the
// outcome; a failure arms the retry.
void UploadReticle();
