#include "tools/wine-composition/Controls.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cwchar>

namespace {

constexpr const wchar_t* StepNames[] = {L"swapchain", L"device", L"target",
                                        L"visual",    L"commit", L"present"};
constexpr int StepCount = sizeof(StepNames) / sizeof(StepNames[0]);

std::wstring Variable(const wchar_t* name) {
    wchar_t value[1024];
    const DWORD length = GetEnvironmentVariableW(name, value, 1024);
    if (length == 0 || length >= 1024) return {};
    return std::wstring(value, length);
}

// A one-off failure fires once per setting: remembering the setting it fired for lets a test
// arm it again by changing the variable.
std::wstring onceSettingFired[StepCount];

}  // namespace

HRESULT InjectedFailure(Step step) {
    const std::wstring setting = Variable(L"QUORVEL_COMPOSITION_FAIL");
    const std::size_t colon = setting.find(L':');
    if (colon == std::wstring::npos) return S_OK;
    const int index = static_cast<int>(step);
    if (setting.compare(0, colon, StepNames[index]) != 0) return S_OK;

    const wchar_t* code = setting.c_str() + colon + 1;
    wchar_t* end = nullptr;
    const unsigned long value = wcstoul(code, &end, 0);
    if (end == code) return S_OK;
    if (wcscmp(end, L":once") == 0) {
        if (onceSettingFired[index] == setting) return S_OK;
        onceSettingFired[index] = setting;
    } else if (*end != L'\0') {
        return S_OK;
    }
    return static_cast<HRESULT>(value);
}

float ReportedHdrLuminance() {
    const std::wstring setting = Variable(L"QUORVEL_COMPOSITION_HDR");
    if (setting.empty()) return -1.0f;
    return std::wcstof(setting.c_str(), nullptr);
}

std::wstring FramesFolder() { return Variable(L"QUORVEL_COMPOSITION_FRAMES"); }

void LogEvent(const char* format, ...) {
    const std::wstring path = Variable(L"QUORVEL_COMPOSITION_LOG");
    if (path.empty()) return;
    FILE* file = _wfopen(path.c_str(), L"a");
    if (file == nullptr) return;
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(file, format, arguments);
    va_end(arguments);
    std::fputc('\n', file);
    std::fclose(file);
}
