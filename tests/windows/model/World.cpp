#include "tests/windows/model/World.h"

#include <dxgi1_6.h>
#include <wrl/client.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/windows/composition/OnScreen.h"
#include "tools/wine-composition/SyncMarker.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr DWORD StepTimeoutMs = 10000;

// What the program promises, written out here rather than taken from its own constants.
constexpr int ExitCommand = 107, SwitchColorCommand = 103, ToggleWingsCommand = 104;
constexpr ULONGLONG SettleMs = 400;  // the display-settle timer
constexpr wchar_t SettingsKey[] = L"Software\\Quorvel Overlay";
constexpr wchar_t BlackValue[] = L"Black";

bool WaitPumping(const std::function<bool()>& condition, DWORD timeoutMs = StepTimeoutMs) {
    return WaitUntil([&] {
        PumpMessages();
        return condition();
    }, timeoutMs);
}

// Reads the lines the stand-in appended to its log since the last call.
void ReadLog(World& world) {
    std::ifstream file(std::filesystem::path(world.logFile), std::ios::binary);
    if (!file) return;
    file.seekg(static_cast<std::streamoff>(world.logOffset));
    std::string line;
    while (std::getline(file, line)) {
        if (file.eof()) break;  // a line still being written
        world.logOffset += line.size() + 1;
        unsigned long long number = 0;
        if (line.rfind("factory ", 0) == 0) ++world.builds;
        else if (line.rfind("getbuffer ", 0) == 0) ++world.uploads;
        else if (std::sscanf(line.c_str(), "sync %llu", &number) == 1) world.lastSync = number;
    }
}

void DeleteFrames(const World& world) {
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((world.framesFolder + L"\\*.raw").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do DeleteFileW((world.framesFolder + L"\\" + found.cFileName).c_str());
    while (FindNextFileW(search, &found));
    FindClose(search);
}

void SetFailure(World& world, Model& m, FailStep step, bool once) {
    wchar_t setting[64];
    // A code of its own each time: the stand-in fires a one-off failure once per setting.
    swprintf(setting, 64, L"%hs:0x%08X%ls", FailStepName(step), 0x887A1000u + (++world.failArms % 0x1000u),
             once ? L":once" : L"");
    SetLiveControl(L"QUORVEL_COMPOSITION_FAIL", setting);
    m.failSet = true;
    m.failStep = step;
    m.failOnce = once;
    m.onceFired = false;
}

// A later start: it forwards its command and ends with 0.
void LaterStart(World& world, const wchar_t* tail) {
    Process later = StartProcess(world.paths.exe, tail);
    const long code = WaitForExitCode(later, StepTimeoutMs);
    if (code != 0) world.precondition = "a later start ended with " + std::to_string(code);
}

void WaitForInstanceEnd(World& world) {
    const long code = WaitForExitCode(world.instance, StepTimeoutMs);
    if (code != 0) world.precondition = "the instance ended with " + std::to_string(code);
}

void StartInstance(World& world, Model& m, const Tail& tail, std::uint64_t now) {
    DeleteFrames(world);
    world.instance = StartProcess(world.paths.exe, tail.text);
    if (tail.commandId == ExitCommand) {
        const long code = WaitForExitCode(world.instance, StepTimeoutMs);
        if (code != 0) world.precondition = "a first start with --exit ended with " + std::to_string(code);
        return;
    }
    if (!WaitUntil([] {
            HWND reticle = ReticleWindow();
            return reticle != nullptr && WindowTitle(reticle).rfind(L"Quorvel | ", 0) == 0;
        }, StepTimeoutMs))
        world.precondition = "the program did not start";
    ModelStart(m, tail.commandId, ViewGame(world), now);
}

void StartGameAt(World& world, int x, int y) {
    wchar_t arguments[64];
    swprintf(arguments, 64, L"--client 1280x720 --at %d,%d", x, y);
    world.game = StartProcess(world.paths.game, arguments);
    if (!WaitPumping([] {
            HWND g = StandInGameWindow();
            return g != nullptr && IsWindowVisible(g) && GetForegroundWindow() == g;
        }))
        world.precondition = "the game did not come up in front";
}

void CloseGame(World& world) {
    if (HWND window = StandInGameWindow()) PostMessageW(window, WM_CLOSE, 0, 0);
    if (world.game.handle != nullptr) WaitForExitCode(world.game, StepTimeoutMs);
    if (!WaitPumping([] { return StandInGameWindow() == nullptr; }))
        world.precondition = "the game did not close";
}

void ChangeRegistry(int change) {
    if (change == 4) {
        DeleteSettingsKey();
        return;
    }
    if (change == 3) {
        const wchar_t text[] = L"1";
        RegSetKeyValueW(HKEY_CURRENT_USER, SettingsKey, BlackValue, REG_SZ, text,
                        sizeof text);
        return;
    }
    const DWORD value = static_cast<DWORD>(change);
    RegSetKeyValueW(HKEY_CURRENT_USER, SettingsKey, BlackValue, REG_DWORD, &value,
                    sizeof value);
}

// Sent, as the system broadcasts them: WM_SETTINGCHANGE cannot be posted at all.
void Burst(World& world, int kind, int count) {
    static const UINT Messages[3] = {WM_DISPLAYCHANGE, WM_SETTINGCHANGE, WM_DEVICECHANGE};
    static const WPARAM Parameters[3] = {32, 0, 7 /* DBT_DEVNODES_CHANGED */};
    HWND manager = ManagerWindow();
    ULONGLONG last = GetTickCount64();
    for (int i = 0; i < count; ++i) {
        if (i > 0) Sleep(20);  // spacing of the burst, not a wait for the program
        // The model counts one settle refresh per burst; a stall of this process as long as the
        // settle time would split the burst in two, which is no fault of the program.
        if (i > 0 && GetTickCount64() - last >= SettleMs)
            world.precondition = "the burst's changes came more than the settle time apart";
        const int which = kind < 3 ? kind : i % 3;
        DWORD_PTR result = 0;
        if (SendMessageTimeoutW(manager, Messages[which], Parameters[which], 0, SMTO_ABORTIFHUNG,
                                StepTimeoutMs, &result) == 0)
            world.precondition = "a change message did not reach the program";
        last = GetTickCount64();
    }
    // The settle timer fires 400 ms after the last change has been handled.
    Synchronise(world);
    WaitUntil([&] { return GetTickCount64() >= last + SettleMs + 150; });
}

}  // namespace

