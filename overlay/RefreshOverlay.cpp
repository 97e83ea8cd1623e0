// Placeholder until the overlay engine lands: reports the status and never shows the window.
#include "overlay/Overlay.h"

#include "app/AppState.h"
#include "app/Tray.h"

void RefreshOverlay(bool force, bool resetMonitor) {
    if (resetMonitor) AppState.currentMonitor = nullptr;
    if (force) UpdateTrayIcon(NIM_MODIFY);
}
