// The stand-in game (tests/fixtures, built as Overwatch.exe) as a separate process, and the
// foreground under the test's control.
#pragma once

#include <windows.h>

#include <string>

#include "tests/windows/support/WineTest.h"

struct Game {
    Process process;
    HWND window = nullptr;
};

// Starts the stand-in game with these arguments and waits for its window; unless it is to
// stay out of sight, waits until it is in front too.
Game StartGame(const std::wstring& arguments, bool expectInFront = true);
void EndGame(Game& game);
bool BringToFront(HWND window);

HMONITOR PrimaryMonitor();

// A plain visible window of the test process: "another program" to put in front of the game.
HWND OtherWindow();
