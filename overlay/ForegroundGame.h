// Is the game in front, and where is the middle of its client area?
#pragma once

#include <windows.h>

struct ForegroundGame {
    bool active = false;      // the game is in front, usable, and its monitor is known
    RECT clientRect = {};     // right and bottom are the client width and height
    POINT centre = {};        // middle of the client area, in screen coordinates
    HMONITOR monitor = nullptr;
    MONITORINFO monitorInfo = {sizeof(MONITORINFO), {}, {}, 0};  // rcMonitor is used
};

// The foreground window, tested step by step; the first failing test ends with active false.
// Failures are silent: they only mean the game is not in front.
ForegroundGame FindForegroundGame();

// The image path's file name (after the last backslash) is "Overwatch.exe", in any case.
bool IsGameImagePath(const wchar_t* path);
