#include "tests/windows/engine/EngineStandIns.h"

namespace {

bool tickSet = false;
ULONGLONG testTick = 0;

HWND pretendWindow = nullptr;
bool pretendIconic = false;
bool pretendVisible = true;

// The system's own function, found by name.
template <typename Function>
Function Real(const wchar_t* library, const char* name) {
    FARPROC address = GetProcAddress(LoadLibraryW(library), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

ULONGLONG WINAPI StandInGetTickCount64() {
    if (tickSet) return testTick;
    static auto real = Real<decltype(&GetTickCount64)>(L"kernel32.dll", "GetTickCount64");
    return real();
}

BOOL WINAPI StandInIsIconic(HWND window) {
    if (window != nullptr && window == pretendWindow) return pretendIconic;
    static auto real = Real<decltype(&IsIconic)>(L"user32.dll", "IsIconic");
    return real(window);
}

BOOL WINAPI StandInIsWindowVisible(HWND window) {
    if (window != nullptr && window == pretendWindow) return pretendVisible;
    static auto real = Real<decltype(&IsWindowVisible)>(L"user32.dll", "IsWindowVisible");
    return real(window);
}

}  // namespace

void SetTestTick(ULONGLONG tick) {
    tickSet = true;
    testTick = tick;
}

void UseSystemTick() { tickSet = false; }

void PretendAbout(HWND window, bool iconic, bool visible) {
    pretendWindow = window;
    pretendIconic = iconic;
    pretendVisible = visible;
}

void StopPretending() { pretendWindow = nullptr; }

// The import pointers that the program's object files (and this program's) call through.
extern "C" {
decltype(&GetTickCount64) __imp_GetTickCount64 = StandInGetTickCount64;
decltype(&IsIconic) __imp_IsIconic = StandInIsIconic;
decltype(&IsWindowVisible) __imp_IsWindowVisible = StandInIsWindowVisible;
}
