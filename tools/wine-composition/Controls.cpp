#include "tools/wine-composition/Controls.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>

namespace {

constexpr const wchar_t* StepNames[] = {L"swapchain", L"device", L"target",
                                        L"visual",    L"commit", L"present"};
constexpr int StepCount = sizeof(StepNames) / sizeof(StepNames[0]);

std::wstring EnvironmentValue(const wchar_t* name) {
    wchar_t value[1024];
    const DWORD length = GetEnvironmentVariableW(name, value, 1024);
    if (length == 0 || length >= 1024) return {};
    return std::wstring(value, length);
}

// The live control file (QUORVEL_CONTROL_FILE): lines NAME=VALUE, read afresh at every use, so
// a test changes a control while the program runs by replacing the file. found tells a name
// the file gives (even with an empty value, which switches the control off) from one it lacks.
std::wstring LiveValue(const wchar_t* name, bool& found) {
    found = false;
    const std::wstring path = EnvironmentValue(L"QUORVEL_CONTROL_FILE");
    if (path.empty()) return {};
    FILE* file = _wfopen(path.c_str(), L"r");
    if (file == nullptr) return {};
    const std::size_t nameLength = std::wcslen(name);
    std::wstring value;
    char line[1024];
    while (std::fgets(line, sizeof line, file) != nullptr) {
        std::wstring text(line, line + std::strcspn(line, "\r\n"));  // the controls are ASCII
        if (text.size() > nameLength && text.compare(0, nameLength, name) == 0 &&
            text[nameLength] == L'=') {
            value = text.substr(nameLength + 1);
            found = true;
        }
    }
    std::fclose(file);
    return value;
}

// A one-off failure fires once per setting: remembering the setting it fired for lets a test
// arm it again by changing the variable.
std::wstring onceSettingFired[StepCount];

}  // namespace

std::wstring Variable(const wchar_t* name) {
    bool found = false;
    std::wstring value = LiveValue(name, found);
    return found ? value : EnvironmentValue(name);
}

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

float ReportedHdrLuminance(const wchar_t* outputDeviceName) {
    const wchar_t* name = outputDeviceName;
    if (std::wcsncmp(name, L"\\\\.\\", 4) == 0) name += 4;
    std::wstring setting = Variable((L"QUORVEL_COMPOSITION_HDR_" + std::wstring(name)).c_str());
    if (setting == L"sdr") return -1.0f;
    if (setting.empty()) setting = Variable(L"QUORVEL_COMPOSITION_HDR");
    if (setting.empty()) return -1.0f;
    return std::wcstof(setting.c_str(), nullptr);
}

std::wstring FramesFolder() { return Variable(L"QUORVEL_COMPOSITION_FRAMES"); }

void AppendToLog(const wchar_t* control, const char* prefix, const char* format,
                 va_list arguments) {
    const std::wstring path = Variable(control);
    if (path.empty()) return;
    FILE* file = _wfopen(path.c_str(), L"a");
    if (file == nullptr) return;
    std::fputs(prefix, file);
    std::vfprintf(file, format, arguments);
    std::fputc('\n', file);
    std::fclose(file);
}

void LogEvent(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    AppendToLog(L"QUORVEL_COMPOSITION_LOG", "", format, arguments);
    va_end(arguments);
}