bool CheckTwoMonitors(std::string& description) {
    std::vector<RECT> monitors;
    EnumDisplayMonitors(nullptr, nullptr,
                        [](HMONITOR monitor, HDC, LPRECT, LPARAM data) -> BOOL {
                            MONITORINFO info = {};
                            info.cbSize = sizeof info;
                            GetMonitorInfoW(monitor, &info);
                            reinterpret_cast<std::vector<RECT>*>(data)->push_back(info.rcMonitor);
                            return TRUE;
                        },
                        reinterpret_cast<LPARAM>(&monitors));
    char text[160];
    description = "monitors:";
    for (const RECT& r : monitors) {
        std::snprintf(text, sizeof text, " (%ld,%ld)-(%ld,%ld)", r.left, r.top, r.right, r.bottom);
        description += text;
    }
    int outputs = 0;
    ComPtr<IDXGIFactory1> factory;
    ComPtr<IDXGIAdapter1> adapter;
    if (SUCCEEDED(CreateDXGIFactory1(IID_PPV_ARGS(&factory))) &&
        SUCCEEDED(factory->EnumAdapters1(0, &adapter))) {
        description += "; adapter 0 outputs:";
        ComPtr<IDXGIOutput> output;
        for (UINT i = 0; SUCCEEDED(adapter->EnumOutputs(i, &output)); ++i, ++outputs) {
            DXGI_OUTPUT_DESC desc = {};
            output->GetDesc(&desc);
            const RECT& r = desc.DesktopCoordinates;
            std::snprintf(text, sizeof text, " %ls (%ld,%ld)-(%ld,%ld)", desc.DeviceName, r.left,
                          r.top, r.right, r.bottom);
            description += text;
        }
    }
    if (monitors.size() != 2 || outputs != 2) return false;
    for (int i = 0; i < 2; ++i) {
        const MonitorLayout& s = Monitors[i];
        bool found = false;
        for (const RECT& r : monitors)
            found |= r.left == s.left && r.top == s.top && r.right - r.left == s.width &&
                     r.bottom - r.top == s.height;
        if (!found) return false;
    }
    return true;
}

