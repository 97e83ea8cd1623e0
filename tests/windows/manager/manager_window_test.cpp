// The manager window's procedure, the command dispatcher, the teardown, the tray record, the
// reticle window's answers and the foreground notice, driven inside this process with windows
// of its own; what the code asks of the system is read from the call log.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/Ids.h"
#include "app/Tray.h"
#include "tests/windows/manager/ManagerFixture.h"

namespace {

using Lines = std::vector<std::wstring>;

const std::wstring WriteRainbow =
    L"RegSetKeyValue HKCU Software\\Quorvel Overlay Black type=4 value=0 size=4";
const std::wstring WriteDeepBlack =
    L"RegSetKeyValue HKCU Software\\Quorvel Overlay Black type=4 value=1 size=4";
const std::wstring ForcedRefresh = L"Refresh force=1 reset=0";

using ManagerWindowTest = ManagerFixture;

TEST_F(ManagerWindowTest, FailedTaskbarCreatedRegistrationNeverMatchesWmNull) {
    AppState.taskbarCreatedMessage = 0;
    EXPECT_EQ(Manager(WM_NULL), 0);
    EXPECT_EQ(calls, Lines{});
}

TEST_F(ManagerWindowTest, EachTaskbarCreatedAddsTheIconAgain) {
    AppState.taskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");
    ASSERT_NE(AppState.taskbarCreatedMessage, 0u);
    EXPECT_EQ(Manager(AppState.taskbarCreatedMessage), 0);
    EXPECT_EQ(Manager(AppState.taskbarCreatedMessage), 0);
    const std::wstring title = L"SetWindowText reticle Quorvel | Waiting for Overwatch";
    EXPECT_EQ(calls, (Lines{title, L"Shell_NotifyIcon 0", title, L"Shell_NotifyIcon 0"}));
    // With a registered id, WM_NULL is just WM_NULL.
    ClearCalls();
    EXPECT_EQ(Manager(WM_NULL), 0);
    EXPECT_EQ(calls, Lines{});
}

TEST_F(ManagerWindowTest, SettingsDisplayAndDeviceChangesArmTheSettleTimer) {
    for (UINT message : {WM_SETTINGCHANGE, WM_DISPLAYCHANGE, WM_DEVICECHANGE}) {
        SCOPED_TRACE(testing::Message() << "message 0x" << std::hex << message);
        ClearCalls();
        EXPECT_EQ(Manager(message, 1, 0), 0);
        EXPECT_EQ(calls, Lines{L"SetTimer manager 1 400"});
    }
}

TEST_F(ManagerWindowTest, TimerMessages) {
    const struct {
        WPARAM timerId;
        Lines calls;
    } cases[] = {
        {2, {L"Refresh force=0 reset=0"}},  // the poll
        {1, {L"KillTimer manager 1", L"Refresh force=1 reset=1"}},  // the display settle timer
        {0, {}},
        {3, {}},
        {0x100000001ull, {}},  // only id 1 itself is the settle timer
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "timer " << c.timerId);
        ClearCalls();
        EXPECT_EQ(Manager(WM_TIMER, c.timerId, 0), 0);
        EXPECT_EQ(calls, c.calls);
    }
}

// Six changes about 100 ms apart, as a display switch sends them, with this thread's messages
// dispatched in between: one forced rebuild refresh, after the last of them. Each change
// restarts the 400 ms timer; counted from the first change it would fire before the sixth, and
// the log would show the refresh among the changes.
TEST_F(ManagerWindowTest, BurstOfDisplayChangesGivesOneRefreshAfterTheLast) {
    for (int i = 0; i < 6; ++i) {
        if (i > 0) {
            const ULONGLONG next = GetTickCount64() + 100;
            PumpUntil([&] { return GetTickCount64() >= next; });
        }
        SendMessageW(AppState.managerWindow, WM_DISPLAYCHANGE, 32, MAKELPARAM(1920, 1080));
    }
    ASSERT_TRUE(PumpUntil([] { return !refreshes.empty(); }));
    const std::wstring arm = L"SetTimer manager 1 400";
    EXPECT_EQ(calls, (Lines{arm, arm, arm, arm, arm, arm, L"KillTimer manager 1",
                            L"Refresh force=1 reset=1"}));
    // Killed when it fired: nothing more can come of this burst.
    EXPECT_FALSE(KillTimer(AppState.managerWindow, TIMER_DISPLAY_SETTLE));
}

