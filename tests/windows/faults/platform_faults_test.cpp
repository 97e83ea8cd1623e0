// Every platform failure that the real quorvel.exe ends on or lives with, made to happen inside
// it by the stand-in's fault control, one row per failure. Watched from outside where Windows
// lets a test see it (exit code, windows, titles, the stored setting, hotkeys); the call log of
// the stand-in shows the rest (shutdown order, the tray record's icon, the menu's texts).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/windows/composition/OnScreen.h"
#include "tests/windows/support/WineTest.h"

namespace {

constexpr wchar_t FaultsControl[] = L"QUORVEL_PLATFORM_FAULTS";
constexpr wchar_t CallLogControl[] = L"QUORVEL_PLATFORM_LOG";
constexpr wchar_t Waiting[] = L"Quorvel | Waiting for Overwatch";
constexpr wchar_t Hidden[] = L"Quorvel | Hidden";
constexpr wchar_t Rainbow[] = L"Quorvel | Rainbow";
constexpr wchar_t DeepBlack[] = L"Quorvel | Deep Black";
// What other programs and the user rely on, written out rather than taken from the program.
constexpr wchar_t MutexName[] = L"Local\\Quorvel.Overlay";
constexpr wchar_t SettingsKey[] = L"Software\\Quorvel Overlay";
constexpr DWORD PollMs = 250;

// One run of the program under faults: the instance, the game, the call log.
struct Run {
    Process instance;
    Process game;
    Recording recording;

    std::vector<std::string> Calls(const std::string& prefix) const {
        return Events(recording, ("call " + prefix).c_str());
    }
    int CountCalls(const std::string& prefix) const {
        return static_cast<int>(Calls(prefix).size());
    }
    // The call of function was made and made to fail, so the row cannot pass by accident.
    // Waits: start-up goes on past the first title the test sees.
    bool FaultFired(const std::string& function) const {
        return WaitUntil([&] {
            for (const std::string& line : Calls(function + " "))
                if (line.size() >= 8 && line.compare(line.size() - 8, 8, "-> fault") == 0)
                    return true;
            return false;
        });
    }
    // Position of the first log line starting with text, or -1.
    int LinePosition(const std::string& text) const {
        const std::vector<std::string> lines = Events(recording, "");
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (lines[i].rfind(text, 0) == 0) return static_cast<int>(i);
        return -1;
    }
    bool WaitForCall(const std::string& prefix) const {
        return WaitUntil([&] { return CountCalls(prefix) > 0; });
    }

