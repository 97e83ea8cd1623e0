#include "tests/windows/engine/GameProcess.h"

#include <gtest/gtest.h>

namespace {

constexpr wchar_t OtherClass[] = L"Quorvel.Test.Other";

HWND FindProcessWindow(DWORD processId) {
    for (HWND window : TopLevelWindowsOfClass(StandInGameClass)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId) return window;
    }
    return nullptr;
}

// Lets the test's own windows handle what is sent to them meanwhile.
void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
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
    static HWND window = nullptr;
    if (window != nullptr) return window;
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = OtherClass;
    RegisterClassW(&windowClass);
    window = CreateWindowExW(0, OtherClass, L"Another program", WS_OVERLAPPEDWINDOW, 300, 300,
                             400, 300, nullptr, nullptr, windowClass.hInstance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    return window;
}
