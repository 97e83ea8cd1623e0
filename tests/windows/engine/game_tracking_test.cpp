// Game tracking and placement with the stand-in game (a separate Overwatch.exe process) in the
// shapes a game takes, driven through RefreshOverlay in this process with the graphics doubles.
#include <gtest/gtest.h>

#include "app/AppState.h"
#include "app/Ids.h"
#include "app/ManagerWindow.h"
#include "overlay/ForegroundGame.h"
#include "overlay/Overlay.h"
#include "tests/windows/doubles/GraphicsDoubles.h"
#include "tests/windows/engine/EngineHarness.h"
#include "tests/windows/engine/EngineStandIns.h"

namespace {

class GameTracking : public testing::Test {
protected:
    static void SetUpTestSuite() {
        SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    }
    void SetUp() override { ResetEngine(); }
    void TearDown() override {
        // Hidden before the game goes: Wine is slow to hide the window ever after (2 s a time)
        // once a game process has ended under it.
        ShowWindow(AppState.reticleWindow, SW_HIDE);
        EndGame(game);
        ReleaseGraphics();
        EXPECT_EQ(UnbalancedObjects(), std::vector<std::string>{});
    }

    // The reticle window stands visible, side x side, centred on the game's client area.
    void ExpectCentredOnGame(int side) {
        const POINT centre = ClientCentreOnScreen(game.window);
        const RECT rect = ReticleRect();
        EXPECT_TRUE(ReticleVisible());
        EXPECT_EQ(rect.left, centre.x - side / 2);
        EXPECT_EQ(rect.top, centre.y - side / 2);
        EXPECT_EQ(rect.right - rect.left, side);
        EXPECT_EQ(rect.bottom - rect.top, side);
    }