    // Starts the instance from the stand-in's folder with the faults in its environment; false
    // when it could not be started.
    [[nodiscard]] bool Start(const wchar_t* faults, const std::wstring& arguments = L"") {
        SetCompositionControl(FaultsControl, faults);
        instance = StartQuorvelWithStandIn(arguments);
        SetCompositionControl(FaultsControl, nullptr);
        return instance.handle != nullptr;
    }
    // The instance runs its loop: its first tray update has named the status.
    bool WaitRunning() const {
        return WaitUntil([] { return ReticleWindow() != nullptr; }) &&
               WaitForTitle(ReticleWindow(), Waiting);
    }
    // The game in front, the reticle over it, with this status.
    bool WaitShown(const wchar_t* title = Rainbow) const {
        return WaitUntil([] { return ReticleWindow() != nullptr; }) &&
               WaitForTitle(ReticleWindow(), title) &&
               WaitUntil([] { return IsWindowVisible(ReticleWindow()) != 0; });
    }
    // The stand-in game shown and in front, which the rows that need it rely on.
    bool StartGame() {
        if (!StartWindowedGame(game)) return false;
        return WaitUntil([] {
            if (GetForegroundWindow() == StandInGameWindow()) return true;
            SetForegroundWindow(StandInGameWindow());
            return false;
        });
    }
};

// Each row starts from a clean session (no instance, no stored setting, no faults) with a fresh
// call log, and leaves one behind.
template <typename Base>
class FaultRun : public Base {
protected:
    void SetUp() override {
        EndAllInstances();
        ClearLiveControls();
        SetCompositionControl(FaultsControl, nullptr);
        run.recording = StartRecording(L"quorvel-faults");
        SetCompositionControl(CallLogControl, run.recording.log.c_str());
    }
    void TearDown() override {
        ClearLiveControls();
        SetCompositionControl(FaultsControl, nullptr);
        SetCompositionControl(CallLogControl, nullptr);
        EndInstanceAndGame(run.instance, run.game);
        EndAllInstances();
    }
    Run run;
};

// --- Fatal: the start ends with its code and leaves nothing behind. ---

struct FatalRow {
    const char* name;
    const wchar_t* faults;  // null: no fault, another object holds the mutex's name
    const char* function;   // the call made to fail
    long exitCode;
    const char* notCalled;  // a later step the start must not reach
    const char* called;     // a step the start must still have made, or null
};

const FatalRow FatalRows[] = {
    {"MutexNotCreated", L"CreateMutexW", "CreateMutexW", 2, "CoInitializeEx", nullptr},
    {"MutexNameHeldByAnEvent", nullptr, nullptr, 2, "CoInitializeEx", nullptr},
    {"ImageNotLoaded", L"LoadResource", "LoadResource", 3, "LockResource", nullptr},
    {"ImageNotLocked", L"LockResource", "LockResource", 3, "RegGetValueW", nullptr},
    {"ManagerClassNotRegistered", L"RegisterClassW@1", "RegisterClassW", 4,
     "RegisterClassW Quorvel.Reticle", nullptr},
    {"ReticleClassNotRegistered", L"RegisterClassW@2", "RegisterClassW", 5, "CreateWindowExW",
     nullptr},
    // Both windows are attempted before either is tested.
    {"ManagerWindowNotCreated", L"CreateWindowExW/Quorvel.Manager", "CreateWindowExW", 6,
     "Shell_NotifyIconW", "CreateWindowExW Quorvel.Reticle -> window"},
    {"ReticleWindowNotCreated", L"CreateWindowExW/Quorvel.Reticle", "CreateWindowExW", 6,
     "Shell_NotifyIconW", nullptr},
};

class FatalStart : public FaultRun<testing::TestWithParam<FatalRow>> {};

// Started with "--black", which a start that got through would store.
TEST_P(FatalStart, EndsWithItsCodeAndLeavesNothing) {
    const FatalRow& row = GetParam();
    HANDLE event = nullptr;
    if (row.faults == nullptr) {
        event = CreateEventW(nullptr, TRUE, FALSE, MutexName);
        ASSERT_NE(event, nullptr);
    }
    ASSERT_TRUE(run.Start(row.faults, L"--black")) << "quorvel.exe did not start";
    EXPECT_EQ(WaitForExitCode(run.instance), row.exitCode);
    if (row.function != nullptr) {
        EXPECT_TRUE(run.FaultFired(row.function));
    } else {
        EXPECT_EQ(run.CountCalls("CreateMutexW Local\\Quorvel.Overlay -> null error 6"), 1)
            << "the name clash gives ERROR_INVALID_HANDLE";
    }
    EXPECT_EQ(run.CountCalls(std::string(row.notCalled) + " "), 0) << "went on past the failure";
    if (row.called != nullptr) {
        EXPECT_EQ(run.CountCalls(row.called), 1);
    }
    EXPECT_EQ(ManagerWindow(), nullptr);
    EXPECT_EQ(ReticleWindow(), nullptr);
    EXPECT_EQ(StoredBlackValue(), -1) << "nothing written";
    if (event != nullptr) CloseHandle(event);

    // The next start is a first instance: it stays.
    ASSERT_TRUE(run.Start(nullptr)) << "quorvel.exe did not start";
    ASSERT_TRUE(run.WaitRunning());
    EXPECT_FALSE(HasExited(run.instance));
}

INSTANTIATE_TEST_SUITE_P(Rows, FatalStart, testing::ValuesIn(FatalRows),
                         [](const auto& info) { return std::string(info.param.name); });

// --- Tolerated at start-up: the program runs with the fallback of each failure. ---

// Opens the instance's menu from a later start, reads the texts it was built with, closes it.
std::vector<std::string> MenuTexts(const Run& run) {
    EXPECT_EQ(RunQuorvel(L""), 0);
    HWND menu = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (menu = InstanceMenu(run.instance.id)) != nullptr; }));
    if (menu != nullptr) PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitUntil([&] { return InstanceMenu(run.instance.id) == nullptr; }));
    return run.Calls("AppendMenuW ");
}

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// A later start's command is carried out: the instance's loop runs.
void CommandsArrive() {
    EXPECT_EQ(RunQuorvel(L"--hide"), 0);
    EXPECT_TRUE(WaitForTitle(ReticleWindow(), Hidden));
    EXPECT_EQ(RunQuorvel(L"--show"), 0);
    EXPECT_TRUE(WaitForTitle(ReticleWindow(), Waiting));
}

