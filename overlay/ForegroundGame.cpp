#include "overlay/ForegroundGame.h"

#include <cwchar>

#include "app/Ids.h"
#include "overlay/GameImageName.h"

namespace {

constexpr DWORD ImagePathCapacity = 32768;  // the longest Win32 path, in characters

// On the stack: this runs four times a second.
bool IsGameProcess(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (process == nullptr) return false;
    wchar_t path[ImagePathCapacity];
    DWORD length = ImagePathCapacity;
    const BOOL named = QueryFullProcessImageNameW(process, 0, path, &length);
    CloseHandle(process);
    return named != 0 && IsGameImagePath(path);
}

}  // namespace

bool IsGameImagePath(const wchar_t* path) {
    return _wcsicmp(ImageFileName(path), GameImageName) == 0;
}

ForegroundGame FindForegroundGame() {
    ForegroundGame game;
    HWND window = GetForegroundWindow();
    if (window == nullptr) return game;
    if (IsIconic(window) || !IsWindowVisible(window)) return game;
    if (!IsGameProcess(window)) return game;
    if (!GetClientRect(window, &game.clientRect)) return game;
    if (game.clientRect.right <= 0 || game.clientRect.bottom <= 0) return game;
    game.centre = {game.clientRect.right / 2, game.clientRect.bottom / 2};
    if (!ClientToScreen(window, &game.centre)) return game;
    game.monitor = MonitorFromPoint(game.centre, MONITOR_DEFAULTTONULL);
    if (game.monitor == nullptr) return game;
    game.active = GetMonitorInfoW(game.monitor, &game.monitorInfo) != 0;
    return game;
}
