#include "tests/windows/engine/EngineHarness.h"

#include <gtest/gtest.h>

#include "app/AppState.h"
#include "app/ManagerWindow.h"
#include "overlay/Overlay.h"
#include "tests/windows/doubles/GraphicsDoubles.h"
#include "tests/windows/engine/EngineStandIns.h"

ReticleLogRecord ReticleLog;

namespace {

constexpr wchar_t TestReticleClass[] = L"Quorvel.Test.Reticle";
// The same window the program makes: what the engine may do to it depends on these.
constexpr DWORD ReticleExStyle = WS_EX_TOPMOST | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW |
                                 WS_EX_LAYERED | WS_EX_NOREDIRECTIONBITMAP | WS_EX_NOACTIVATE;

// The program's own procedure does the work; this one only watches.
LRESULT CALLBACK LoggingReticleProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_WINDOWPOSCHANGING)
        ReticleLog.positions.push_back(*reinterpret_cast<const WINDOWPOS*>(lParam));
    if (message == WM_SETTEXT) ++ReticleLog.titleChanges;
    return ReticleWndProc(hwnd, message, wParam, lParam);
}

HWND MakeReticleWindow() {
    static HWND window = nullptr;
    if (window != nullptr) return window;
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = LoggingReticleProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = TestReticleClass;
    RegisterClassW(&windowClass);
    window = CreateWindowExW(ReticleExStyle, TestReticleClass, L"Quorvel", WS_POPUP, 0, 0, 1, 1,
                             nullptr, nullptr, windowClass.hInstance, nullptr);
    SetLayeredWindowAttributes(window, 0, 255, LWA_ALPHA);
    return window;
}

const std::vector<unsigned char>& ReticleImage() {
    static std::vector<unsigned char> image;
    if (!image.empty()) return image;
    const std::wstring path = SourceDir() + L"\\resources\\reticle.rgba";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    image.resize(262144);
    DWORD read = 0;
    if (file == INVALID_HANDLE_VALUE || !ReadFile(file, image.data(), 262144, &read, nullptr) ||
        read != 262144) {
        ADD_FAILURE() << "cannot read resources\\reticle.rgba";
    }
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    return image;
}

}  // namespace

void ResetEngine() {
    UseSystemTick();
    StopPretending();
    ReleaseGraphics();
    AppState.hdrScale = 1.0f;
    AppState.reticlePixels = ReticleImage().data();
    AppState.deepBlack = false;
    AppState.managerWindow = nullptr;  // the tray half of a tray refresh then does nothing
    AppState.reticleWindow = MakeReticleWindow();
    AppState.hidden = false;
    AppState.gameActive = false;
    AppState.graphicsStatus = S_OK;
    AppState.currentMonitor = nullptr;
    AppState.referenceWidth = 0;
    AppState.retryAfterTick = 0;
    AppState.overlaySize = 0;
    AppState.contentUploaded = false;
    ShowWindow(AppState.reticleWindow, SW_HIDE);
    SetWindowTextW(AppState.reticleWindow, L"Quorvel");
    ReticleLog = ReticleLogRecord{};
    ResetDoubles(PrimaryMonitor());
}

RECT ReticleRect() {
    RECT rect = {};
    GetWindowRect(AppState.reticleWindow, &rect);
    return rect;
}

bool ReticleVisible() { return IsWindowVisible(AppState.reticleWindow) != 0; }

std::wstring ReticleTitle() { return WindowTitle(AppState.reticleWindow); }
