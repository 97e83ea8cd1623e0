#include "tools/wine-composition/PlatformFaults.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <map>
#include <string>

#include "tools/wine-composition/Controls.h"
#include "tools/wine-composition/ImportTable.h"

namespace {

// The real functions, kept when the import entries are rewritten.
decltype(&CreateMutexW) realCreateMutexW;
decltype(&LoadResource) realLoadResource;
decltype(&LockResource) realLockResource;
decltype(&OpenProcess) realOpenProcess;
decltype(&QueryFullProcessImageNameW) realQueryFullProcessImageNameW;
decltype(&Sleep) realSleep;
decltype(&GetProcAddress) realGetProcAddress;
decltype(&CoInitializeEx) realCoInitializeEx;
decltype(&CoUninitialize) realCoUninitialize;
decltype(&RegGetValueW) realRegGetValueW;
decltype(&RegSetKeyValueW) realRegSetKeyValueW;
decltype(&SetProcessDpiAwarenessContext) realSetProcessDpiAwarenessContext;
decltype(&LoadIconW) realLoadIconW;
decltype(&RegisterWindowMessageW) realRegisterWindowMessageW;
decltype(&RegisterClassW) realRegisterClassW;
decltype(&CreateWindowExW) realCreateWindowExW;
decltype(&DestroyWindow) realDestroyWindow;
decltype(&RegisterHotKey) realRegisterHotKey;
decltype(&UnregisterHotKey) realUnregisterHotKey;
decltype(&SetWinEventHook) realSetWinEventHook;
decltype(&UnhookWinEvent) realUnhookWinEvent;
decltype(&SetTimer) realSetTimer;
decltype(&GetMessageW) realGetMessageW;
decltype(&GetForegroundWindow) realGetForegroundWindow;
decltype(&GetClientRect) realGetClientRect;
decltype(&ClientToScreen) realClientToScreen;
decltype(&MonitorFromPoint) realMonitorFromPoint;
decltype(&GetMonitorInfoW) realGetMonitorInfoW;
decltype(&AppendMenuW) realAppendMenuW;
decltype(&FindWindowW) realFindWindowW;
decltype(&PostMessageW) realPostMessageW;
decltype(&Shell_NotifyIconW) realShell_NotifyIconW;

SRWLOCK countsLock = SRWLOCK_INIT;
std::map<std::wstring, unsigned> callCounts;  // by "FUNCTION" and by "FUNCTION/NAME"

std::string Narrow(const wchar_t* text) {
    if (text == nullptr) return "(null)";
    if (IS_INTRESOURCE(text)) {
        char number[16];
        std::snprintf(number, sizeof number, "#%u",
                      static_cast<unsigned>(reinterpret_cast<ULONG_PTR>(text)));
        return number;
    }
    std::string narrow;
    for (; *text != L'\0'; ++text) {
        if (*text == L'\t') narrow.append("\\t");  // a menu text's shortcut column
        else narrow.push_back(static_cast<char>(*text));
    }
    return narrow;
}

std::wstring Widen(const char* text) { return std::wstring(text, text + std::strlen(text)); }

std::string ClassOf(HWND window) {
    wchar_t name[256] = {};
    if (window == nullptr || GetClassNameW(window, name, 256) == 0) return "(none)";
    return Narrow(name);
}

void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Log(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    AppendToLog(L"QUORVEL_PLATFORM_LOG", "call ", format, arguments);
    va_end(arguments);
}

// Does one FAULT entry of the setting name this call? key is "FUNCTION" or "FUNCTION/NAME".
bool EntryMatches(const std::wstring& entry, const std::wstring& key, unsigned count) {
    const std::size_t at = entry.find(L'@');
    if (entry.substr(0, at) != key) return false;
    return at == std::wstring::npos || std::wcstoul(entry.c_str() + at + 1, nullptr, 10) == count;
}

// Counts this call and tells whether the setting makes it fail. name, when given, is the name
// the call is made with (a class, a looked-up function).
bool Fails(const wchar_t* function, const std::wstring& name = {}) {
    const std::wstring byFunction = function;
    std::wstring byName;
    if (!name.empty()) byName.append(byFunction).append(1, L'/').append(name);
    unsigned functionCount = 0, nameCount = 0;
    AcquireSRWLockExclusive(&countsLock);
    functionCount = ++callCounts[byFunction];
    if (!byName.empty()) nameCount = ++callCounts[byName];
    ReleaseSRWLockExclusive(&countsLock);

    const std::wstring setting = Variable(L"QUORVEL_PLATFORM_FAULTS");
    for (std::size_t start = 0; start < setting.size();) {
        std::size_t end = setting.find(L',', start);
        if (end == std::wstring::npos) end = setting.size();
        const std::wstring entry = setting.substr(start, end - start);
        if (EntryMatches(entry, byFunction, functionCount)) return true;
        if (!byName.empty() && EntryMatches(entry, byName, nameCount)) return true;
        start = end + 1;
    }
    return false;
}

// The failure value, with the last error that Windows leaves for this kind of failure.
template <typename T>
T Failure(T value, DWORD lastError) {
    SetLastError(lastError);
    return value;
}

std::wstring ClassName(LPCWSTR className) {
    if (className == nullptr || IS_INTRESOURCE(className)) return {};
    return className;
}

// Start-up.

HANDLE WINAPI HookCreateMutexW(LPSECURITY_ATTRIBUTES security, BOOL owner, LPCWSTR name) {
    if (Fails(L"CreateMutexW")) {
        Log("CreateMutexW %s -> fault", Narrow(name).c_str());
        return Failure<HANDLE>(nullptr, ERROR_ACCESS_DENIED);
    }
    HANDLE mutex = realCreateMutexW(security, owner, name);
    const DWORD error = GetLastError();
    Log("CreateMutexW %s -> %s error %lu", Narrow(name).c_str(), mutex ? "handle" : "null", error);
    SetLastError(error);  // the program reads ERROR_ALREADY_EXISTS after the call
    return mutex;
}

HGLOBAL WINAPI HookLoadResource(HMODULE module, HRSRC resource) {
    if (Fails(L"LoadResource")) {
        Log("LoadResource -> fault");
        return Failure<HGLOBAL>(nullptr, ERROR_RESOURCE_DATA_NOT_FOUND);
    }
    HGLOBAL loaded = realLoadResource(module, resource);
    Log("LoadResource -> %s", loaded ? "loaded" : "null");
    return loaded;
}

LPVOID WINAPI HookLockResource(HGLOBAL loaded) {
    if (Fails(L"LockResource")) {
        Log("LockResource -> fault");
        return Failure<LPVOID>(nullptr, ERROR_INVALID_HANDLE);
    }
    LPVOID data = realLockResource(loaded);
    Log("LockResource %s -> %s", loaded ? "loaded" : "null", data ? "data" : "null");
    return data;
}

BOOL WINAPI HookSetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT context) {
    if (Fails(L"SetProcessDpiAwarenessContext")) {
        Log("SetProcessDpiAwarenessContext -> fault");
        return Failure(FALSE, ERROR_ACCESS_DENIED);  // what a second setting of it gives
    }
    const BOOL done = realSetProcessDpiAwarenessContext(context);
    Log("SetProcessDpiAwarenessContext -> %d", done);
    return done;
}