void DpiCallFailed(Run& run) {
    EXPECT_TRUE(run.FaultFired("SetProcessDpiAwarenessContext"));
    CommandsArrive();
}

void DpiFunctionMissing(Run& run) {
    EXPECT_TRUE(run.FaultFired("GetProcAddress"));
    EXPECT_EQ(run.CountCalls("SetProcessDpiAwarenessContext"), 0);
    CommandsArrive();
}

void ComFailed(Run& run) {
    EXPECT_TRUE(run.FaultFired("CoInitializeEx"));
    CommandsArrive();
    ExitInstance(run.instance);
    EXPECT_EQ(run.CountCalls("CoUninitialize"), 1) << "still called at shutdown";
}

void IconFailed(Run& run) {
    EXPECT_TRUE(run.FaultFired("LoadIconW"));
    EXPECT_TRUE(run.WaitForCall("Shell_NotifyIconW 0 null"));
}

void MessageNotRegistered(Run& run) {
    EXPECT_TRUE(run.FaultFired("RegisterWindowMessageW"));
    ASSERT_TRUE(run.WaitForCall("Shell_NotifyIconW 0 "));
    PostMessageW(ManagerWindow(), WM_NULL, 0, 0);
    CommandsArrive();  // posted after the WM_NULL, so handled after it
    EXPECT_EQ(run.CountCalls("Shell_NotifyIconW 0 "), 1) << "WM_NULL taken for TaskbarCreated";
}

void TrayAddFailed(Run& run) {
    ASSERT_TRUE(run.WaitForCall("Shell_NotifyIconW 0 icon -> fault"));
    SendNotifyMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(run.WaitForCall("Shell_NotifyIconW 0 icon -> 1")) << "no icon after the broadcast";
}

void ColorHotkeyFailed(Run& run) {
    EXPECT_TRUE(run.FaultFired("RegisterHotKey"));
    const std::vector<std::string> texts = MenuTexts(run);
    EXPECT_TRUE(Contains(texts, "call AppendMenuW 103 Switch color"));
    EXPECT_TRUE(Contains(texts, "call AppendMenuW 104 Hide wings\\tCtrl+Alt+H"));
    PressCtrlAlt('H');
    EXPECT_TRUE(WaitForTitle(ReticleWindow(), Hidden)) << "Ctrl+Alt+H still works";
}

void WingsHotkeyFailed(Run& run) {
    EXPECT_TRUE(run.FaultFired("RegisterHotKey"));
    const std::vector<std::string> texts = MenuTexts(run);
    EXPECT_TRUE(Contains(texts, "call AppendMenuW 103 Switch color\\tCtrl+Alt+W"));
    EXPECT_TRUE(Contains(texts, "call AppendMenuW 104 Hide wings"));
    PressCtrlAlt('W');
    EXPECT_TRUE(WaitUntil([] { return StoredBlackValue() == 1; })) << "Ctrl+Alt+W still works";
}

void HookFailed(Run& run) {
    EXPECT_TRUE(run.FaultFired("SetWinEventHook"));
    ASSERT_TRUE(run.StartGame());
    ASSERT_TRUE(run.WaitShown());  // found by the poll
    ExitInstance(run.instance);
    EXPECT_EQ(run.CountCalls("UnhookWinEvent"), 0) << "no hook to remove";
}

// Without the poll (and with no hook, whose events would refresh too) the game coming to the
// front changes nothing: no refresh even looks at the foreground window. The next command
// refreshes.
void TimerFailed(Run& run) {
    EXPECT_TRUE(run.FaultFired("SetTimer"));
    ASSERT_TRUE(run.StartGame());
    // A working poll would look at least eight times meanwhile.
    const int looks = run.CountCalls("GetForegroundWindow");
    constexpr DWORD EightPolls = 8 * PollMs;
    EXPECT_FALSE(WaitUntil([&] { return run.CountCalls("GetForegroundWindow") > looks; },
                           EightPolls))
        << "something polled";
    EXPECT_EQ(WindowTitle(ReticleWindow()), Waiting);
    EXPECT_EQ(RunQuorvel(L"--show"), 0);
    ASSERT_TRUE(run.WaitShown());
    EXPECT_GT(run.CountCalls("GetForegroundWindow"), looks) << "the log shows the refresh's look";
}