TEST_F(ManagerWindowTest, TrayCallbacksThatOpenTheMenu) {
    const struct {
        LPARAM mouseMessage;
        bool opensMenu;
    } cases[] = {
        {WM_LBUTTONDOWN, false},  {WM_MOUSEMOVE, false},   {WM_LBUTTONDBLCLK, false},
        {WM_RBUTTONDOWN, false},  {WM_LBUTTONUP, true},    {WM_RBUTTONUP, true},
        {WM_CONTEXTMENU, true},
        // Compared as a whole: a stray high part is not the mouse message.
        {0x100000202ll, false},   {0x100000205ll, false},  {0x10000007Bll, false},
    };
    ASSERT_TRUE(SetCursorPos(300, 200));
    const Lines menuShown = {L"SetForegroundWindow manager",
                             L"TrackPopupMenu 0x0102 300 200 reserved=0 owner=manager rect=null",
                             L"TrackPopupMenu returned 0", L"DestroyMenu",
                             L"PostMessage manager 0x0000 0 0"};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "lParam 0x" << std::hex << c.mouseMessage);
        WatchNextMenu();
        ClearCalls();
        EXPECT_EQ(Manager(WM_TRAYICON, 7, c.mouseMessage), 0);  // the icon id is not looked at
        EXPECT_EQ(LastMenuSeen().opened, c.opensMenu ? 1 : 0);
        EXPECT_EQ(calls, c.opensMenu ? menuShown : Lines{});
        Pump();
        EXPECT_TRUE(refreshes.empty());
    }
}

TEST_F(ManagerWindowTest, CommandAndHotkeyMessagesRunTheirCommand) {
    AppState.deepBlack = true;
    // The menu's notification code in the high word and lParam do not matter.
    EXPECT_EQ(Manager(WM_COMMAND, MAKEWPARAM(CmdRainbow, 1), 12345), 0);
    EXPECT_FALSE(AppState.deepBlack);
    EXPECT_EQ(calls, (Lines{WriteRainbow, ForcedRefresh}));

    ClearCalls();
    EXPECT_EQ(Manager(WM_HOTKEY, CmdSwitchColor, MAKELPARAM(MOD_CONTROL | MOD_ALT, 'W')), 0);
    EXPECT_TRUE(AppState.deepBlack);
    EXPECT_EQ(calls, (Lines{WriteDeepBlack, ForcedRefresh}));

    ClearCalls();
    EXPECT_EQ(Manager(WM_HOTKEY, CmdToggleWings, 0), 0);
    EXPECT_TRUE(AppState.hidden);
    EXPECT_EQ(calls, Lines{ForcedRefresh});
}

TEST_F(ManagerWindowTest, ForegroundNoticeIsPostedAndRefreshesFromTheLoop) {
    HWND manager = AppState.managerWindow;
    AppState.managerWindow = nullptr;
    OnForegroundEvent(nullptr, EVENT_SYSTEM_FOREGROUND, manager, 0, 0, 0, 0);
    AppState.managerWindow = manager;
    EXPECT_EQ(calls, Lines{}) << "posted without a manager window";
    EXPECT_EQ(TakeManagerQueue(), std::vector<UINT>{});

    // Its arguments, the window that came to the front included, are not looked at.
    OnForegroundEvent(reinterpret_cast<HWINEVENTHOOK>(1), 12345, nullptr, 1, 2, 3, 4);
    EXPECT_EQ(calls, Lines{L"PostMessage manager 0x8002 0 0"});
    EXPECT_TRUE(refreshes.empty()) << "the callback refreshed itself";
    Pump();
    EXPECT_EQ(calls.back(), ForcedRefresh);
}