HRESULT WINAPI HookCoInitializeEx(LPVOID reserved, DWORD model) {
    if (Fails(L"CoInitializeEx")) {
        Log("CoInitializeEx -> fault");
        return RPC_E_CHANGED_MODE;  // the thread is already in another apartment
    }
    const HRESULT hr = realCoInitializeEx(reserved, model);
    Log("CoInitializeEx -> 0x%08lX", static_cast<unsigned long>(hr));
    return hr;
}

void WINAPI HookCoUninitialize() {
    Log("CoUninitialize");
    realCoUninitialize();
}

LSTATUS WINAPI HookRegGetValueW(HKEY key, LPCWSTR subKey, LPCWSTR value, DWORD flags, LPDWORD type,
                                PVOID data, LPDWORD size) {
    if (Fails(L"RegGetValueW")) {
        Log("RegGetValueW %s -> fault", Narrow(value).c_str());
        // Without RRF_ZEROONFAILURE the buffer's contents are undefined after a failure.
        if (data != nullptr && size != nullptr) std::memset(data, 0xFF, *size);
        return ERROR_ACCESS_DENIED;
    }
    const LSTATUS status = realRegGetValueW(key, subKey, value, flags, type, data, size);
    Log("RegGetValueW %s -> %ld", Narrow(value).c_str(), static_cast<long>(status));
    return status;
}

LSTATUS WINAPI HookRegSetKeyValueW(HKEY key, LPCWSTR subKey, LPCWSTR value, DWORD type,
                                   LPCVOID data, DWORD size) {
    if (Fails(L"RegSetKeyValueW")) {
        Log("RegSetKeyValueW %s -> fault", Narrow(value).c_str());
        return ERROR_ACCESS_DENIED;
    }
    const LSTATUS status = realRegSetKeyValueW(key, subKey, value, type, data, size);
    Log("RegSetKeyValueW %s -> %ld", Narrow(value).c_str(), static_cast<long>(status));
    return status;
}

