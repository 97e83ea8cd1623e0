// What the in-process engine tests share: a reticle window of the test's own that logs what the engine does to it, and the
// state record back at its start values with the graphics doubles set up for the game's monitor.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/windows/engine/GameProcess.h"
#include "tests/windows/support/WineTest.h"

struct ReticleLogRecord {
    std::vector<WINDOWPOS> positions;  // every WM_WINDOWPOSCHANGING, as asked for
    int titleChanges = 0;              // WM_SETTEXT: one per tray refresh
};
extern ReticleLogRecord ReticleLog;

// Empties the graphics references, puts every engine field of the state record back to its
// start value, gives the tick count and the window answers back to the system, hides and clears
// the log of the reticle window, and resets the doubles with one adapter and one SDR output on
// the primary monitor.
void ResetEngine();

RECT ReticleRect();
bool ReticleVisible();
std::wstring ReticleTitle();