// What the procedure does not handle gets DefWindowProcW's answer, not 0: the length of the
// title "Quorvel controls".
TEST_F(ManagerWindowTest, UnhandledMessagesGetDefWindowProcResult) {
    EXPECT_EQ(Manager(WM_GETTEXTLENGTH), 16);
    EXPECT_EQ(SendMessageW(AppState.managerWindow, WM_GETTEXTLENGTH, 0, 0), 16);
    wchar_t title[32] = {};
    EXPECT_EQ(Manager(WM_GETTEXT, 32, reinterpret_cast<LPARAM>(title)), 16);
    EXPECT_STREQ(title, L"Quorvel controls");
    EXPECT_EQ(calls, Lines{});
}

struct CommandCase {
    int id;
    bool deepBlack, hidden, uploaded;           // before
    bool deepBlackAfter, hiddenAfter, uploadedAfter;
    long long stored;                           // -1: nothing written
};

// Each case starts with the settings key deleted, so a write shows as a recreated value.
const CommandCase commandCases[] = {
    {CmdRainbow, true, true, true, false, false, false, 0},
    {CmdRainbow, false, false, true, false, false, false, 0},  // unchanged mode: written again
    {CmdDeepBlack, false, true, true, true, false, false, 1},
    {CmdDeepBlack, true, true, true, true, false, false, 1},   // same mode, wings hidden
    {CmdSwitchColor, false, true, true, true, false, false, 1},
    {CmdSwitchColor, true, false, true, false, false, false, 0},
    {CmdToggleWings, false, false, true, false, true, true, -1},
    {CmdToggleWings, true, true, false, true, false, false, -1},
    {CmdShowWings, false, true, true, false, false, true, -1},
    {CmdShowWings, false, false, true, false, false, true, -1},
    {CmdHideWings, true, false, true, true, true, true, -1},
    {0, true, true, true, true, true, true, -1},  // unknown ids only refresh
    {109, false, false, false, false, false, false, -1},
    {65535, false, true, true, false, true, true, -1},
};

TEST_F(ManagerWindowTest, ExecuteCommandTable) {
    for (const CommandCase& c : commandCases) {
        SCOPED_TRACE(testing::Message() << "command " << c.id << " from black " << c.deepBlack
                                        << " hidden " << c.hidden << " uploaded " << c.uploaded);
        DeleteSettingsKey();
        AppState.deepBlack = c.deepBlack;
        AppState.hidden = c.hidden;
        AppState.contentUploaded = c.uploaded;
        ClearCalls();

        ExecuteCommand(c.id);

        EXPECT_EQ(AppState.deepBlack, c.deepBlackAfter);
        EXPECT_EQ(AppState.hidden, c.hiddenAfter);
        EXPECT_EQ(AppState.contentUploaded, c.uploadedAfter);
        EXPECT_EQ(StoredBlackValue(), c.stored);
        Lines expected;
        if (c.stored >= 0) expected.push_back(c.stored ? WriteDeepBlack : WriteRainbow);
        expected.push_back(ForcedRefresh);
        EXPECT_EQ(calls, expected);
        // The refresh sees the new state.
        ASSERT_EQ(refreshes.size(), 1u);
        EXPECT_EQ(refreshes[0].deepBlack, c.deepBlackAfter);
        EXPECT_EQ(refreshes[0].hidden, c.hiddenAfter);
    }
}

TEST_F(ManagerWindowTest, ShowMenuCommandOpensTheMenuWithoutARefresh) {
    WatchNextMenu();
    ExecuteCommand(CmdShowMenu);
    EXPECT_EQ(LastMenuSeen().opened, 1);
    Pump();
    EXPECT_TRUE(refreshes.empty());
    EXPECT_EQ(StoredBlackValue(), -1);
}

