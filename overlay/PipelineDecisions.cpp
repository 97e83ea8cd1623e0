#include "overlay/PipelineDecisions.h"

bool PipelineNeedsRebuild(const void* monitor, int referenceWidth, const void* currentMonitor,
                          int currentReferenceWidth, std::int32_t graphicsStatus,
                          std::uint64_t retryAfterTick, std::uint64_t (*readTick)()) {
    if (monitor != currentMonitor) return true;
    if (referenceWidth != currentReferenceWidth) return true;
    return graphicsStatus < 0 && readTick() >= retryAfterTick;
}

bool ReticleNeedsUpload(std::int32_t graphicsStatus, bool contentUploaded) {
    return graphicsStatus >= 0 && !contentUploaded;
}

bool ReticleCanBeShown(std::int32_t graphicsStatus, bool hasVisual, int clientWidth,
                       int clientHeight, int overlaySize) {
    return graphicsStatus >= 0 && hasVisual && clientWidth >= overlaySize &&
           clientHeight >= overlaySize;
}

bool ReticleAlreadyInPlace(bool visible, bool force, int left, int top, int right, int originX,
                           int originY, int overlaySize) {
    return visible && !force && left == originX && top == originY &&
           right - originX == overlaySize;
}
