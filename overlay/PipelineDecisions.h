// The decisions RefreshOverlay takes from plain numbers: when to rebuild the graphics pipeline,
// when to upload the image, and whether the reticle window can be shown or already stands where
// it should. Windows-free: monitors are opaque handles, HRESULTs signed 32-bit numbers, ticks
// milliseconds of the GetTickCount64 clock.
#pragma once

#include <cstdint>

// The pipeline is rebuilt when the game's monitor or its reference width differ from the ones
// it was built for, or when the last build or upload failed and its retry time has come. The
// tests run in that order, and readTick is called only when the status is negative, so a
// healthy pipeline never reads the clock.
bool PipelineNeedsRebuild(const void* monitor, int referenceWidth, const void* currentMonitor,
                          int currentReferenceWidth, std::int32_t graphicsStatus,
                          std::uint64_t retryAfterTick, std::uint64_t (*readTick)());

// The image is rasterised and uploaded once per healthy pipeline and colour mode; a failed
// attempt counts as done and waits for the rebuild.
bool ReticleNeedsUpload(std::int32_t graphicsStatus, bool contentUploaded);

// The reticle window may be shown only over a healthy pipeline with a composition tree, and
// only when the game's client area is at least as large as the overlay in both directions.
bool ReticleCanBeShown(std::int32_t graphicsStatus, bool hasVisual, int clientWidth,
                       int clientHeight, int overlaySize);

// A visible window whose left, top and width already match needs no SetWindowPos, unless the
// call is forced (which also re-asserts topmost). The height is not compared: the window is
// only ever sized square.
bool ReticleAlreadyInPlace(bool visible, bool force, int left, int top, int right, int originX,
                           int originY, int overlaySize);
