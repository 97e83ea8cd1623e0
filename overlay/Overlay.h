// The overlay engine's entry points.
#pragma once

// Keeps the reticle on the game: cheap when nothing changed. force refreshes the tray status
// and re-places the window; resetMonitor forgets the pipeline's monitor so the next call that
// finds the game rebuilds.
void RefreshOverlay(bool force, bool resetMonitor);

// Releases the six graphics objects, compVisual first and d3dDevice last.
void ReleaseGraphics();
