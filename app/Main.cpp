// The entry routine: the whole life of the process, from the command line to shutdown.
#include <windows.h>

#include "app/AppState.h"
#include "app/CommandLine.h"
#include "app/Ids.h"
#include "app/ManagerWindow.h"
#include "app/Settings.h"
#include "app/Tray.h"
#include "overlay/Overlay.h"

namespace {

constexpr int ExitNormal = 0;
constexpr int ExitNoMutex = 2;
constexpr int ExitBadImage = 3;
constexpr int ExitNoManagerClass = 4;
constexpr int ExitNoReticleClass = 5;
constexpr int ExitNoWindow = 6;

constexpr int ForwardAttempts = 50;  // about one second for a starting instance to make its window
constexpr DWORD ForwardRetryMs = 20;

constexpr UINT HotkeyModifiers = MOD_CONTROL | MOD_ALT | MOD_NOREPEAT;
constexpr DWORD ReticleExStyle = WS_EX_TOPMOST | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW |
                                 WS_EX_LAYERED | WS_EX_NOREDIRECTIONBITMAP | WS_EX_NOACTIVATE;

// Hands the command to the instance that owns the mutex. Its manager window may not exist yet
// when both started together, so look for it a while; nothing comes back either way.
void ForwardCommand(int commandId) {
    for (int attempt = 0; attempt < ForwardAttempts; ++attempt) {
        if (HWND window = FindWindowW(ManagerClassName, nullptr)) {
            PostMessageW(window, WM_COMMAND, static_cast<WPARAM>(commandId), 0);
            return;
        }
        Sleep(ForwardRetryMs);
    }
}

// The image must be exactly 256 x 256 RGBA; it is read in place for the whole run.
const unsigned char* LockReticleImage(HINSTANCE instance) {
    HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(ReticleImageResource), RT_RCDATA);
    if (resource == nullptr || SizeofResource(instance, resource) != ReticleImageBytes)
        return nullptr;
    HGLOBAL loaded = LoadResource(instance, resource);
    if (loaded == nullptr) return nullptr;
    return static_cast<const unsigned char*>(LockResource(loaded));
}

// SetProcessDpiAwarenessContext came with Windows 10 1703; an import of it would keep the loader
// from starting the program on the releases before. Where it is missing the program runs
// unaware of DPI, as it does when the call fails.
void BecomePerMonitorDpiAware() {
    using SetAwarenessFn = BOOL(WINAPI*)(DPI_AWARENESS_CONTEXT);
    const FARPROC found =
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext");
    if (found == nullptr) return;
    // Through the generic function type, which GCC accepts as a cast between any two.
    const auto setAwareness =
        reinterpret_cast<SetAwarenessFn>(reinterpret_cast<void (*)()>(found));
    setAwareness(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
}

HWND CreateHiddenWindow(HINSTANCE instance, DWORD exStyle, const wchar_t* className,
                        const wchar_t* title) {
    return CreateWindowExW(exStyle, className, title, WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                           instance, nullptr);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    BecomePerMonitorDpiAware();

    HANDLE mutex = CreateMutexW(nullptr, FALSE, InstanceMutexName);
    if (mutex == nullptr) return ExitNoMutex;
    // The runtime's lpCmdLine follows other quoting rules; the program's own rules apply.
    const int commandId = CommandIdForTail(CommandLineTail(GetCommandLineW()));
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        ForwardCommand(commandId);
        CloseHandle(mutex);
        return ExitNormal;
    }
    if (commandId == CmdExit) {
        CloseHandle(mutex);
        return ExitNormal;
    }

    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    AppState.reticlePixels = LockReticleImage(instance);
    if (AppState.reticlePixels == nullptr) return ExitBadImage;

    AppState.deepBlack = ReadDeepBlackSetting();
    AppState.trayIcon = LoadIconW(instance, MAKEINTRESOURCEW(ProgramIconResource));
    AppState.taskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");

    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = ManagerWndProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = ManagerClassName;
    if (RegisterClassW(&windowClass) == 0) return ExitNoManagerClass;
    windowClass.lpfnWndProc = ReticleWndProc;
    windowClass.lpszClassName = ReticleClassName;
    if (RegisterClassW(&windowClass) == 0) return ExitNoReticleClass;

    // The manager window is an ordinary hidden top-level window, not a message-only one:
    // a later instance finds it with FindWindowW, which does not see message-only windows.
    AppState.managerWindow =
        CreateHiddenWindow(instance, WS_EX_TOOLWINDOW, ManagerClassName, ManagerWindowTitle);
    AppState.reticleWindow =
        CreateHiddenWindow(instance, ReticleExStyle, ReticleClassName, ReticleWindowTitle);
    if (AppState.managerWindow == nullptr || AppState.reticleWindow == nullptr)
        return ExitNoWindow;

    // Fully opaque layer: what the window shows is the composition content alone.
    SetLayeredWindowAttributes(AppState.reticleWindow, 0, 255, LWA_ALPHA);

    UpdateTrayIcon(NIM_ADD);

    AppState.colorHotkeyRegistered =
        RegisterHotKey(AppState.managerWindow, CmdSwitchColor, HotkeyModifiers, 'W') != 0;
    AppState.hideHotkeyRegistered =
        RegisterHotKey(AppState.managerWindow, CmdToggleWings, HotkeyModifiers, 'H') != 0;

    // Out of context: the callback arrives on this thread while it waits for messages.
    AppState.foregroundHook =
        SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr,
                        OnForegroundEvent, 0, 0, WINEVENT_OUTOFCONTEXT);
    SetTimer(AppState.managerWindow, TIMER_POLL, TIMER_POLL_MS, nullptr);

    if (commandId == CmdShowMenu)
        RefreshOverlay(true, false);
    else
        ExecuteCommand(commandId);

    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }

    ReleaseGraphics();
    DestroyWindow(AppState.reticleWindow);
    CoUninitialize();
    CloseHandle(mutex);
    return ExitNormal;
}
