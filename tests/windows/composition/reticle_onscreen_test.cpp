// The real quorvel.exe with the stand-in game and the composition stand-in: the reticle on the
// screen at the game's centre, the frames it commits, and its status through the window title
// as the user changes mode, hides it, moves the game and as graphics steps fail.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/windows/composition/OnScreen.h"
#include "tests/windows/support/WineTest.h"

namespace {

constexpr const wchar_t* ControlNames[] = {L"QUORVEL_COMPOSITION_FAIL", L"QUORVEL_COMPOSITION_HDR"};

// The overlay's side on the screens the tests run on, and the Rainbow words (red, green, blue,
// alpha) of its centre pixel (centre, centre) at SDR brightness, worked out by hand from the
// committed image for 1920- and 2560-pixel-wide monitors.
struct ScreenCase {
    int width, height, side;
    int centre;
    std::uint16_t words[4];
};
constexpr ScreenCase Screens[] = {
    {1920, 1080, 64, 32, {0x2F51, 0x3BFE, 0x2969, 0x3BFE}},
    {2560, 1440, 86, 43, {0x2F53, 0x3C00, 0x296A, 0x3C00}},
};

class ReticleOnScreen : public ::testing::Test {
protected:
    void SetUp() override {
        EndAllInstances();
        for (const wchar_t* name : ControlNames) SetCompositionControl(name, nullptr);
        recording = StartRecording(L"quorvel-onscreen");
        screenWidth = GetSystemMetrics(SM_CXSCREEN);
        screenHeight = GetSystemMetrics(SM_CYSCREEN);
        side = OverlaySide(screenWidth, screenHeight);
        ASSERT_TRUE(StartWindowedGame(game));
    }

    void TearDown() override {
        EndInstanceAndGame(instance, game);
        for (const wchar_t* name : ControlNames) SetCompositionControl(name, nullptr);
    }

    void Start(const std::wstring& arguments = L"") {
        instance = StartQuorvelWithStandIn(arguments);
        ASSERT_NE(instance.handle, nullptr);
        ASSERT_TRUE(WaitUntil([] { return ReticleWindow() != nullptr; }));
    }

    void Restart() {
        RunQuorvel(L"--exit");
        EXPECT_EQ(WaitForExitCode(instance), 0);
        recording = StartRecording(L"quorvel-onscreen");
        Start();
    }

    bool WaitForStatus(const std::wstring& status) {
        return WaitForTitle(ReticleWindow(), L"Quorvel | " + status);
    }

    // A frame committed after frame number `after`.
    Frame WaitForFrame(unsigned after) {
        Frame frame;
        WaitUntil([&] {
            frame = LatestFrame(recording);
            return frame.number > after && !frame.words.empty();
        });
        return frame;
    }

    bool OverlayPlacedAt(POINT centre) {
        HWND reticle = ReticleWindow();
        RECT rect = {};
        return IsWindowVisible(reticle) && GetWindowRect(reticle, &rect) &&
               rect.left == centre.x - side / 2 && rect.top == centre.y - side / 2 &&
               rect.right - rect.left == side && rect.bottom - rect.top == side;
    }

    // The screen at the game's centre shows the frame's centre pixel (the dot) and, left and
    // right of it on the same row, the frame's most opaque pixel of each wing.
    void ExpectReticleOnScreen(POINT centre, const std::vector<std::uint16_t>& frame) {
        ASSERT_EQ(frame.size(), static_cast<std::size_t>(side) * side * 4);
        const int row = side / 2;
        auto alphaAt = [&](int column) { return frame[(row * side + column) * 4 + 3]; };
        int left = 0, right = side - 1;
        for (int column = 0; column < side / 2 - side / 8; ++column)
            if (alphaAt(column) > alphaAt(left)) left = column;
        for (int column = side - 1; column > side / 2 + side / 8; --column)
            if (alphaAt(column) > alphaAt(right)) right = column;
        ASSERT_GT(alphaAt(left), 0x3800) << "no wing on the left of the centre row";
        ASSERT_GT(alphaAt(right), 0x3800) << "no wing on the right of the centre row";

        struct Spot {
            const char* what;
            int column;
        } spots[] = {{"dot", side / 2}, {"left wing", left}, {"right wing", right}};
        for (const Spot& spot : spots) {
            const Rgb expected = DisplayedColour(&frame[(row * side + spot.column) * 4]);
            const int x = centre.x - side / 2 + spot.column, y = centre.y - side / 2 + row;
            Rgb seen = {};
            const bool shown = WaitUntil([&] { return Close(seen = ScreenPixel(x, y), expected); },
                                         5000);
            EXPECT_TRUE(shown) << spot.what << " at (" << x << ", " << y << "): expected "
                               << Describe(expected) << ", the screen shows " << Describe(seen);
        }
    }

