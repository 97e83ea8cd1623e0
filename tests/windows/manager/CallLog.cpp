#include "tests/windows/manager/CallLog.h"

#include <cstdarg>
#include <cwchar>

#include "app/AppState.h"
#include "overlay/Overlay.h"

std::vector<std::wstring> calls;
std::vector<NOTIFYICONDATAW> trayRecords;
std::vector<RefreshSnapshot> refreshes;
bool failCursorPos = false;

void ClearCalls() {
    calls.clear();
    trayRecords.clear();
    refreshes.clear();
}

namespace {

// The system's own function, found by name; the recorders pass calls on to it.
template <typename Function>
Function Real(const wchar_t* library, const char* name) {
    FARPROC address = GetProcAddress(LoadLibraryW(library), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

std::wstring WindowName(HWND window) {
    if (window == nullptr) return L"null";
    if (window == AppState.managerWindow) return L"manager";
    if (window == AppState.reticleWindow) return L"reticle";
    return L"other";
}

void Log(const wchar_t* format, ...) {
    wchar_t line[512];
    va_list arguments;
    va_start(arguments, format);
    std::vswprintf(line, 512, format, arguments);
    va_end(arguments);
    calls.push_back(line);
}

BOOL WINAPI LoggedShellNotifyIcon(DWORD message, PNOTIFYICONDATAW data) {
    Log(L"Shell_NotifyIcon %lu", message);
    trayRecords.push_back(*data);
    return TRUE;
}

BOOL WINAPI LoggedSetWindowText(HWND window, LPCWSTR text) {
    Log(L"SetWindowText %ls %ls", WindowName(window).c_str(), text);
    static auto real = Real<decltype(&SetWindowTextW)>(L"user32.dll", "SetWindowTextW");
    return real(window, text);
}

// Thread timers (no window) are the test's own and stay out of the log.
UINT_PTR WINAPI LoggedSetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC procedure) {
    if (window != nullptr)
        Log(L"SetTimer %ls %llu %u%ls", WindowName(window).c_str(),
            static_cast<unsigned long long>(id), elapse, procedure ? L" with procedure" : L"");
    static auto real = Real<decltype(&SetTimer)>(L"user32.dll", "SetTimer");
    return real(window, id, elapse, procedure);
}

BOOL WINAPI LoggedKillTimer(HWND window, UINT_PTR id) {
    if (window != nullptr)
        Log(L"KillTimer %ls %llu", WindowName(window).c_str(), static_cast<unsigned long long>(id));
    static auto real = Real<decltype(&KillTimer)>(L"user32.dll", "KillTimer");
    return real(window, id);
}

BOOL WINAPI LoggedUnhookWinEvent(HWINEVENTHOOK hook) {
    Log(L"UnhookWinEvent %ls", hook == AppState.foregroundHook ? L"foregroundHook" : L"other");
    static auto real = Real<decltype(&UnhookWinEvent)>(L"user32.dll", "UnhookWinEvent");
    return real(hook);
}

BOOL WINAPI LoggedUnregisterHotKey(HWND window, int id) {
    Log(L"UnregisterHotKey %ls %d", WindowName(window).c_str(), id);
    static auto real = Real<decltype(&UnregisterHotKey)>(L"user32.dll", "UnregisterHotKey");
    return real(window, id);
}

void WINAPI LoggedPostQuitMessage(int code) { Log(L"PostQuitMessage %d", code); }

BOOL WINAPI LoggedDestroyWindow(HWND window) {
    Log(L"DestroyWindow %ls", WindowName(window).c_str());
    static auto real = Real<decltype(&DestroyWindow)>(L"user32.dll", "DestroyWindow");
    return real(window);
}

LSTATUS WINAPI LoggedRegSetKeyValue(HKEY key, LPCWSTR subKey, LPCWSTR name, DWORD type,
                                    LPCVOID data, DWORD size) {
    const unsigned long value = size == 4 ? *static_cast<const DWORD*>(data) : 0xFFFFFFFFul;
    Log(L"RegSetKeyValue %ls %ls %ls type=%lu value=%lu size=%lu",
        key == HKEY_CURRENT_USER ? L"HKCU" : L"other", subKey, name, type, value, size);
    static auto real = Real<decltype(&RegSetKeyValueW)>(L"advapi32.dll", "RegSetKeyValueW");
    return real(key, subKey, name, type, data, size);
}

BOOL WINAPI LoggedPostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // A post to no window goes to the thread's queue: logged too, so a post that should not
    // happen at all shows even when the manager window is missing.
    if (window == nullptr || window == AppState.managerWindow)
        Log(L"PostMessage %ls 0x%04x %llu %lld", WindowName(window).c_str(), message,
            static_cast<unsigned long long>(wParam), static_cast<long long>(lParam));
    static auto real = Real<decltype(&PostMessageW)>(L"user32.dll", "PostMessageW");
    return real(window, message, wParam, lParam);
}

BOOL WINAPI LoggedDestroyMenu(HMENU menu) {
    Log(L"DestroyMenu");
    static auto real = Real<decltype(&DestroyMenu)>(L"user32.dll", "DestroyMenu");
    return real(menu);
}

BOOL WINAPI LoggedTrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved,
                                 HWND owner, const RECT* rect) {
    Log(L"TrackPopupMenu 0x%04x %d %d reserved=%d owner=%ls rect=%ls", flags, x, y, reserved,
        WindowName(owner).c_str(), rect ? L"set" : L"null");
    static auto real = Real<decltype(&TrackPopupMenu)>(L"user32.dll", "TrackPopupMenu");
    const BOOL chosen = real(menu, flags, x, y, reserved, owner, rect);
    Log(L"TrackPopupMenu returned %d", chosen);
    return chosen;
}

