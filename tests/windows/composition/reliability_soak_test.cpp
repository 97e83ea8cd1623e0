// Bounded reliability runs of the real quorvel.exe with the composition stand-in: many starts
// at once, a burst of forwarded commands, many foreground flips, many rebuilds. Each takes a
// few minutes at most; they run when QUORVEL_SOAK=1 (make soak) and are skipped otherwise.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/windows/composition/OnScreen.h"
#include "tests/windows/support/WineTest.h"

namespace {

// What other programs and later starts rely on, written out rather than taken from the program.
constexpr wchar_t ManagerClass[] = L"Quorvel.Manager";
constexpr wchar_t ReticleClass[] = L"Quorvel.Reticle";
constexpr int Rainbow = 101, DeepBlack = 102, SwitchColor = 103, ToggleWings = 104,
              ShowWings = 105, HideWings = 106;
constexpr WPARAM DisplaySettleTimer = 1;

// The process's handle count and private bytes when the stand-in made a swap chain, from its
// log line ("swapchain N ... handles H private P"): Wine reports these for the calling process
// only.
struct Usage {
    unsigned long handles = 0;
    unsigned long long privateBytes = 0;
};

Usage UsageAt(const std::string& swapChainEvent) {
    Usage usage;
    const std::size_t at = swapChainEvent.find(" handles ");
    if (at != std::string::npos)
        std::sscanf(swapChainEvent.c_str() + at, " handles %lu private %llu", &usage.handles,
                    &usage.privateBytes);
    return usage;
}

class Reliability : public ::testing::Test {
protected:
    void SetUp() override {
        if (TestEnvironment(L"QUORVEL_SOAK") != L"1") GTEST_SKIP() << "set QUORVEL_SOAK=1 (make soak)";
        EndAllInstances();
        SetCompositionControl(L"QUORVEL_COMPOSITION_FAIL", nullptr);
        SetCompositionControl(L"QUORVEL_COMPOSITION_HDR", nullptr);
        recording = StartRecording(L"quorvel-soak");
        ASSERT_TRUE(StartWindowedGame(game));
    }

    void TearDown() override {
        EndInstanceAndGame(instance, game);
        SetCompositionControl(L"QUORVEL_COMPOSITION_FRAMES", nullptr);
        SetCompositionControl(L"QUORVEL_COMPOSITION_LOG", nullptr);
    }

    void StartInstance() {
        instance = StartQuorvelWithStandIn(L"--rainbow");
        ASSERT_TRUE(WaitUntil([] { return ReticleWindow() != nullptr; }));
        ASSERT_TRUE(WaitForTitle(ReticleWindow(), L"Quorvel | Rainbow"));
    }

    Recording recording;
    Process game;
    Process instance;
};

TEST_F(Reliability, SixteenSimultaneousStartsLeaveOneInstance) {
    constexpr int Starts = 16;
    std::vector<Process> started;
    for (int i = 0; i < Starts; ++i) started.push_back(StartQuorvelWithStandIn(L"--show"));

    // Every start but one forwards its command and ends; the one left owns the windows.
    EXPECT_TRUE(WaitUntil([&] {
        int running = 0;
        for (const Process& p : started) running += HasExited(p) ? 0 : 1;
        return running == 1;
    }, 120000));
    int survivors = 0;
    for (Process& p : started) {
        if (!HasExited(p)) {
            ++survivors;
            instance = p;
            continue;
        }
        DWORD code = 99;
        GetExitCodeProcess(p.handle, &code);
        EXPECT_EQ(code, 0u);
        CloseProcess(p);
    }
    EXPECT_EQ(survivors, 1);
    EXPECT_EQ(TopLevelWindowsOfClass(ManagerClass).size(), 1u);
    EXPECT_EQ(TopLevelWindowsOfClass(ReticleClass).size(), 1u);
    EXPECT_TRUE(WaitForTitle(ReticleWindow(), L"Quorvel | Rainbow"));
}

TEST_F(Reliability, ABurstOfForwardedCommandsEndsInTheStateOfTheLast) {
    StartInstance();
    HWND manager = ManagerWindow();
    // What a later instance posts, 1000 times without waiting; a fixed pseudo-random sequence
    // of the colour and visibility commands, whose final state is tracked alongside.
    bool deepBlack = false, hidden = false;
    // Every colour command shows the wings and uploads anew, and only those upload: so the
    // number of committed frames tells when the whole burst has been handled.
    int uploads = CountEvents(recording, "commit ");
    unsigned seed = 12345;
    constexpr int Commands = 1000;
    for (int i = 0; i < Commands; ++i) {
        seed = seed * 1103515245u + 12345u;
        const int command = Rainbow + static_cast<int>((seed >> 16) % 6);  // 101 to 106
        switch (command) {
            case Rainbow: deepBlack = false; hidden = false; break;
            case DeepBlack: deepBlack = true; hidden = false; break;
            case SwitchColor: deepBlack = !deepBlack; hidden = false; break;
            case ToggleWings: hidden = !hidden; break;
            case ShowWings: hidden = false; break;
            case HideWings: hidden = true; break;
        }
        if (command <= SwitchColor) ++uploads;
        ASSERT_TRUE(PostMessageW(manager, WM_COMMAND, static_cast<WPARAM>(command), 0));
    }
    // A real later instance last: its command is the last of the burst.
    EXPECT_EQ(RunQuorvel(L"--black"), 0);
    deepBlack = true;
    hidden = false;
    ++uploads;
    EXPECT_TRUE(WaitUntil([&] { return CountEvents(recording, "commit ") >= uploads; }, 120000))
        << CountEvents(recording, "commit ") << " of " << uploads << " uploads";

    const std::wstring status = hidden ? L"Hidden" : deepBlack ? L"Deep Black" : L"Rainbow";
    EXPECT_TRUE(WaitForTitle(ReticleWindow(), L"Quorvel | " + status));
    EXPECT_FALSE(HasExited(instance));
    EXPECT_EQ(StoredBlackValue(), deepBlack ? 1 : 0);
    const std::vector<std::uint16_t> expected = ExpectedFrame(
        GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), 1.0f, deepBlack);
    EXPECT_TRUE(WaitUntil([&] { return LatestFrame(recording).words == expected; }))
        << "the last frame is not the one of the final mode";
}

