#include "tests/windows/engine/GameProcess.h"

#include <gtest/gtest.h>

namespace {

HWND FindProcessWindow(DWORD processId) {
    for (HWND window : TopLevelWindowsOfClass(StandInGameClass)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId) return window;
    }
    return nullptr;
}

}  // namespace

Game StartGame(const std::wstring& arguments, bool expectInFront) {
    Game game;
    game.process = StartProcess(StandInGameExe(), arguments);
    EXPECT_NE(game.process.handle, nullptr) << "cannot start the stand-in game";
    EXPECT_TRUE(WaitUntil([&] {
        game.window = FindProcessWindow(game.process.id);
        return game.window != nullptr;
    })) << "the stand-in game made no window";
    if (expectInFront && game.window != nullptr) {
        EXPECT_TRUE(BringToFront(game.window));
    }
    return game;
}

void EndGame(Game& game) {
    if (game.window != nullptr) PostMessageW(game.window, WM_CLOSE, 0, 0);
    WaitForExitCode(game.process);
    game = Game{};
}

bool BringToFront(HWND window) {
    return WaitUntil([&] {
        PumpMessages();
        if (GetForegroundWindow() == window) return true;
        SetForegroundWindow(window);
        return false;
    });
}

HMONITOR PrimaryMonitor() { return MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY); }

HWND OtherWindow() {
    static HWND window = OpenOtherProgramWindow(300, 300, 400, 300);
    return window;
}
