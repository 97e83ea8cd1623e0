// Start-up and the single instance, watched from outside the program: its exit codes, its
// windows and the stored setting.
#include <gtest/gtest.h>

#include <vector>

#include "app/Ids.h"
#include "tests/windows/support/WineTest.h"

namespace {

class Startup : public testing::Test {
protected:
    void SetUp() override { EndAllInstances(); }
    void TearDown() override { EndAllInstances(); }
};

std::wstring Variant(const wchar_t* name) {
    return BinaryDir() + L"\\tests\\windows\\startup\\" + name;
}

TEST_F(Startup, ExitWithoutAnInstanceEndsAtOnceAndMakesNothing) {
    Process start = StartQuorvel(L"--exit");
    ASSERT_NE(start.handle, nullptr);
    bool sawWindow = false;
    WaitUntil([&] {
        sawWindow = sawWindow || ManagerWindow() != nullptr || ReticleWindow() != nullptr;
        return HasExited(start);
    });
    EXPECT_EQ(WaitForExitCode(start), 0);
    EXPECT_FALSE(sawWindow);
    EXPECT_EQ(StoredBlackValue(), -1);
}

// That the setting is not even read, and no window is made for an instant, is shown by Wine's
// trace of these starts (exit_reads_no_registry.sh).
TEST_F(Startup, BrokenImageResourceEndsWithCode3BeforeAnyWindow) {
    for (const wchar_t* name :
         {L"quorvel-no-image.exe", L"quorvel-short-image.exe", L"quorvel-long-image.exe"}) {
        SCOPED_TRACE(testing::Message() << "variant " << std::string(name, name + wcslen(name)));
        Process start = StartProcess(Variant(name), L"--black");
        ASSERT_NE(start.handle, nullptr);
        // Watched while it runs: once it has ended its windows would be gone anyway.
        bool sawWindow = false;
        WaitUntil([&] {
            sawWindow = sawWindow || ManagerWindow() != nullptr || ReticleWindow() != nullptr;
            return HasExited(start);
        });
        EXPECT_EQ(WaitForExitCode(start), 3);
        EXPECT_FALSE(sawWindow);
        EXPECT_EQ(StoredBlackValue(), -1) << "the colour command ran";
    }
}

TEST_F(Startup, FirstInstanceRunsAndLaterStartsForward) {
    Process first = StartQuorvel();
    ASSERT_TRUE(WaitUntil([] { return ReticleWindow() != nullptr; }));
    EXPECT_TRUE(WaitForTitle(ReticleWindow(), L"Quorvel | Waiting for Overwatch"));

    EXPECT_EQ(RunQuorvel(L"--hide"), 0);
    EXPECT_TRUE(WaitForTitle(ReticleWindow(), L"Quorvel | Hidden"));
    EXPECT_FALSE(HasExited(first));

    ExitInstance(first);
    EXPECT_EQ(ManagerWindow(), nullptr);
}

TEST_F(Startup, SimultaneousStartsLeaveOneInstance) {
    std::vector<Process> starts;
    for (int i = 0; i < 8; ++i) starts.push_back(StartQuorvel(L"--show"));

    // Every start but one forwards its command and ends with 0; the one that stays is the
    // instance, and it is the only one with windows.
    ASSERT_TRUE(WaitUntil([&] {
        int running = 0;
        for (const Process& p : starts) running += HasExited(p) ? 0 : 1;
        return running == 1;
    }));
    Process instance;
    for (Process& p : starts) {
        if (HasExited(p)) {
            EXPECT_EQ(WaitForExitCode(p), 0);
        } else {
            instance = p;
        }
    }
    EXPECT_EQ(TopLevelWindowsOfClass(L"Quorvel.Manager").size(), 1u);
    EXPECT_EQ(TopLevelWindowsOfClass(L"Quorvel.Reticle").size(), 1u);
    ExitInstance(instance);
}

TEST_F(Startup, AfterExitTheNextStartIsTheFirstInstanceAgain) {
    Process first = StartQuorvel(L"--hide");
    ASSERT_TRUE(WaitUntil([] { return ReticleWindow() != nullptr; }));
    EXPECT_TRUE(WaitForTitle(ReticleWindow(), L"Quorvel | Hidden"));
    ExitInstance(first);

    // A verb given to a first instance runs there: "--black" stores the mode during start-up.
    Process second = StartQuorvel(L"--black");
    ASSERT_TRUE(WaitUntil([] { return ReticleWindow() != nullptr; }));
    EXPECT_TRUE(WaitUntil([] { return StoredBlackValue() == 1; }));
    EXPECT_FALSE(HasExited(second));
    ExitInstance(second);
}

}  // namespace
