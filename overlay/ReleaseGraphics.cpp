#include "app/AppState.h"
#include "overlay/Overlay.h"

// Reset() nulls the field before it calls Release, and skips an empty one.
void ReleaseGraphics() {
    AppState.compVisual.Reset();
    AppState.compTarget.Reset();
    AppState.compDevice.Reset();
    AppState.swapChain.Reset();
    AppState.d3dContext.Reset();
    AppState.d3dDevice.Reset();
}
