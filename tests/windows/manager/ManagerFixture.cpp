#include "tests/windows/manager/ManagerFixture.h"

namespace {

constexpr wchar_t TestManagerClass[] = L"QuorvelTest.Manager";
constexpr wchar_t TestReticleClass[] = L"QuorvelTest.Reticle";

void RegisterTestClasses() {
    static bool registered = false;
    if (registered) return;
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = ManagerWndProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = TestManagerClass;
    RegisterClassW(&windowClass);
    windowClass.lpfnWndProc = ReticleWndProc;
    windowClass.lpszClassName = TestReticleClass;
    RegisterClassW(&windowClass);
    registered = true;
}

HWND CreateTestWindow(const wchar_t* className, DWORD exStyle, const wchar_t* title) {
    return CreateWindowExW(exStyle, className, title, WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
}

}  // namespace

void ManagerFixture::SetUp() {
    RegisterTestClasses();
    AppState = AppStateRecord{};
    AppState.managerWindow = CreateTestWindow(TestManagerClass, WS_EX_TOOLWINDOW, L"Quorvel controls");
    AppState.reticleWindow = CreateTestWindow(TestReticleClass, WS_EX_TOOLWINDOW, L"Quorvel");
    ASSERT_NE(AppState.managerWindow, nullptr);
    ASSERT_NE(AppState.reticleWindow, nullptr);
    AppState.colorHotkeyRegistered = true;
    AppState.hideHotkeyRegistered = true;
    failCursorPos = false;
    DeleteSettingsKey();
    // A menu that a test opens without meaning to is dismissed instead of waiting for ever.
    WatchNextMenu();
    ClearCalls();
}

void ManagerFixture::TearDown() {
    StopWatching();
    if (IsWindow(AppState.managerWindow)) DestroyWindow(AppState.managerWindow);
    DestroyWindow(AppState.reticleWindow);
    Pump();
    DeleteSettingsKey();
}

LRESULT ManagerFixture::Manager(UINT message, WPARAM wParam, LPARAM lParam) {
    return ManagerWndProc(AppState.managerWindow, message, wParam, lParam);
}

void ManagerFixture::Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

bool ManagerFixture::PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    return WaitUntil([&] {
        Pump();
        return condition();
    }, timeoutMs);
}

std::vector<UINT> ManagerFixture::TakeManagerQueue() {
    std::vector<UINT> queued;
    MSG message;
    while (PeekMessageW(&message, AppState.managerWindow, 0, 0, PM_REMOVE | PM_NOYIELD))
        queued.push_back(message.message);
    return queued;
}
