#include "tests/windows/support/WineTest.h"

#include <gtest/gtest.h>


std::wstring TestEnvironment(const wchar_t* name) {
    wchar_t buffer[2048];
    DWORD length = GetEnvironmentVariableW(name, buffer, 2048);
    return length > 0 && length < 2048 ? std::wstring(buffer, length) : std::wstring();
}

std::wstring QuorvelExe() { return TestEnvironment(L"QUORVEL_EXE"); }
std::wstring StandInGameExe() { return TestEnvironment(L"QUORVEL_GAME"); }
std::wstring SourceDir() { return TestEnvironment(L"QUORVEL_SOURCE_DIR"); }
std::wstring BinaryDir() { return TestEnvironment(L"QUORVEL_BINARY_DIR"); }

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (condition()) return true;
        if (GetTickCount64() >= deadline) return false;
        Sleep(10);
    }
}

Process StartProcess(const std::wstring& exe, const std::wstring& arguments) {
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    Process process;
    if (CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       nullptr, &startup, &info)) {
        CloseHandle(info.hThread);
        process.handle = info.hProcess;
        process.id = info.dwProcessId;
    }
    return process;
}

bool HasExited(const Process& process) {
    return process.handle == nullptr || WaitForSingleObject(process.handle, 0) == WAIT_OBJECT_0;
}

long WaitForExitCode(Process& process, DWORD timeoutMs) {
    if (process.handle == nullptr) return -1;
    long result = -1;
    if (WaitForSingleObject(process.handle, timeoutMs) == WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(process.handle, &code);
        result = static_cast<long>(code);
    } else {
        TerminateProcess(process.handle, 99);
        WaitForSingleObject(process.handle, timeoutMs);
    }
    CloseProcess(process);
    return result;
}

void CloseProcess(Process& process) {
    if (process.handle != nullptr) CloseHandle(process.handle);
    process = Process{};
}

Process StartQuorvel(const std::wstring& arguments) { return StartProcess(QuorvelExe(), arguments); }

long RunQuorvel(const std::wstring& arguments, DWORD timeoutMs) {
    Process later = StartQuorvel(arguments);
    return WaitForExitCode(later, timeoutMs);
}

// The names other programs rely on, written out here rather than taken from the program's own
// constants, so a wrong name in the program fails the tests.
namespace {
constexpr wchar_t ManagerClass[] = L"Quorvel.Manager";
constexpr wchar_t ReticleClass[] = L"Quorvel.Reticle";
constexpr wchar_t SettingsKey[] = L"Software\\Quorvel Overlay";
constexpr wchar_t BlackValue[] = L"Black";
}  // namespace

HWND ManagerWindow() { return FindWindowW(ManagerClass, nullptr); }
HWND ReticleWindow() { return FindWindowW(ReticleClass, nullptr); }

std::vector<HWND> TopLevelWindowsOfClass(const wchar_t* className) {
    struct Search {
        const wchar_t* className;
        std::vector<HWND> found;
    } search{className, {}};
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto* s = reinterpret_cast<Search*>(parameter);
            wchar_t name[256];
            if (GetClassNameW(window, name, 256) > 0 && wcscmp(name, s->className) == 0)
                s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring WindowTitle(HWND window) {
    wchar_t title[512] = {};
    // WM_GETTEXT by way of the window's thread: works across processes for our titles.
    GetWindowTextW(window, title, 512);
    return title;
}

bool WaitForTitle(HWND window, const std::wstring& title, DWORD timeoutMs) {
    return WaitUntil([&] { return WindowTitle(window) == title; }, timeoutMs);
}

void PumpMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

HWND OpenOtherProgramWindow(int x, int y, int width, int height) {
    constexpr wchar_t className[] = L"Quorvel.Test.Other";
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);  // fails harmlessly when a window was opened before
    HWND window = CreateWindowExW(0, className, L"another program", WS_OVERLAPPEDWINDOW, x, y,
                                  width, height, nullptr, nullptr, windowClass.hInstance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    return window;
}

HWND InstanceMenu(DWORD processId) {
    for (HWND window : TopLevelWindowsOfClass(L"#32768")) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == processId && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

void PressCtrlAlt(WORD key) {
    const WORD keys[] = {VK_CONTROL, VK_MENU, key};
    INPUT input[6] = {};
    for (int i = 0; i < 3; ++i) {  // down in order, up in reverse order
        input[i].type = INPUT_KEYBOARD;
        input[i].ki.wVk = keys[i];
        input[5 - i].type = INPUT_KEYBOARD;
        input[5 - i].ki.wVk = keys[i];
        input[5 - i].ki.dwFlags = KEYEVENTF_KEYUP;
    }
    SendInput(6, input, sizeof input[0]);
}

HWND StandInGameWindow() { return FindWindowW(StandInGameClass, nullptr); }

POINT ClientCentreOnScreen(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    POINT centre = {client.right / 2, client.bottom / 2};
    ClientToScreen(window, &centre);
    return centre;
}

void EndAllInstances() {
    if (ManagerWindow() != nullptr) {
        DWORD processId = 0;
        GetWindowThreadProcessId(ManagerWindow(), &processId);
        HANDLE running = OpenProcess(SYNCHRONIZE, FALSE, processId);
        RunQuorvel(L"--exit");
        if (running != nullptr) {
            WaitForSingleObject(running, WaitTimeoutMs);
            CloseHandle(running);
        }
    }
    ASSERT_TRUE(WaitUntil([] { return ManagerWindow() == nullptr; }))
        << "an earlier instance did not end";
    DeleteSettingsKey();
}

void ExitInstance(Process& instance) {
    EXPECT_EQ(RunQuorvel(L"--exit"), 0);
    EXPECT_EQ(WaitForExitCode(instance), 0);
}

void DeleteSettingsKey() { RegDeleteTreeW(HKEY_CURRENT_USER, SettingsKey); }

long long StoredBlackValue() {
    DWORD value = 0;
    DWORD size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, SettingsKey, BlackValue, RRF_RT_REG_DWORD,
                     nullptr, &value, &size) != ERROR_SUCCESS)
        return -1;
    return value;
}
