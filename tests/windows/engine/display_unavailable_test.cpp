// quorvel.exe itself under Wine, watched from outside with the stand-in game in front. Wine
// has no DirectComposition, so every build fails: the program must say so, keep the overlay
// hidden, try again every 3 s, and go back to waiting when the game goes.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/windows/engine/GameProcess.h"
#include "tests/windows/support/WineTest.h"

namespace {

constexpr wchar_t Unavailable[] = L"Quorvel | Display unavailable";
constexpr wchar_t Waiting[] = L"Quorvel | Waiting for Overwatch";
constexpr int Side = 64;  // on the 1920 x 1080 screen

class DisplayUnavailable : public testing::Test {
protected:
    void SetUp() override {
        SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
        EndAllInstances();
        instance = StartQuorvel();
        ASSERT_TRUE(WaitUntil([] { return ReticleWindow() != nullptr; }));
        reticle = ReticleWindow();
        ASSERT_TRUE(WaitForTitle(reticle, Waiting));
    }
    void TearDown() override {
        EndGame(game);
        ExitInstance(instance);
    }

    // Every build pre-sizes the hidden reticle window over the game's middle, so after the
    // game has moved, the window's rectangle shows when the next build ran.
    bool WaitForBuildOver(HWND gameWindow) {
        const POINT centre = ClientCentreOnScreen(gameWindow);
        return WaitUntil([&] {
            RECT rect = {};
            GetWindowRect(reticle, &rect);
            stayedHidden = stayedHidden && !IsWindowVisible(reticle);
            stayedUnavailable = stayedUnavailable && WindowTitle(reticle) == Unavailable;
            return rect.left == centre.x - Side / 2 && rect.top == centre.y - Side / 2 &&
                   rect.right - rect.left == Side;
        });
    }

    void MoveGameTo(int x, int y) {
        SetWindowPos(game.window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(WaitUntil([&] {
            RECT frame = {};
            GetWindowRect(game.window, &frame);
            return frame.left == x && frame.top == y;
        }));
    }

    Process instance;
    HWND reticle = nullptr;
    Game game;
    bool stayedHidden = true;
    bool stayedUnavailable = true;
};

TEST_F(DisplayUnavailable, GameInFrontIsReportedRetriedAndForgottenWhenItCloses) {
    game = StartGame(L"--client 1280x720 --at 100,100");
    ASSERT_TRUE(WaitForTitle(reticle, Unavailable));
    EXPECT_FALSE(IsWindowVisible(reticle));
    ASSERT_TRUE(WaitForBuildOver(game.window)) << "no build over the game";

    // Each move is seen by the next build only: the retries. Between two of them lie at least
    // the 3 s of the retry delay (the bound here is looser, for a loaded machine).
    MoveGameTo(200, 150);
    ASSERT_TRUE(WaitForBuildOver(game.window)) << "no retry";
    const ULONGLONG firstRetry = GetTickCount64();
    MoveGameTo(300, 200);
    ASSERT_TRUE(WaitForBuildOver(game.window)) << "no second retry";
    const ULONGLONG secondRetry = GetTickCount64();
    EXPECT_GE(secondRetry - firstRetry, 2000u) << "retried sooner than the delay allows";
    std::printf("retry interval seen from outside: %llu ms\n", secondRetry - firstRetry);
    EXPECT_TRUE(stayedHidden);
    EXPECT_TRUE(stayedUnavailable);

    EndGame(game);
    EXPECT_TRUE(WaitForTitle(reticle, Waiting));
    EXPECT_FALSE(IsWindowVisible(reticle));
}

TEST_F(DisplayUnavailable, AnotherProgramInFrontMeansWaitingAgain) {
    game = StartGame(L"--fullscreen");
    ASSERT_TRUE(WaitForTitle(reticle, Unavailable));

    ASSERT_TRUE(BringToFront(OtherWindow()));
    EXPECT_TRUE(WaitForTitle(reticle, Waiting));
    EXPECT_FALSE(IsWindowVisible(reticle));

    ASSERT_TRUE(BringToFront(game.window));
    EXPECT_TRUE(WaitForTitle(reticle, Unavailable));
    EXPECT_FALSE(IsWindowVisible(reticle));
}

}  // namespace