HICON WINAPI HookLoadIconW(HINSTANCE instance, LPCWSTR name) {
    if (Fails(L"LoadIconW")) {
        Log("LoadIconW %s -> fault", Narrow(name).c_str());
        return Failure<HICON>(nullptr, ERROR_RESOURCE_NAME_NOT_FOUND);
    }
    HICON icon = realLoadIconW(instance, name);
    Log("LoadIconW %s -> %s", Narrow(name).c_str(), icon ? "icon" : "null");
    return icon;
}

UINT WINAPI HookRegisterWindowMessageW(LPCWSTR name) {
    if (Fails(L"RegisterWindowMessageW")) {
        Log("RegisterWindowMessageW %s -> fault", Narrow(name).c_str());
        return Failure(0u, ERROR_NOT_ENOUGH_MEMORY);  // the atom table is full
    }
    const UINT id = realRegisterWindowMessageW(name);
    Log("RegisterWindowMessageW %s -> 0x%X", Narrow(name).c_str(), id);
    return id;
}

ATOM WINAPI HookRegisterClassW(const WNDCLASSW* windowClass) {
    const std::wstring name = ClassName(windowClass->lpszClassName);
    if (Fails(L"RegisterClassW", name)) {
        Log("RegisterClassW %s -> fault", Narrow(name.c_str()).c_str());
        return Failure<ATOM>(0, ERROR_NOT_ENOUGH_MEMORY);
    }
    const ATOM atom = realRegisterClassW(windowClass);
    Log("RegisterClassW %s -> %u", Narrow(name.c_str()).c_str(), atom);
    return atom;
}

HWND WINAPI HookCreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR title, DWORD style, int x,
                                int y, int width, int height, HWND parent, HMENU menu,
                                HINSTANCE instance, LPVOID parameter) {
    const std::wstring name = ClassName(className);
    if (Fails(L"CreateWindowExW", name)) {
        Log("CreateWindowExW %s -> fault", Narrow(name.c_str()).c_str());
        return Failure<HWND>(nullptr, ERROR_NOT_ENOUGH_MEMORY);  // the desktop heap is used up
    }
    HWND window = realCreateWindowExW(exStyle, className, title, style, x, y, width, height,
                                      parent, menu, instance, parameter);
    Log("CreateWindowExW %s -> %s", Narrow(name.c_str()).c_str(), window ? "window" : "null");
    return window;
}

BOOL WINAPI HookDestroyWindow(HWND window) {
    Log("DestroyWindow %s", ClassOf(window).c_str());
    return realDestroyWindow(window);
}

BOOL WINAPI HookRegisterHotKey(HWND window, int id, UINT modifiers, UINT key) {
    if (Fails(L"RegisterHotKey")) {
        Log("RegisterHotKey %d -> fault", id);
        return Failure(FALSE, ERROR_HOTKEY_ALREADY_REGISTERED);
    }
    const BOOL done = realRegisterHotKey(window, id, modifiers, key);
    Log("RegisterHotKey %d -> %d", id, done);
    return done;
}

BOOL WINAPI HookUnregisterHotKey(HWND window, int id) {
    Log("UnregisterHotKey %d", id);
    return realUnregisterHotKey(window, id);
}

HWINEVENTHOOK WINAPI HookSetWinEventHook(DWORD eventMin, DWORD eventMax, HMODULE module,
                                         WINEVENTPROC callback, DWORD process, DWORD thread,
                                         DWORD flags) {
    if (Fails(L"SetWinEventHook")) {
        Log("SetWinEventHook -> fault");
        return Failure<HWINEVENTHOOK>(nullptr, ERROR_NOT_ENOUGH_MEMORY);
    }
    HWINEVENTHOOK hook =
        realSetWinEventHook(eventMin, eventMax, module, callback, process, thread, flags);
    Log("SetWinEventHook -> %s", hook ? "hook" : "null");
    return hook;
}

BOOL WINAPI HookUnhookWinEvent(HWINEVENTHOOK hook) {
    Log("UnhookWinEvent %s", hook ? "hook" : "null");
    return realUnhookWinEvent(hook);
}

UINT_PTR WINAPI HookSetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC callback) {
    if (Fails(L"SetTimer")) {
        Log("SetTimer %llu -> fault", static_cast<unsigned long long>(id));
        return Failure<UINT_PTR>(0, ERROR_NO_SYSTEM_RESOURCES);
    }
    const UINT_PTR timer = realSetTimer(window, id, elapse, callback);
    Log("SetTimer %llu %u -> %llu", static_cast<unsigned long long>(id), elapse,
        static_cast<unsigned long long>(timer));
    return timer;
}