void PrepareWorld(World& world) {
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    if (ManagerWindow() != nullptr) RunQuorvel(L"--exit");
    WaitUntil([] { return ManagerWindow() == nullptr; });
    if (HWND window = StandInGameWindow()) PostMessageW(window, WM_CLOSE, 0, 0);
    WaitUntil([] { return StandInGameWindow() == nullptr; });
    DeleteSettingsKey();
    for (const wchar_t* name : {L"QUORVEL_COMPOSITION_HDR", L"QUORVEL_COMPOSITION_FAIL"})
        SetCompositionControl(name, nullptr);
    ClearLiveControls();
    const Recording recording = StartRecording(L"quorvel-model-run");
    world.framesFolder = recording.frames;
    world.logFile = recording.log;
    world.other = OpenOtherProgramWindow(1500, 700, 300, 200);
    StartGameAt(world, 100, 100);
}

void EndWorld(World& world) {
    if (ManagerWindow() != nullptr) RunQuorvel(L"--exit");
    if (world.instance.handle != nullptr) WaitForExitCode(world.instance);
    if (StandInGameWindow() != nullptr) CloseGame(world);
    if (world.other != nullptr) DestroyWindow(world.other);
    ClearLiveControls();
}

GameView ViewGame(const World&) {
    GameView view;
    HWND window = StandInGameWindow();
    if (window == nullptr) return view;
    view.exists = true;
    view.inFront = GetForegroundWindow() == window;
    view.iconic = IsIconic(window) != 0;
    view.visible = IsWindowVisible(window) != 0;
    RECT client = {};
    GetClientRect(window, &client);
    view.clientWidth = client.right;
    view.clientHeight = client.bottom;
    const POINT centre = ClientCentreOnScreen(window);
    view.centreX = centre.x;
    view.centreY = centre.y;
    RECT frame = {};
    GetWindowRect(window, &frame);
    view.windowLeft = frame.left;
    view.windowTop = frame.top;
    return view;
}

Observation Observe(World& world) {
    Observation seen;
    ReadLog(world);
    seen.builds = world.builds;
    seen.uploads = world.uploads;
    seen.stored = StoredBlackValue();
    HWND reticle = ReticleWindow();
    seen.running = ManagerWindow() != nullptr && reticle != nullptr;
    if (!seen.running) return seen;
    seen.title = WindowTitle(reticle);
    seen.visible = IsWindowVisible(reticle) != 0;
    GetWindowRect(reticle, &seen.rect);
    return seen;
}

bool Synchronise(World& world) {
    static const UINT marker = RegisterWindowMessageW(SyncMarkerMessageName);
    for (int round = 0; round < 2; ++round) {
        HWND manager = ManagerWindow();
        if (manager == nullptr) return true;  // nothing runs that could be behind
        const unsigned long long number = ++world.syncsSent;
        PostMessageW(manager, marker, static_cast<WPARAM>(number), 0);
        if (!WaitPumping([&] {
                ReadLog(world);
                return world.lastSync >= number || ManagerWindow() == nullptr;
            }))
            return false;
    }
    return true;
}