void RegistryNotRead(Run& run) {
    EXPECT_TRUE(run.FaultFired("RegGetValueW"));
    ASSERT_TRUE(run.WaitShown(Rainbow));
    EXPECT_EQ(StoredBlackValue(), 1) << "Deep Black is stored";
}

void RegistryNotWritten(Run& run) {
    ASSERT_TRUE(run.WaitShown(Rainbow));
    EXPECT_EQ(RunQuorvel(L"--black"), 0);
    EXPECT_TRUE(run.WaitShown(DeepBlack));  // the new mode holds
    EXPECT_TRUE(run.FaultFired("RegSetKeyValueW"));
    EXPECT_EQ(StoredBlackValue(), -1) << "nothing stored";
}

struct ToleratedRow {
    const char* name;
    const wchar_t* faults;
    bool gameFirst;       // the game is in front before the program starts
    bool deepBlackStored;
    void (*fallback)(Run&);
};

const ToleratedRow ToleratedRows[] = {
    {"DpiAwarenessFailsAndStartUpGoesOn", L"SetProcessDpiAwarenessContext", false, false,
     DpiCallFailed},
    {"DpiFunctionMissingAndStartUpGoesOn", L"GetProcAddress/SetProcessDpiAwarenessContext", false,
     false, DpiFunctionMissing},
    {"ComFailsAndIsStillUninitialised", L"CoInitializeEx", false, false, ComFailed},
    {"IconFailsAndTheTrayAddHasANullIcon", L"LoadIconW", false, false, IconFailed},
    {"MessageRegistrationFailsAndWmNullIsNotTaskbarCreated", L"RegisterWindowMessageW", false,
     false, MessageNotRegistered},
    {"TrayAddFailsAndTaskbarCreatedAddsTheIcon", L"Shell_NotifyIconW@1", false, false,
     TrayAddFailed},
    {"ColorHotkeyFailsMenuWithoutItsShortcut", L"RegisterHotKey@1", false, false,
     ColorHotkeyFailed},
    {"WingsHotkeyFailsMenuWithoutItsShortcut", L"RegisterHotKey@2", false, false,
     WingsHotkeyFailed},
    {"HookFailsAndThePollFindsTheGame", L"SetWinEventHook", false, false, HookFailed},
    {"TimerFailsAndOnlyACommandRefreshes", L"SetTimer@1,SetWinEventHook", false, false,
     TimerFailed},
    {"RegistryReadFailsAndRainbowHolds", L"RegGetValueW", true, true, RegistryNotRead},
    {"RegistryWriteFailsAndTheModeHoldsForTheRun", L"RegSetKeyValueW", true, false,
     RegistryNotWritten},
};

class ToleratedStart : public FaultRun<testing::TestWithParam<ToleratedRow>> {};

TEST_P(ToleratedStart, RunsWithTheFallback) {
    const ToleratedRow& row = GetParam();
    if (row.deepBlackStored) {
        const DWORD black = 1;
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, SettingsKey, L"Black", REG_DWORD, &black,
                                  sizeof black),
                  ERROR_SUCCESS);
    }
    if (row.gameFirst) {
        ASSERT_TRUE(run.StartGame());
    }
    ASSERT_TRUE(run.Start(row.faults)) << "quorvel.exe did not start";
    if (!row.gameFirst) {
        ASSERT_TRUE(run.WaitRunning());
    }
    row.fallback(run);
    if (run.instance.handle != nullptr) {
        EXPECT_FALSE(HasExited(run.instance));
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, ToleratedStart, testing::ValuesIn(ToleratedRows),
                         [](const auto& info) { return std::string(info.param.name); });

// --- The foreground test: each failing step means "not in front", until it works again. ---

class ForegroundStep : public FaultRun<testing::TestWithParam<const char*>> {};

TEST_P(ForegroundStep, FailingMeansNotInFrontAndTheNextPollFindsTheGame) {
    const std::string step = GetParam();
    const std::wstring fault(step.begin(), step.end());
    ASSERT_TRUE(run.StartGame());
    ASSERT_TRUE(run.Start(nullptr)) << "quorvel.exe did not start";
    ASSERT_TRUE(run.WaitShown());

    SetLiveControl(FaultsControl, fault.c_str());
    EXPECT_TRUE(WaitForTitle(ReticleWindow(), Waiting));
    EXPECT_TRUE(WaitUntil([] { return IsWindowVisible(ReticleWindow()) == 0; }));
    EXPECT_EQ(GetForegroundWindow(), StandInGameWindow()) << "the game is still in front";
    EXPECT_TRUE(run.FaultFired(step));

    SetLiveControl(FaultsControl, nullptr);
    ASSERT_TRUE(run.WaitShown());
}