    void ExpectNoReticleOnScreen(POINT centre) {
        for (const int dx : {-side / 2 + side / 8, 0, side / 2 - side / 8}) {
            Rgb seen = {};
            const bool gone = WaitUntil(
                [&] { return Close(seen = ScreenPixel(centre.x + dx, centre.y), GameBackground); },
                5000);
            EXPECT_TRUE(gone) << "at " << dx << " from the centre the screen shows "
                              << Describe(seen);
        }
    }

    Recording recording;
    Process game;
    Process instance;
    int screenWidth = 0, screenHeight = 0, side = 0;
};

TEST_F(ReticleOnScreen, RainbowCentredOnTheGameWithTheRasterizedFrame) {
    const ScreenCase* known = nullptr;
    for (const ScreenCase& screen : Screens) {
        if (screen.width != screenWidth || screen.height != screenHeight) continue;
        known = &screen;
        EXPECT_EQ(side, screen.side);
    }
    ASSERT_NE(known, nullptr) << "screen " << screenWidth << "x" << screenHeight
                              << " has no side listed";
    const std::wstring wanted = TestEnvironment(L"QUORVEL_SCREEN");  // set by the 1440 run
    if (!wanted.empty()) {
        EXPECT_EQ(std::to_wstring(screenWidth) + L"x" + std::to_wstring(screenHeight), wanted);
    }

    Start();
    ASSERT_TRUE(WaitForStatus(L"Rainbow"));
    const POINT centre = ClientCentreOnScreen(StandInGameWindow());
    EXPECT_TRUE(WaitUntil([&] { return OverlayPlacedAt(centre); }));
    const Frame frame = WaitForFrame(0);
    const std::vector<std::uint16_t> expected =
        ExpectedFrame(screenWidth, screenHeight, 1.0f, false);
    EXPECT_TRUE(frame.words == expected) << "the committed frame differs from the rasterizer's";
    ASSERT_EQ(frame.words.size(), static_cast<std::size_t>(known->side) * known->side * 4);
    const auto middle = frame.words.begin() + (known->centre * known->side + known->centre) * 4;
    EXPECT_EQ(std::vector<std::uint16_t>(middle, middle + 4),
              std::vector<std::uint16_t>(known->words, known->words + 4));
    ExpectReticleOnScreen(centre, expected);
}

TEST_F(ReticleOnScreen, HdrOutputGivesHdrRainbowSixTimesBrighter) {
    SetCompositionControl(L"QUORVEL_COMPOSITION_HDR", L"1000");
    Start();
    ASSERT_TRUE(WaitForStatus(L"HDR Rainbow"));
    const Frame frame = WaitForFrame(0);
    const std::vector<std::uint16_t> expected =
        ExpectedFrame(screenWidth, screenHeight, 6.0f, false);
    EXPECT_TRUE(frame.words == expected) << "the committed frame is not the 6x rasterized one";
    ExpectReticleOnScreen(ClientCentreOnScreen(StandInGameWindow()), expected);
}

// The stored mode at start-up: a "Black" DWORD of 1, or of any other non-zero value, makes a
// first instance start in Deep Black with the game in front; the next colour command stores 1 or
// 0 in its place.
TEST_F(ReticleOnScreen, StoredDeepBlackStartsTheFirstInstanceInDeepBlack) {
    const struct {
        DWORD stored;
        const wchar_t* verb;  // null: the hotkey Ctrl+Alt+W
        long long storedAfter;
        const wchar_t* statusAfter;
        bool deepBlackAfter;
    } cases[] = {
        {1, nullptr, 0, L"Rainbow", false},
        {2, L"--black", 1, L"Deep Black", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "stored " << c.stored);
        if (instance.handle != nullptr) {
            EXPECT_EQ(RunQuorvel(L"--exit"), 0);
            EXPECT_EQ(WaitForExitCode(instance), 0);
            recording = StartRecording(L"quorvel-onscreen");
        }
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Quorvel Overlay", L"Black",
                                  REG_DWORD, &c.stored, sizeof c.stored),
                  ERROR_SUCCESS);
        Start();
        EXPECT_TRUE(WaitForStatus(L"Deep Black"));
        ASSERT_EQ(GetForegroundWindow(), StandInGameWindow()) << "the game is not in front";
        const Frame first = WaitForFrame(0);
        EXPECT_TRUE(first.words == ExpectedFrame(screenWidth, screenHeight, 1.0f, true))
            << "the first frame is not the Deep Black one";
        EXPECT_EQ(StoredBlackValue(), c.stored) << "a start without a verb wrote the setting";