// Destruction by any way runs the same teardown, in this order; the poll timer is left to die
// with the window, and the hook handle stays in AppState.
TEST_F(ManagerWindowTest, DestroyTearsDownInOrder) {
    const std::wstring title = L"SetWindowText reticle Quorvel | Hidden";
    const Lines teardownWithHook = {L"UnhookWinEvent foregroundHook", L"UnregisterHotKey manager 103",
                                    L"UnregisterHotKey manager 104", title, L"Shell_NotifyIcon 2",
                                    L"PostQuitMessage 0"};
    const Lines teardownWithoutHook(teardownWithHook.begin() + 1, teardownWithHook.end());
    enum Way { Exit, Close, Destroy };
    const struct {
        Way way;
        bool hook;
        bool hotkeysRegistered;
    } cases[] = {{Exit, true, true}, {Close, true, false}, {Destroy, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "way " << c.way << " hook " << c.hook);
        TearDown();
        SetUp();
        AppState.hidden = true;
        AppState.colorHotkeyRegistered = AppState.hideHotkeyRegistered = c.hotkeysRegistered;
        if (c.hook)
            AppState.foregroundHook =
                SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr,
                                OnForegroundEvent, 0, 0, WINEVENT_OUTOFCONTEXT);
        ASSERT_EQ(AppState.foregroundHook != nullptr, c.hook);
        const HWINEVENTHOOK hook = AppState.foregroundHook;
        SetTimer(AppState.managerWindow, TIMER_POLL, TIMER_POLL_MS, nullptr);
        ClearCalls();

        Lines expected = c.hook ? teardownWithHook : teardownWithoutHook;
        if (c.way == Exit) {
            ExecuteCommand(CmdExit);
            expected.insert(expected.begin(), L"DestroyWindow manager");
        } else if (c.way == Close) {
            SendMessageW(AppState.managerWindow, WM_CLOSE, 0, 0);  // DefWindowProcW destroys it
        } else {
            DestroyWindow(AppState.managerWindow);
            expected.insert(expected.begin(), L"DestroyWindow manager");
        }
        EXPECT_FALSE(IsWindow(AppState.managerWindow));
        EXPECT_EQ(calls, expected);
        EXPECT_EQ(AppState.foregroundHook, hook);
        EXPECT_TRUE(refreshes.empty());
        if (hook != nullptr) UnhookWinEvent(hook);
    }
}

TEST_F(ManagerWindowTest, TrayRecordHoldsExactlyTheStatedMembers) {
    AppState.trayIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));  // IDI_APPLICATION
    AppState.gameActive = true;
    AppState.deepBlack = true;
    for (DWORD message : {NIM_ADD, NIM_MODIFY, NIM_DELETE}) {
        SCOPED_TRACE(testing::Message() << "message " << message);
        ClearCalls();
        UpdateTrayIcon(message);

        NOTIFYICONDATAW expected;
        std::memset(&expected, 0, sizeof expected);
        expected.cbSize = 976;
        expected.hWnd = AppState.managerWindow;
        expected.uID = 1;
        expected.uFlags = 7;
        expected.uCallbackMessage = 0x8001;
        expected.hIcon = AppState.trayIcon;
        std::wcscpy(expected.szTip, L"Quorvel | Deep Black");
        ASSERT_EQ(trayRecords.size(), 1u);
        EXPECT_EQ(std::memcmp(&trayRecords[0], &expected, sizeof expected), 0)
            << "a member other than cbSize, hWnd, uID, uFlags, uCallbackMessage, hIcon and szTip "
               "is set, or one of them differs";
        EXPECT_EQ(calls, (Lines{L"SetWindowText reticle Quorvel | Deep Black",
                                L"Shell_NotifyIcon " + std::to_wstring(message)}));
        EXPECT_EQ(WindowTitle(AppState.reticleWindow), L"Quorvel | Deep Black");
    }
}

TEST_F(ManagerWindowTest, ReticleWindowKeepsOutOfInputAndActivation) {
    HWND reticle = AppState.reticleWindow;
    const struct {
        UINT message;
        LPARAM lParam;
        LRESULT result;
    } cases[] = {
        {WM_ERASEBKGND, 0, 1},
        {WM_MOUSEACTIVATE, MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN), MA_NOACTIVATE},
        {WM_NCHITTEST, MAKELPARAM(0, 0), HTTRANSPARENT},
        {WM_NCHITTEST, MAKELPARAM(-5000, 5000), HTTRANSPARENT},
        {WM_NCHITTEST, MAKELPARAM(960, 540), HTTRANSPARENT},
        {WM_GETTEXTLENGTH, 0, 7},  // anything else is DefWindowProcW's: "Quorvel"
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "message 0x" << std::hex << c.message);
        EXPECT_EQ(ReticleWndProc(reticle, c.message, 0, c.lParam), c.result);
        EXPECT_EQ(SendMessageW(reticle, c.message, 0, c.lParam), c.result);
    }
}

}  // namespace
