#include "app/ManagerWindow.h"

#include "app/AppState.h"
#include "app/Ids.h"
#include "app/Settings.h"
#include "app/Tray.h"
#include "overlay/Overlay.h"

namespace {

// Removes what start-up registered against this window; the message loop does the rest of
// the shutdown once it sees WM_QUIT.
void OnDestroy(HWND hwnd) {
    if (AppState.foregroundHook != nullptr) UnhookWinEvent(AppState.foregroundHook);
    // Both, whatever the registration flags say: unregistering a hotkey we never got is harmless.
    UnregisterHotKey(hwnd, CmdSwitchColor);
    UnregisterHotKey(hwnd, CmdToggleWings);
    UpdateTrayIcon(NIM_DELETE);
    PostQuitMessage(0);
}

void OnTimer(HWND hwnd, WPARAM timerId) {
    if (timerId == TIMER_POLL) {
        RefreshOverlay(false, false);
    } else if (timerId == TIMER_DISPLAY_SETTLE) {
        KillTimer(hwnd, TIMER_DISPLAY_SETTLE);
        RefreshOverlay(true, true);
    }
}

// The tray callback of shell version 0: lParam is the mouse message itself.
void OnTrayIcon(LPARAM lParam) {
    if (lParam == WM_CONTEXTMENU || lParam == WM_LBUTTONUP || lParam == WM_RBUTTONUP)
        ShowTrayMenu();
}

void SetColorMode(bool deepBlack) {
    AppState.deepBlack = deepBlack;
    AppState.hidden = false;
    AppState.contentUploaded = false;  // the next refresh with the game in front uploads anew
    WriteDeepBlackSetting(deepBlack);  // also when unchanged: it recreates a deleted key
}

}  // namespace

void ExecuteCommand(int commandId) {
    switch (commandId) {
    case CmdRainbow: SetColorMode(false); break;
    case CmdDeepBlack: SetColorMode(true); break;
    case CmdSwitchColor: SetColorMode(!AppState.deepBlack); break;
    case CmdToggleWings: AppState.hidden = !AppState.hidden; break;
    case CmdShowWings: AppState.hidden = false; break;
    case CmdHideWings: AppState.hidden = true; break;
    case CmdExit: DestroyWindow(AppState.managerWindow); return;
    case CmdShowMenu: ShowTrayMenu(); return;
    default: break;  // an unknown id is no error; it only refreshes
    }
    RefreshOverlay(true, false);
}

LRESULT CALLBACK ManagerWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    // Registered ids are not constants, so this test comes before the switch. A failed
    // registration is stored as 0 and must not match WM_NULL.
    if (AppState.taskbarCreatedMessage != 0 && uMsg == AppState.taskbarCreatedMessage) {
        UpdateTrayIcon(NIM_ADD);  // the new taskbar has no icon of ours yet
        return 0;
    }
    switch (uMsg) {
    case WM_DESTROY: OnDestroy(hwnd); return 0;
    case WM_SETTINGCHANGE:
    case WM_DISPLAYCHANGE:
    case WM_DEVICECHANGE:
        // Re-arming restarts the timer, so a burst of changes gives one refresh after the last.
        SetTimer(hwnd, TIMER_DISPLAY_SETTLE, TIMER_DISPLAY_SETTLE_MS, nullptr);
        return 0;
    case WM_COMMAND: ExecuteCommand(LOWORD(wParam)); return 0;
    case WM_TIMER: OnTimer(hwnd, wParam); return 0;
    case WM_HOTKEY: ExecuteCommand(static_cast<int>(wParam)); return 0;  // hotkey id = command id
    case WM_TRAYICON: OnTrayIcon(lParam); return 0;
    case WM_FOREGROUND_CHANGED: RefreshOverlay(true, false); return 0;
    default: return DefWindowProcW(hwnd, uMsg, wParam, lParam);
    }
}

LRESULT CALLBACK ReticleWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
    case WM_ERASEBKGND: return 1;  // nothing to paint: the content is the composition swap chain
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;  // a click never takes the foreground
    case WM_NCHITTEST: return HTTRANSPARENT;      // every click goes through to the game
    default: return DefWindowProcW(hwnd, uMsg, wParam, lParam);
    }
}

// Runs inside the hook delivery; it only posts, so the refresh runs from the message loop.
void CALLBACK OnForegroundEvent(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) {
    if (AppState.managerWindow != nullptr)
        PostMessageW(AppState.managerWindow, WM_FOREGROUND_CHANGED, 0, 0);
}