        if (c.verb != nullptr)
            EXPECT_EQ(RunQuorvel(c.verb), 0);
        else
            PressCtrlAlt('W');
        EXPECT_TRUE(WaitUntil([&] { return StoredBlackValue() == c.storedAfter; }))
            << "stored " << StoredBlackValue();
        EXPECT_TRUE(WaitForStatus(c.statusAfter));
        const Frame next = WaitForFrame(first.number);
        EXPECT_TRUE(next.words == ExpectedFrame(screenWidth, screenHeight, 1.0f, c.deepBlackAfter));
    }
}

TEST_F(ReticleOnScreen, ColourCommandsUploadAgainWithoutRebuilding) {
    Start();
    ASSERT_TRUE(WaitForStatus(L"Rainbow"));
    unsigned last = WaitForFrame(0).number;
    const POINT centre = ClientCentreOnScreen(StandInGameWindow());
    const std::vector<std::uint16_t> rainbow = ExpectedFrame(screenWidth, screenHeight, 1.0f, false);
    const std::vector<std::uint16_t> black = ExpectedFrame(screenWidth, screenHeight, 1.0f, true);

    struct Case {
        const char* how;
        const wchar_t* verb;  // null: the hotkey Ctrl+Alt+W
        const wchar_t* status;
        const std::vector<std::uint16_t>* frame;
    } cases[] = {
        {"Ctrl+Alt+W", nullptr, L"Deep Black", &black},
        {"--rainbow", L"--rainbow", L"Rainbow", &rainbow},
        {"--black", L"--black", L"Deep Black", &black},
        {"Ctrl+Alt+W again", nullptr, L"Rainbow", &rainbow},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        if (c.verb != nullptr)
            EXPECT_EQ(RunQuorvel(c.verb), 0);
        else
            PressCtrlAlt('W');
        EXPECT_TRUE(WaitForStatus(c.status));
        const Frame frame = WaitForFrame(last);
        last = frame.number;
        EXPECT_TRUE(frame.words == *c.frame) << "the new frame is not the rasterized one";
        EXPECT_EQ(frame.swapChain, 1u) << "the colour change rebuilt the pipeline";
        ExpectReticleOnScreen(centre, *c.frame);
    }
    EXPECT_EQ(CountEvents(recording, "swapchain "), 1);
}

TEST_F(ReticleOnScreen, HiddenTakesTheOverlayOffTheScreen) {
    Start();
    ASSERT_TRUE(WaitForStatus(L"Rainbow"));
    const POINT centre = ClientCentreOnScreen(StandInGameWindow());
    const std::vector<std::uint16_t> rainbow = ExpectedFrame(screenWidth, screenHeight, 1.0f, false);
    ExpectReticleOnScreen(centre, rainbow);

    PressCtrlAlt('H');
    ASSERT_TRUE(WaitForStatus(L"Hidden"));
    EXPECT_FALSE(IsWindowVisible(ReticleWindow()));
    ExpectNoReticleOnScreen(centre);

    PressCtrlAlt('H');
    ASSERT_TRUE(WaitForStatus(L"Rainbow"));
    ExpectReticleOnScreen(centre, rainbow);
}