BOOL WINAPI LoggedGetCursorPos(LPPOINT point) {
    if (failCursorPos) return FALSE;
    static auto real = Real<decltype(&GetCursorPos)>(L"user32.dll", "GetCursorPos");
    return real(point);
}

BOOL WINAPI LoggedSetForegroundWindow(HWND window) {
    Log(L"SetForegroundWindow %ls", WindowName(window).c_str());
    static auto real =
        Real<decltype(&SetForegroundWindow)>(L"user32.dll", "SetForegroundWindow");
    return real(window);
}

}  // namespace

// The import pointers that the program's object files call through.
extern "C" {
decltype(&Shell_NotifyIconW) __imp_Shell_NotifyIconW = LoggedShellNotifyIcon;
decltype(&SetWindowTextW) __imp_SetWindowTextW = LoggedSetWindowText;
decltype(&SetTimer) __imp_SetTimer = LoggedSetTimer;
decltype(&KillTimer) __imp_KillTimer = LoggedKillTimer;
decltype(&UnhookWinEvent) __imp_UnhookWinEvent = LoggedUnhookWinEvent;
decltype(&UnregisterHotKey) __imp_UnregisterHotKey = LoggedUnregisterHotKey;
decltype(&PostQuitMessage) __imp_PostQuitMessage = LoggedPostQuitMessage;
decltype(&DestroyWindow) __imp_DestroyWindow = LoggedDestroyWindow;
decltype(&RegSetKeyValueW) __imp_RegSetKeyValueW = LoggedRegSetKeyValue;
decltype(&PostMessageW) __imp_PostMessageW = LoggedPostMessage;
decltype(&DestroyMenu) __imp_DestroyMenu = LoggedDestroyMenu;
decltype(&TrackPopupMenu) __imp_TrackPopupMenu = LoggedTrackPopupMenu;
decltype(&GetCursorPos) __imp_GetCursorPos = LoggedGetCursorPos;
decltype(&SetForegroundWindow) __imp_SetForegroundWindow = LoggedSetForegroundWindow;
}

HWND OpenPopupMenu() {
    struct Search {
        HWND found = nullptr;
    } search;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM parameter) -> BOOL {
            wchar_t name[32];
            if (GetClassNameW(window, name, 32) > 0 && wcscmp(name, L"#32768") == 0 &&
                IsWindowVisible(window)) {
                reinterpret_cast<Search*>(parameter)->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool PopupMenuOpen() { return OpenPopupMenu() != nullptr; }

// Stands in for the overlay engine.
void RefreshOverlay(bool force, bool resetMonitor) {
    Log(L"Refresh force=%d reset=%d", force ? 1 : 0, resetMonitor ? 1 : 0);
    refreshes.push_back(RefreshSnapshot{force, resetMonitor, AppState.deepBlack, AppState.hidden,
                                        AppState.contentUploaded, PopupMenuOpen()});
}
