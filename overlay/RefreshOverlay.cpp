#include "overlay/Overlay.h"

#include "app/AppState.h"
#include "app/Tray.h"
#include "overlay/ForegroundGame.h"
#include "overlay/GraphicsSteps.h"
#include "overlay/OverlayGeometry.h"
#include "overlay/PipelineDecisions.h"

namespace {

void HideReticle() {
    if (IsWindowVisible(AppState.reticleWindow)) ShowWindow(AppState.reticleWindow, SW_HIDE);
}

std::uint64_t ReadTick() { return GetTickCount64(); }

// Shows the window over the middle of the game, or hides it when there is nothing to show or
// the client area is too small for it. A window that already stands there is left alone
// unless forced, so a steady poll costs no SetWindowPos.
void PlaceReticle(const ForegroundGame& game, int originX, int originY, bool force) {
    if (!ReticleCanBeShown(AppState.graphicsStatus, AppState.compVisual != nullptr,
                           game.clientRect.right, game.clientRect.bottom, AppState.overlaySize)) {
        HideReticle();
        return;
    }
    const bool visible = IsWindowVisible(AppState.reticleWindow) != 0;
    RECT rect = {};
    GetWindowRect(AppState.reticleWindow, &rect);
    if (ReticleAlreadyInPlace(visible, force, rect.left, rect.top, rect.right, originX, originY,
                              AppState.overlaySize))
        return;
    SetWindowPos(AppState.reticleWindow, HWND_TOPMOST, originX, originY, AppState.overlaySize,
                 AppState.overlaySize, SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

}  // namespace

void RefreshOverlay(bool force, bool resetMonitor) {
    const ForegroundGame game = FindForegroundGame();
    bool changed = game.active != AppState.gameActive;
    AppState.gameActive = game.active;
    if (resetMonitor) AppState.currentMonitor = nullptr;
    if (force) changed = true;

    if (!game.active || AppState.hidden) {
        HideReticle();  // the pipeline stays until the next rebuild or exit
        if (changed) UpdateTrayIcon(NIM_MODIFY);
        return;
    }

    const RECT& monitorRect = game.monitorInfo.rcMonitor;
    const int referenceWidth = ReferenceWidth(monitorRect.right - monitorRect.left,
                                              monitorRect.bottom - monitorRect.top);
    const int halfSize = OverlayHalfSize(referenceWidth);
    const int originX = game.centre.x - halfSize;
    const int originY = game.centre.y - halfSize;

    if (PipelineNeedsRebuild(game.monitor, referenceWidth, AppState.currentMonitor,
                             AppState.referenceWidth, AppState.graphicsStatus,
                             AppState.retryAfterTick, ReadTick)) {
        BuildGraphics(game.monitor, referenceWidth, halfSize, originX, originY);
        changed = true;
    }
    if (ReticleNeedsUpload(AppState.graphicsStatus, AppState.contentUploaded)) {
        UploadReticle();
        changed = true;
    }
    PlaceReticle(game, originX, originY, force);
    if (changed) UpdateTrayIcon(NIM_MODIFY);
}