// The message loop.

BOOL WINAPI HookGetMessageW(LPMSG message, HWND window, UINT first, UINT last) {
    if (Fails(L"GetMessageW")) {
        Log("GetMessageW -> fault");
        return Failure(-1, ERROR_INVALID_WINDOW_HANDLE);
    }
    const BOOL result = realGetMessageW(message, window, first, last);
    if (result <= 0) Log("GetMessageW -> %d", result);
    return result;
}

// The foreground test. Its first call is logged (the line per refresh shows whether anything
// polls); the later steps run four times a second, so only their failures are.

HWND WINAPI HookGetForegroundWindow() {
    Log("GetForegroundWindow");
    return realGetForegroundWindow();
}

HANDLE WINAPI HookOpenProcess(DWORD access, BOOL inherit, DWORD processId) {
    if (Fails(L"OpenProcess")) {
        Log("OpenProcess -> fault");
        return Failure<HANDLE>(nullptr, ERROR_ACCESS_DENIED);  // a protected process
    }
    return realOpenProcess(access, inherit, processId);
}

BOOL WINAPI HookQueryFullProcessImageNameW(HANDLE process, DWORD flags, LPWSTR path,
                                           PDWORD size) {
    if (Fails(L"QueryFullProcessImageNameW")) {
        Log("QueryFullProcessImageNameW -> fault");
        return Failure(FALSE, ERROR_GEN_FAILURE);  // the process is on its way out
    }
    return realQueryFullProcessImageNameW(process, flags, path, size);
}

BOOL WINAPI HookGetClientRect(HWND window, LPRECT rect) {
    if (Fails(L"GetClientRect")) {
        Log("GetClientRect -> fault");
        return Failure(FALSE, ERROR_INVALID_WINDOW_HANDLE);  // the window went meanwhile
    }
    return realGetClientRect(window, rect);
}

BOOL WINAPI HookClientToScreen(HWND window, LPPOINT point) {
    if (Fails(L"ClientToScreen")) {
        Log("ClientToScreen -> fault");
        return Failure(FALSE, ERROR_INVALID_WINDOW_HANDLE);
    }
    return realClientToScreen(window, point);
}

HMONITOR WINAPI HookMonitorFromPoint(POINT point, DWORD flags) {
    if (Fails(L"MonitorFromPoint")) {
        Log("MonitorFromPoint -> fault");
        return nullptr;  // MONITOR_DEFAULTTONULL and a point on no monitor
    }
    return realMonitorFromPoint(point, flags);
}

BOOL WINAPI HookGetMonitorInfoW(HMONITOR monitor, LPMONITORINFO info) {
    if (Fails(L"GetMonitorInfoW")) {
        Log("GetMonitorInfoW -> fault");
        return Failure(FALSE, ERROR_INVALID_MONITOR_HANDLE);  // the monitor was unplugged
    }
    return realGetMonitorInfoW(monitor, info);
}

// The menu, the tray and a later start.

BOOL WINAPI HookAppendMenuW(HMENU menu, UINT flags, UINT_PTR id, LPCWSTR text) {
    Log("AppendMenuW %llu %s", static_cast<unsigned long long>(id),
        (flags & MF_SEPARATOR) ? "separator" : Narrow(text).c_str());
    return realAppendMenuW(menu, flags, id, text);
}

BOOL WINAPI HookShell_NotifyIconW(DWORD message, PNOTIFYICONDATAW icon) {
    const char* iconState = icon->hIcon ? "icon" : "null";
    if (Fails(L"Shell_NotifyIconW")) {
        Log("Shell_NotifyIconW %lu %s -> fault", message, iconState);
        return Failure(FALSE, ERROR_TIMEOUT);  // no taskbar answers yet
    }
    const BOOL done = realShell_NotifyIconW(message, icon);
    Log("Shell_NotifyIconW %lu %s -> %d", message, iconState, done);
    return done;
}

HWND WINAPI HookFindWindowW(LPCWSTR className, LPCWSTR title) {
    HWND window = realFindWindowW(className, title);
    Log("FindWindowW %s -> %s", Narrow(className).c_str(), window ? "window" : "null");
    return window;
}

BOOL WINAPI HookPostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (Fails(L"PostMessageW")) {
        Log("PostMessageW 0x%X %llu -> fault", message, static_cast<unsigned long long>(wParam));
        return Failure(FALSE, ERROR_NOT_ENOUGH_QUOTA);  // the receiver's queue is full
    }
    return realPostMessageW(window, message, wParam, lParam);
}