TEST_F(ReticleOnScreen, OverlayFollowsTheGameAndVanishesWhenItIsMinimised) {
    Start();
    ASSERT_TRUE(WaitForStatus(L"Rainbow"));
    HWND gameWindow = StandInGameWindow();
    const std::vector<std::uint16_t> rainbow = ExpectedFrame(screenWidth, screenHeight, 1.0f, false);

    SetWindowPos(gameWindow, nullptr, 420, 260, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    const POINT moved = ClientCentreOnScreen(gameWindow);
    EXPECT_TRUE(WaitUntil([&] { return OverlayPlacedAt(moved); })) << "the overlay did not follow";
    ExpectReticleOnScreen(moved, rainbow);
    EXPECT_EQ(CountEvents(recording, "swapchain "), 1) << "a move on the same monitor rebuilt";

    ShowWindow(gameWindow, SW_MINIMIZE);
    EXPECT_TRUE(WaitUntil([] { return !IsWindowVisible(ReticleWindow()); }));
    EXPECT_TRUE(WaitForStatus(L"Waiting for Overwatch"));

    ShowWindow(gameWindow, SW_RESTORE);
    SetForegroundWindow(gameWindow);
    const POINT restored = ClientCentreOnScreen(gameWindow);
    EXPECT_TRUE(WaitUntil([&] { return OverlayPlacedAt(restored); }));
    ExpectReticleOnScreen(restored, rainbow);
}

TEST_F(ReticleOnScreen, OneFailedStepShowsDisplayUnavailableUntilTheRetrySucceeds) {
    const wchar_t* steps[] = {L"swapchain", L"device", L"target", L"visual", L"commit", L"present"};
    const std::vector<std::uint16_t> rainbow = ExpectedFrame(screenWidth, screenHeight, 1.0f, false);
    Start();
    ASSERT_TRUE(WaitForStatus(L"Rainbow"));
    for (const wchar_t* step : steps) {
        SCOPED_TRACE(std::string(step, step + wcslen(step)));
        SetCompositionControl(L"QUORVEL_COMPOSITION_FAIL",
                              (std::wstring(step) + L":0x887A0007:once").c_str());
        Restart();
        const POINT centre = ClientCentreOnScreen(StandInGameWindow());
        EXPECT_TRUE(WaitForStatus(L"Display unavailable"));
        EXPECT_FALSE(IsWindowVisible(ReticleWindow()));
        ExpectNoReticleOnScreen(centre);
        EXPECT_TRUE(WaitForStatus(L"Rainbow")) << "the retry did not succeed";
        EXPECT_TRUE(WaitUntil([&] { return OverlayPlacedAt(centre); }));
        const Frame frame = WaitForFrame(0);
        EXPECT_TRUE(frame.words == rainbow);
        ExpectReticleOnScreen(centre, rainbow);
    }
}

TEST_F(ReticleOnScreen, AStepThatKeepsFailingKeepsTheOverlayAwayAndIsRetried) {
    SetCompositionControl(L"QUORVEL_COMPOSITION_FAIL", L"target:0x80004005");
    Start();
    ASSERT_TRUE(WaitForStatus(L"Display unavailable"));
    EXPECT_TRUE(WaitUntil([&] { return CountEvents(recording, "swapchain ") >= 2; }))
        << "no rebuild after the failure";
    EXPECT_EQ(WindowTitle(ReticleWindow()), L"Quorvel | Display unavailable");
    EXPECT_FALSE(IsWindowVisible(ReticleWindow()));
    ExpectNoReticleOnScreen(ClientCentreOnScreen(StandInGameWindow()));
}

}  // namespace