TEST_F(Reliability, AThousandForegroundFlipsEndWithTheRightVisibility) {
    StartInstance();
    HWND gameWindow = StandInGameWindow();
    HWND other = OpenOtherProgramWindow(1500, 700, 300, 200);
    constexpr int Flips = 1000;
    for (int flip = 1; flip <= Flips; ++flip) {
        const bool gameInFront = flip % 2 == 0;
        SetForegroundWindow(gameInFront ? gameWindow : other);
        PumpMessages();
        // Every 100th flip lets the program catch up, so the run checks states in between too.
        if (flip % 100 == 0 || flip % 100 == 1) {
            EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(ReticleWindow()) == gameInFront; }))
                << "flip " << flip;
        }
    }
    // The last flip put the game in front; one more leaves it behind.
    EXPECT_TRUE(WaitUntil([] { return IsWindowVisible(ReticleWindow()) != FALSE; }));
    EXPECT_TRUE(WaitForTitle(ReticleWindow(), L"Quorvel | Rainbow"));
    SetForegroundWindow(other);
    PumpMessages();
    EXPECT_TRUE(WaitUntil([] { return IsWindowVisible(ReticleWindow()) == FALSE; }));
    EXPECT_TRUE(WaitForTitle(ReticleWindow(), L"Quorvel | Waiting for Overwatch"));
    EXPECT_FALSE(HasExited(instance));
    DestroyWindow(other);
}

TEST_F(Reliability, TwoThousandRebuildsLeaveHandlesAndMemoryFlat) {
    // Frames of every rebuild would only slow the run down; the log has what is measured.
    SetCompositionControl(L"QUORVEL_COMPOSITION_FRAMES", nullptr);
    StartInstance();
    HWND manager = ManagerWindow();

    // A display change arms the settle timer; its tick is delivered at once instead of 400 ms
    // later. Sent, not posted: each call returns when the rebuild and upload are done.
    auto rebuild = [&] {
        SendMessageW(manager, WM_DISPLAYCHANGE, 32, MAKELPARAM(1920, 1080));
        SendMessageW(manager, WM_TIMER, DisplaySettleTimer, 0);
    };
    const std::wstring count = TestEnvironment(L"QUORVEL_SOAK_REBUILDS");
    const int rebuilds = count.empty() ? 2000 : _wtoi(count.c_str());
    const int warmUp = rebuilds / 10;  // caches and pools settle first
    const ULONGLONG started = GetTickCount64();
    for (int i = 0; i < warmUp + rebuilds; ++i) rebuild();
    const ULONGLONG elapsed = GetTickCount64() - started;

    const std::vector<std::string> swapChains = Events(recording, "swapchain ");
    ASSERT_EQ(swapChains.size(), static_cast<std::size_t>(1 + warmUp + rebuilds));
    const Usage before = UsageAt(swapChains[warmUp]);
    const Usage after = UsageAt(swapChains.back());
    std::printf("%d rebuilds after %d to warm up, %llu ms: handles %lu -> %lu, private bytes "
                "%llu -> %llu\n",
                rebuilds, warmUp, elapsed, before.handles, after.handles, before.privateBytes,
                after.privateBytes);
    EXPECT_TRUE(WaitForTitle(ReticleWindow(), L"Quorvel | Rainbow"));
    EXPECT_TRUE(IsWindowVisible(ReticleWindow()));
    EXPECT_FALSE(HasExited(instance));
    ASSERT_GT(before.handles, 0u) << "no figures in the stand-in's log";
    EXPECT_LE(after.handles, before.handles + 8) << "handles grow with rebuilds";
    // Flat: well under 1 KiB per rebuild, which a leaked device, swap chain or texture exceeds.
    EXPECT_LE(after.privateBytes, before.privateBytes + rebuilds * 1024ull)
        << "private bytes grow with rebuilds";
}

}  // namespace