    Game game;
};

TEST_F(GameTracking, WindowedGameInFrontGetsTheReticleInTheMiddle) {
    game = StartGame(L"--client 1280x720 --at 100,100");
    RefreshOverlay(false, false);
    EXPECT_TRUE(AppState.gameActive);
    EXPECT_EQ(AppState.overlaySize, 64);  // from the 1920 x 1080 monitor, not the window
    ExpectCentredOnGame(64);
    const POINT centre = ClientCentreOnScreen(game.window);
    RECT client = {};
    GetClientRect(game.window, &client);
    EXPECT_EQ(client.right, 1280);
    EXPECT_EQ(client.bottom, 720);
    POINT origin = {0, 0};
    ClientToScreen(game.window, &origin);
    EXPECT_EQ(centre.x, origin.x + 640);
    EXPECT_EQ(centre.y, origin.y + 360);
}

// The centre of an odd-sized client area is rounded down: 1279 x 719 gives (639, 359) in client
// coordinates, so the 64-pixel overlay starts 607 and 327 pixels into the client area.
TEST_F(GameTracking, OddClientSizeRoundsTheCentreDown) {
    for (const wchar_t* arguments :
         {L"--client 1279x719 --at 100,100", L"--popup --client 1279x719 --at 100,100"}) {
        SCOPED_TRACE(testing::Message() << std::string(arguments, arguments + wcslen(arguments)));
        ResetEngine();
        game = StartGame(arguments);
        RECT client = {};
        GetClientRect(game.window, &client);
        ASSERT_EQ(client.right, 1279);
        ASSERT_EQ(client.bottom, 719);
        POINT origin = {0, 0};
        ClientToScreen(game.window, &origin);

        RefreshOverlay(false, false);

        ASSERT_TRUE(AppState.gameActive);
        const RECT rect = ReticleRect();
        EXPECT_TRUE(ReticleVisible());
        EXPECT_EQ(rect.left, origin.x + 607);
        EXPECT_EQ(rect.top, origin.y + 327);
        EXPECT_EQ(rect.right, origin.x + 671);
        EXPECT_EQ(rect.bottom, origin.y + 391);
        ShowWindow(AppState.reticleWindow, SW_HIDE);
        EndGame(game);
    }
}

// ctest runs this one on a 1920 x 1080 screen and again on a 2560 x 1440 one.
TEST_F(GameTracking, BorderlessFullScreenGame) {
    const struct {
        int screenWidth, screenHeight;
        RECT reticle;
    } screens[] = {
        {1920, 1080, {928, 508, 992, 572}},     // side 64 around (960, 540)
        {2560, 1440, {1237, 677, 1323, 763}},  // side 86 around (1280, 720)
    };
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    // The run on the larger screen names its size, so a session of another size fails it.
    const std::wstring wanted = TestEnvironment(L"QUORVEL_SCREEN");
    if (!wanted.empty()) {
        ASSERT_EQ(wanted, std::to_wstring(width) + L"x" + std::to_wstring(height));
    }
    for (const auto& screen : screens) {
        if (screen.screenWidth != width || screen.screenHeight != height) continue;
        game = StartGame(L"--fullscreen");
        RefreshOverlay(false, false);
        EXPECT_TRUE(AppState.gameActive);
        const RECT rect = ReticleRect();
        EXPECT_EQ(rect.left, screen.reticle.left);
        EXPECT_EQ(rect.top, screen.reticle.top);
        EXPECT_EQ(rect.right, screen.reticle.right);
        EXPECT_EQ(rect.bottom, screen.reticle.bottom);
        EXPECT_TRUE(ReticleVisible());
        return;
    }
    GTEST_SKIP() << "no expectation for a " << width << " x " << height << " screen";
}

// Each row has the game window really in front. Wine gives a minimised window an empty client
// area, which fails the test on its own, so one more row is a framed game in front about which
// IsIconic answers as for a minimised window (a stand-in, see EngineStandIns.h).
TEST_F(GameTracking, UnusableGameWindowsAreNotTheGameInFront) {
    const struct {
        const char* what;
        const wchar_t* arguments;
        bool pretendIconic;
        bool counts;  // the game in front
    } cases[] = {
        {"usable, for comparison", L"--client 1280x720 --at 100,100", false, true},
        {"minimised", L"--minimized", false, false},
        {"minimised, as IsIconic says", L"--client 1280x720 --at 100,100", true, false},
        {"invisible", L"--invisible", false, false},
        {"empty client area", L"--popup --client 0x0 --at 500,500", false, false},
        {"no client width", L"--popup --client 0x300 --at 500,500", false, false},
        {"no client height", L"--popup --client 300x0 --at 500,500", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ResetEngine();
        game = StartGame(c.arguments);
        ASSERT_EQ(GetForegroundWindow(), game.window);
        if (c.pretendIconic) PretendAbout(game.window, true, true);
        RefreshOverlay(true, false);
        StopPretending();
        ASSERT_EQ(GetForegroundWindow(), game.window) << "the game left the front meanwhile";
        EXPECT_EQ(AppState.gameActive, c.counts);
        EXPECT_EQ(ReticleVisible(), c.counts);
        EXPECT_EQ(CallCount("CreateDXGIFactory1"), c.counts ? 1 : 0);
        EXPECT_EQ(ReticleTitle(),
                  c.counts ? L"Quorvel | Rainbow" : L"Quorvel | Waiting for Overwatch");
        ShowWindow(AppState.reticleWindow, SW_HIDE);
        ReleaseGraphics();
        EndGame(game);
    }
}

TEST_F(GameTracking, ClientSmallerThanTheOverlayKeepsItHiddenWhileTheGameCounts) {
    game = StartGame(L"--popup --client 60x400 --at 500,300");
    RefreshOverlay(true, false);
    EXPECT_TRUE(AppState.gameActive);
    EXPECT_EQ(AppState.graphicsStatus, S_OK);
    EXPECT_EQ(AppState.overlaySize, 64);
    EXPECT_FALSE(ReticleVisible());
    EXPECT_EQ(ReticleTitle(), L"Quorvel | Rainbow");
}

TEST_F(GameTracking, AnotherProgramInFrontHidesTheReticleAndKeepsThePipeline) {
    game = StartGame(L"--client 1280x720 --at 100,100");
    RefreshOverlay(false, false);
    ASSERT_TRUE(ReticleVisible());

    ASSERT_TRUE(BringToFront(OtherWindow()));
    ReticleLog = ReticleLogRecord{};
    RefreshOverlay(false, false);
    ASSERT_EQ(GetForegroundWindow(), OtherWindow()) << "the other window left the front meanwhile";
    EXPECT_FALSE(AppState.gameActive);
    EXPECT_FALSE(ReticleVisible());
    EXPECT_EQ(ReticleTitle(), L"Quorvel | Waiting for Overwatch");
    EXPECT_EQ(ReticleLog.titleChanges, 1) << "leaving the front refreshes the tray once";
    EXPECT_NE(AppState.compVisual, nullptr);

    // The next poll, with the other window still in front, refreshes nothing.
    ASSERT_TRUE(BringToFront(OtherWindow()));
    RefreshOverlay(false, false);
    ASSERT_EQ(GetForegroundWindow(), OtherWindow()) << "the other window left the front meanwhile";
    EXPECT_EQ(ReticleLog.titleChanges, 1) << "the next poll refreshed the tray";

    // Back in front: placed again, no rebuild, no upload, one tray refresh.
    ASSERT_TRUE(BringToFront(game.window));
    ReticleLog = ReticleLogRecord{};
    RefreshOverlay(false, false);
    ASSERT_EQ(GetForegroundWindow(), game.window) << "the game left the front meanwhile";
    EXPECT_TRUE(AppState.gameActive);
    ExpectCentredOnGame(64);
    EXPECT_EQ(CallCount("CreateDXGIFactory1"), 1);
    EXPECT_EQ(CallCount("GetBuffer"), 1);
    EXPECT_EQ(ReticleLog.titleChanges, 1) << "coming back refreshes the tray once";
    EXPECT_EQ(ReticleTitle(), L"Quorvel | Rainbow");
}

// Unforced polls only: the game leaving and coming back refreshes the tray once each way, also
// while the wings are hidden (the status then stays "Hidden", but the refresh still comes).
TEST_F(GameTracking, GameLeavingAndReturningRefreshesTheTrayOnceEachWay) {
    game = StartGame(L"--client 1280x720 --at 100,100");
    const struct {
        bool hidden;
        const wchar_t* inFront;
        const wchar_t* away;
    } cases[] = {
        {false, L"Quorvel | Rainbow", L"Quorvel | Waiting for Overwatch"},
        {true, L"Quorvel | Hidden", L"Quorvel | Hidden"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "hidden " << c.hidden);
        ResetEngine();
        AppState.hidden = c.hidden;
        ASSERT_TRUE(BringToFront(game.window));
        RefreshOverlay(true, false);
        ASSERT_TRUE(AppState.gameActive);
        ASSERT_EQ(ReticleTitle(), c.inFront);

        ASSERT_TRUE(BringToFront(OtherWindow()));
        ReticleLog = ReticleLogRecord{};
        RefreshOverlay(false, false);
        ASSERT_EQ(GetForegroundWindow(), OtherWindow()) << "the other window left the front";
        EXPECT_FALSE(AppState.gameActive);
        EXPECT_EQ(ReticleLog.titleChanges, 1);
        EXPECT_EQ(ReticleTitle(), c.away);

        ASSERT_TRUE(BringToFront(game.window));
        ReticleLog = ReticleLogRecord{};
        RefreshOverlay(false, false);
        ASSERT_EQ(GetForegroundWindow(), game.window) << "the game left the front";
        EXPECT_TRUE(AppState.gameActive);
        EXPECT_EQ(ReticleLog.titleChanges, 1) << "coming back refreshes the tray once";
        EXPECT_EQ(ReticleTitle(), c.inFront);
        EXPECT_EQ(ReticleVisible(), !c.hidden);

        RefreshOverlay(false, false);
        EXPECT_EQ(ReticleLog.titleChanges, 1) << "a steady poll refreshed the tray";
        ShowWindow(AppState.reticleWindow, SW_HIDE);
    }
}

TEST_F(GameTracking, MovingTheGameMovesTheReticleWithoutARebuild) {
    game = StartGame(L"--client 1280x720 --at 100,100");
    RefreshOverlay(false, false);
    const RECT before = ReticleRect();

    SetWindowPos(game.window, nullptr, 250, 180, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil([&] {
        RECT frame = {};
        GetWindowRect(game.window, &frame);
        return frame.left == 250 && frame.top == 180;
    }));
    RefreshOverlay(false, false);

    ExpectCentredOnGame(64);
    EXPECT_NE(ReticleRect().left, before.left);
    EXPECT_EQ(CallCount("CreateDXGIFactory1"), 1);
    EXPECT_EQ(CallCount("GetBuffer"), 1);
}

TEST_F(GameTracking, HidingTheWingsKeepsThePipelineAndShowingThemPlacesAgain) {
    game = StartGame(L"--client 1280x720 --at 100,100");
    RefreshOverlay(false, false);
    ASSERT_TRUE(ReticleVisible());
    const std::size_t calls = Doubles.calls.size();

    ExecuteCommand(CmdHideWings);
    EXPECT_FALSE(ReticleVisible());
    EXPECT_EQ(ReticleTitle(), L"Quorvel | Hidden");
    EXPECT_NE(AppState.compVisual, nullptr);

    ReticleLog = ReticleLogRecord{};
    ExecuteCommand(CmdShowWings);
    ExpectCentredOnGame(64);
    EXPECT_EQ(ReticleTitle(), L"Quorvel | Rainbow");
    EXPECT_EQ(Doubles.calls.size(), calls) << "a build, an upload or a release ran";
    ASSERT_FALSE(ReticleLog.positions.empty());
    EXPECT_EQ(ReticleLog.positions.back().hwndInsertAfter, HWND_TOPMOST);
}

TEST_F(GameTracking, ResetMonitorWhileAwayRebuildsWhenTheGameReturns) {
    game = StartGame(L"--client 1280x720 --at 100,100");
    RefreshOverlay(false, false);
    ASSERT_TRUE(BringToFront(OtherWindow()));

    RefreshOverlay(true, true);
    EXPECT_EQ(AppState.currentMonitor, nullptr);
    EXPECT_EQ(CallCount("CreateDXGIFactory1"), 1);

    ASSERT_TRUE(BringToFront(game.window));
    RefreshOverlay(false, false);
    EXPECT_EQ(CallCount("CreateDXGIFactory1"), 2);
    EXPECT_EQ(AppState.currentMonitor, PrimaryMonitor());
    ExpectCentredOnGame(64);
}

// The name test with the platform's own case-insensitive comparison.
TEST(GameImage, FileNameIsOverwatchExeInAnyCaseAndFolder) {
    const struct {
        const wchar_t* path;
        bool game;
    } cases[] = {
        {L"C:\\Program Files (x86)\\Overwatch\\_retail_\\Overwatch.exe", true},
        {L"D:\\Games\\OVERWATCH.EXE", true},
        {L"\\\\?\\E:\\x\\overwatch.exe", true},
        {L"oVeRwAtCh.ExE", true},
        {L"C:\\Games\\Overwatch.exe.bak", false},
        {L"C:\\Games\\Overwatch", false},
        {L"C:\\Overwatch.exe\\Launcher.exe", false},
        {L"C:/Games/Overwatch.exe", false},  // only a backslash separates
        {L"C:\\Games\\", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsGameImagePath(c.path), c.game)
            << std::string(c.path, c.path + wcslen(c.path));
    }
}

}  // namespace