void PerformStep(World& world, Model& m, const Step& step, std::uint64_t now) {
    world.precondition.clear();
    HWND gameWindow = StandInGameWindow();
    switch (step.kind) {
    case StepKind::Start:
        StartInstance(world, m, FirstStartTails[step.a], now);
        break;
    case StepKind::Later:
        LaterStart(world, VerbTails[step.a].text);
        ModelCommand(m, VerbTails[step.a].commandId, ViewGame(world), now);
        break;
    case StepKind::Menu: {
        LaterStart(world, NonVerbTails[step.a].text);
        HWND menu = nullptr;
        if (!WaitPumping([&] { return (menu = InstanceMenu(world.instance.id)) != nullptr; })) {
            world.precondition = "no menu opened";
            break;
        }
        // Opening the menu takes the foreground, which the program notices.
        ModelRefresh(m, ViewGame(world), false, now);
        if (step.b == 0) {
            PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        } else {
            for (int i = 0; i < step.b; ++i) PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
            PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
        }
        if (!WaitPumping([&] { return InstanceMenu(world.instance.id) == nullptr; }))
            world.precondition = "the menu did not close";
        Synchronise(world);
        const int chosen = MenuItems[step.b];
        if (chosen == ExitCommand) {
            WaitForInstanceEnd(world);
            ModelExit(m);
        } else if (chosen != 0) {
            ModelCommand(m, chosen, ViewGame(world), now);
        }
        break;
    }
    case StepKind::Exit:
        LaterStart(world, L"--exit");
        WaitForInstanceEnd(world);
        ModelExit(m);
        break;
    case StepKind::Hotkey:
        PressCtrlAlt(step.a == 0 ? 'W' : 'H');
        ModelCommand(m, step.a == 0 ? SwitchColorCommand : ToggleWingsCommand, ViewGame(world), now);
        break;
    case StepKind::GameFront:
        SetForegroundWindow(gameWindow);
        if (!WaitPumping([&] { return GetForegroundWindow() == gameWindow; }))
            world.precondition = "the game did not come to the front";
        ModelRefresh(m, ViewGame(world), false, now);
        break;
    case StepKind::OtherFront:
        SetForegroundWindow(world.other);
        if (!WaitPumping([&] { return GetForegroundWindow() == world.other; }))
            world.precondition = "the other window did not come to the front";
        ModelRefresh(m, ViewGame(world), false, now);
        break;
    case StepKind::Minimise:
        ShowWindow(gameWindow, SW_MINIMIZE);
        if (!WaitPumping([&] { return IsIconic(gameWindow) != 0; }))
            world.precondition = "the game did not minimise";
        ModelRefresh(m, ViewGame(world), false, now);
        break;
    case StepKind::Restore:
        ShowWindow(gameWindow, SW_RESTORE);
        SetForegroundWindow(gameWindow);
        if (!WaitPumping([&] { return !IsIconic(gameWindow) && GetForegroundWindow() == gameWindow; }))
            world.precondition = "the game did not come back in front";
        ModelRefresh(m, ViewGame(world), false, now);
        break;
    case StepKind::Move:
        SetWindowPos(gameWindow, nullptr, step.a, step.b, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        if (!WaitPumping([&] {
                RECT r = {};
                GetWindowRect(gameWindow, &r);
                return r.left == step.a && r.top == step.b;
            }))
            world.precondition = "the game did not move";
        ModelRefresh(m, ViewGame(world), false, now);
        break;
    case StepKind::Resize: {
        RECT frame = {}, client = {};
        GetWindowRect(gameWindow, &frame);
        GetClientRect(gameWindow, &client);
        const int width = step.a + (frame.right - frame.left) - client.right;
        const int height = step.b + (frame.bottom - frame.top) - client.bottom;
        SetWindowPos(gameWindow, nullptr, 0, 0, width, height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        // The frame may hold the window at a minimum size: what counts is the size it got.
        WaitPumping([&] {
            RECT r = {};
            GetWindowRect(gameWindow, &r);
            return r.right - r.left == width && r.bottom - r.top == height;
        }, 1000);
        ModelRefresh(m, ViewGame(world), false, now);
        break;
    }
    case StepKind::CloseGame:
        CloseGame(world);
        ModelRefresh(m, ViewGame(world), false, now);
        break;
    case StepKind::StartGame:
        StartGameAt(world, step.a, step.b);
        ModelRefresh(m, ViewGame(world), false, now);
        break;
    case StepKind::Burst:
        Burst(world, step.a, step.b);
        ModelRefresh(m, ViewGame(world), true, now);
        break;
    case StepKind::Taskbar: {
        static const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
        PostMessageW(ManagerWindow(), taskbarCreated, 0, 0);
        break;
    }
    case StepKind::Hdr: {
        const std::wstring name = L"QUORVEL_COMPOSITION_HDR_DISPLAY" + std::to_wstring(step.a + 1);
        SetLiveControl(name.c_str(), step.b > 0 ? std::to_wstring(step.b).c_str() : L"sdr");
        m.outputNits[step.a] = step.b > 0 ? static_cast<float>(step.b) : -1.0f;
        break;
    }
    case StepKind::Fail:
        SetFailure(world, m, static_cast<FailStep>(step.a), step.b != 0);
        break;
    case StepKind::FailClear:
        SetLiveControl(L"QUORVEL_COMPOSITION_FAIL", nullptr);
        m.failSet = false;
        break;
    case StepKind::WaitRetry:
        break;  // the run waits for the retry before the next step (see ModelRun.cpp)
    case StepKind::Registry:
        ChangeRegistry(step.a);
        m.stored = step.a <= 2 ? step.a : -1;
        if (m.running) {
            LaterStart(world, L"--exit");
            WaitForInstanceEnd(world);
            ModelExit(m);
        }
        StartInstance(world, m, FirstStartTails[step.b], now);
        break;
    case StepKind::Count:
        break;
    }
}

std::vector<std::uint16_t> LatestFrameWords(const World& world) {
    Recording recording;
    recording.frames = world.framesFolder;
    return LatestFrame(recording).words;
}
