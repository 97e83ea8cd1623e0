// The yardstick for the program's idle cost: a Windows program that does nothing but wake on a
// 250 ms timer (as the program's poll does) in a plain message loop, for the given seconds.
//   bare_timer.exe SECONDS
#include <windows.h>

#include <cwchar>

namespace {

constexpr UINT_PTR TickTimer = 1;
constexpr UINT TickMs = 250;  // the program's poll interval
constexpr UINT_PTR EndTimer = 2;

LRESULT CALLBACK BareWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
    if (uMsg == WM_TIMER) {
        if (wParam == EndTimer) PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, uMsg, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    const long seconds = std::wcstol(commandLine, nullptr, 10);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = BareWndProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = L"Quorvel.BareTimer";
    if (RegisterClassW(&windowClass) == 0) return 1;
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, windowClass.lpszClassName, L"bare timer",
                                  WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 1;
    SetTimer(window, TickTimer, TickMs, nullptr);
    SetTimer(window, EndTimer, static_cast<UINT>(seconds > 0 ? seconds : 40) * 1000, nullptr);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
