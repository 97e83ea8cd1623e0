#include "app/Tray.h"

#include <cwchar>

#include "app/AppState.h"
#include "app/Ids.h"
#include "app/StatusText.h"

namespace {

constexpr UINT MenuFlags = TPM_RETURNCMD | TPM_RIGHTBUTTON;  // left/top aligned at the point

// Where the menu opens: at the cursor, which is over the tray icon after a click. Should the
// cursor be unreadable (a secure desktop, for one), use the corner of the primary work area
// where the taskbar usually keeps the tray; TrackPopupMenu moves the menu onto the screen.
POINT MenuPosition() {
    POINT point = {};
    if (GetCursorPos(&point)) return point;
    RECT workArea = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    return POINT{workArea.right - 1, workArea.bottom - 1};
}

}  // namespace

static_assert(sizeof(NOTIFYICONDATAW) == 976, "the whole current record of a 64-bit process");

void UpdateTrayIcon(DWORD dwMessage) {
    NOTIFYICONDATAW icon = {};
    icon.cbSize = sizeof icon;
    icon.hWnd = AppState.managerWindow;
    icon.uID = TrayIconId;
    icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    icon.uCallbackMessage = WM_TRAYICON;
    icon.hIcon = AppState.trayIcon;
    const wchar_t* status = StatusText(AppState.hidden, AppState.gameActive,
                                       AppState.graphicsStatus, AppState.deepBlack,
                                       AppState.hdrScale);
    std::swprintf(icon.szTip, sizeof icon.szTip / sizeof icon.szTip[0], TooltipFormat, status);
    SetWindowTextW(AppState.reticleWindow, icon.szTip);
    Shell_NotifyIconW(dwMessage, &icon);
}

void ShowTrayMenu() {
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, CmdRainbow, RainbowItemText(AppState.hdrScale));
    AppendMenuW(menu, MF_STRING, CmdDeepBlack, L"Deep Black");
    CheckMenuRadioItem(menu, CmdRainbow, CmdDeepBlack, CmdRainbow + (AppState.deepBlack ? 1 : 0),
                       MF_BYCOMMAND);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, CmdSwitchColor,
                SwitchColorItemText(AppState.colorHotkeyRegistered));
    AppendMenuW(menu, MF_STRING, CmdToggleWings,
                ToggleWingsItemText(AppState.hidden, AppState.hideHotkeyRegistered));
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, CmdExit, L"Exit");

    const POINT at = MenuPosition();
    // Without the foreground the menu would not close when the user clicks elsewhere.
    SetForegroundWindow(AppState.managerWindow);
    const int chosen = static_cast<int>(
        TrackPopupMenu(menu, MenuFlags, at.x, at.y, 0, AppState.managerWindow, nullptr));
    DestroyMenu(menu);
    // Lets the menu's owner see a message, so the next click on the icon opens the menu again.
    PostMessageW(AppState.managerWindow, WM_NULL, 0, 0);
    // Posted, not executed here: the command runs after the menu is gone, on the same path as
    // one forwarded from a later start.
    if (chosen != 0) PostMessageW(AppState.managerWindow, WM_COMMAND, chosen, 0);
}