void WINAPI HookSleep(DWORD milliseconds) {
    Log("Sleep %lu", milliseconds);
    realSleep(milliseconds);
}

struct Hook {
    const char* name;
    void* hook;
    void** real;
};

#define QUORVEL_HOOK(function) \
    {#function, reinterpret_cast<void*>(&Hook##function), reinterpret_cast<void**>(&real##function)}

const Hook Hooks[] = {
    QUORVEL_HOOK(CreateMutexW),     QUORVEL_HOOK(LoadResource),
    QUORVEL_HOOK(LockResource),     QUORVEL_HOOK(OpenProcess),
    QUORVEL_HOOK(QueryFullProcessImageNameW), QUORVEL_HOOK(Sleep),
    QUORVEL_HOOK(CoInitializeEx),   QUORVEL_HOOK(CoUninitialize),
    QUORVEL_HOOK(RegGetValueW),     QUORVEL_HOOK(RegSetKeyValueW),
    QUORVEL_HOOK(SetProcessDpiAwarenessContext), QUORVEL_HOOK(LoadIconW),
    QUORVEL_HOOK(RegisterWindowMessageW), QUORVEL_HOOK(RegisterClassW),
    QUORVEL_HOOK(CreateWindowExW),  QUORVEL_HOOK(DestroyWindow),
    QUORVEL_HOOK(RegisterHotKey),   QUORVEL_HOOK(UnregisterHotKey),
    QUORVEL_HOOK(SetWinEventHook),  QUORVEL_HOOK(UnhookWinEvent),
    QUORVEL_HOOK(SetTimer),         QUORVEL_HOOK(GetMessageW),
    QUORVEL_HOOK(GetForegroundWindow), QUORVEL_HOOK(GetClientRect),
    QUORVEL_HOOK(ClientToScreen),
    QUORVEL_HOOK(MonitorFromPoint), QUORVEL_HOOK(GetMonitorInfoW),
    QUORVEL_HOOK(AppendMenuW),      QUORVEL_HOOK(Shell_NotifyIconW),
    QUORVEL_HOOK(FindWindowW),      QUORVEL_HOOK(PostMessageW),
};

#undef QUORVEL_HOOK

const Hook* HookFor(const char* name) {
    for (const Hook& hook : Hooks)
        if (std::strcmp(hook.name, name) == 0) return &hook;
    return nullptr;
}

// A function the program looks up at run time gets the same hook as an imported one.
FARPROC WINAPI HookGetProcAddress(HMODULE module, LPCSTR name) {
    if (IS_INTRESOURCE(name)) return realGetProcAddress(module, name);
    if (Fails(L"GetProcAddress", Widen(name))) {
        Log("GetProcAddress %s -> fault", name);
        return Failure<FARPROC>(nullptr, ERROR_PROC_NOT_FOUND);
    }
    FARPROC found = realGetProcAddress(module, name);
    Log("GetProcAddress %s -> %s", name, found ? "found" : "null");
    const Hook* hook = HookFor(name);
    if (found == nullptr || hook == nullptr) return found;
    *hook->real = reinterpret_cast<void*>(found);
    return reinterpret_cast<FARPROC>(hook->hook);
}

// Points each import that has a hook at the hook and keeps the real function; a function is
// found by name, whichever DLL the program takes it from.
void HookProgramImport(const char* name, void** slot) {
    void* hook = nullptr;
    void** real = nullptr;
    if (std::strcmp(name, "GetProcAddress") == 0) {
        hook = reinterpret_cast<void*>(&HookGetProcAddress);
        real = reinterpret_cast<void**>(&realGetProcAddress);
    } else if (const Hook* found = HookFor(name)) {
        hook = found->hook;
        real = found->real;
    } else {
        return;
    }
    *real = *slot;
    WritePointer(slot, hook);
}

}  // namespace

void InstallPlatformFaults() {
    // Only a run that asks for faults or the call log gets the hooks: the others, the cost
    // figures among them, run the program's calls straight to the system.
    if (GetEnvironmentVariableW(L"QUORVEL_PLATFORM_FAULTS", nullptr, 0) == 0 &&
        GetEnvironmentVariableW(L"QUORVEL_PLATFORM_LOG", nullptr, 0) == 0)
        return;
    ForEachImport(GetModuleHandleW(nullptr),
                  [](const char*, const char* name, void** slot) { HookProgramImport(name, slot); });
}