INSTANTIATE_TEST_SUITE_P(Rows, ForegroundStep,
                         testing::Values("OpenProcess", "QueryFullProcessImageNameW",
                                         "GetClientRect", "ClientToScreen", "MonitorFromPoint",
                                         "GetMonitorInfoW"),
                         [](const auto& info) { return std::string(info.param); });

// --- The message loop and later starts. ---

class LoopAndLaterStarts : public FaultRun<testing::Test> {};

// GetMessageW returning -1 ends the loop as WM_QUIT does: graphics released, then the reticle
// window destroyed, then COM uninitialised, exit code 0.
TEST_F(LoopAndLaterStarts, MessageErrorEndsTheLoopAndShutsDownInOrder) {
    ASSERT_TRUE(run.StartGame());
    ASSERT_TRUE(run.Start(nullptr)) << "quorvel.exe did not start";
    ASSERT_TRUE(run.WaitShown());
    SetLiveControl(FaultsControl, L"GetMessageW");
    EXPECT_EQ(WaitForExitCode(run.instance), 0);
    EXPECT_TRUE(run.FaultFired("GetMessageW"));
    EXPECT_EQ(ManagerWindow(), nullptr);
    EXPECT_EQ(ReticleWindow(), nullptr);

    const int error = run.LinePosition("call GetMessageW -> fault");
    const int released = run.LinePosition("release swapchain");
    const int destroyed = run.LinePosition("call DestroyWindow Quorvel.Reticle");
    const int uninitialised = run.LinePosition("call CoUninitialize");
    EXPECT_GE(error, 0);
    EXPECT_GT(released, error) << "graphics released after the loop";
    EXPECT_GT(destroyed, released) << "reticle window destroyed after the graphics";
    EXPECT_GT(uninitialised, destroyed) << "COM uninitialised last";
}

// The running instance's queue refuses the command: it is dropped, at once, and the later start
// ends with 0.
TEST_F(LoopAndLaterStarts, FailedPostDropsTheCommand) {
    Process first = StartQuorvel();
    ASSERT_TRUE(WaitUntil([] { return ReticleWindow() != nullptr; }));
    ASSERT_TRUE(WaitForTitle(ReticleWindow(), Waiting));
    ASSERT_TRUE(run.Start(L"PostMessageW", L"--hide")) << "quorvel.exe did not start";
    EXPECT_EQ(WaitForExitCode(run.instance), 0);
    EXPECT_TRUE(run.FaultFired("PostMessageW"));
    EXPECT_EQ(run.CountCalls("FindWindowW Quorvel.Manager -> window"), 1);
    EXPECT_EQ(run.CountCalls("Sleep "), 0) << "no retry after a failed post";
    EXPECT_EQ(WindowTitle(ReticleWindow()), Waiting);
    EXPECT_EQ(RunQuorvel(L"--hide"), 0);  // the same command, posted, arrives
    EXPECT_TRUE(WaitForTitle(ReticleWindow(), Hidden));
    ExitInstance(first);
}

// A start while the running instance shuts down: the mutex is held, its manager window is gone.
// 50 looks, each followed by Sleep(20) (about a second), and the later start ends with 0.
TEST_F(LoopAndLaterStarts, NoManagerWindowIn50AttemptsEndsWith0) {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, MutexName);
    ASSERT_NE(mutex, nullptr);
    ASSERT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    ASSERT_TRUE(run.Start(nullptr, L"--hide")) << "quorvel.exe did not start";
    EXPECT_EQ(WaitForExitCode(run.instance), 0);
    EXPECT_EQ(run.CountCalls("FindWindowW Quorvel.Manager -> null"), 50);
    EXPECT_EQ(run.CountCalls("Sleep 20"), 50);
    EXPECT_EQ(ManagerWindow(), nullptr);
    CloseHandle(mutex);

    ASSERT_TRUE(run.Start(nullptr)) << "quorvel.exe did not start";
    ASSERT_TRUE(run.WaitRunning());
}

}  // namespace
