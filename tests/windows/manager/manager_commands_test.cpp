// Commands reaching the real quorvel.exe from later starts, from its tray menu and from the
// hotkeys, watched only from outside: its windows and their titles, the
// stored setting, its exit code and which hotkeys are still free.
#include <gtest/gtest.h>

#include <string>

#include "app/Ids.h"
#include "tests/windows/support/WineTest.h"

namespace {

constexpr wchar_t Waiting[] = L"Quorvel | Waiting for Overwatch";
constexpr wchar_t Hidden[] = L"Quorvel | Hidden";
constexpr UINT HotkeyModifiers = MOD_CONTROL | MOD_ALT | MOD_NOREPEAT;

class ManagerCommands : public testing::Test {
protected:
    void SetUp() override { EndAllInstances(); }
    void TearDown() override {
        UnregisterHotKey(nullptr, 1);
        UnregisterHotKey(nullptr, 2);
        if (instance.handle != nullptr) ExitInstance(instance);
        EndAllInstances();
    }

    // Starts the instance and waits until its message loop runs: a forwarded "--show" has
    // been carried out once the title is the waiting status again.
    void StartInstance() {
        instance = StartQuorvel();
        ASSERT_NE(instance.handle, nullptr);
        ASSERT_TRUE(WaitUntil([] { return ReticleWindow() != nullptr; }));
        ASSERT_TRUE(WaitForTitle(ReticleWindow(), Waiting));
        ASSERT_EQ(RunQuorvel(L"--hide"), 0);
        ASSERT_TRUE(WaitForTitle(ReticleWindow(), Hidden));
        ASSERT_EQ(RunQuorvel(L"--show"), 0);
        ASSERT_TRUE(WaitForTitle(ReticleWindow(), Waiting));
    }

    Process instance;
};

bool HotkeyArrived(int id) {
    MSG message;
    return PeekMessageW(&message, nullptr, WM_HOTKEY, WM_HOTKEY, PM_REMOVE) &&
           static_cast<int>(message.wParam) == id;
}

TEST_F(ManagerCommands, FirstTitleIsTheWaitingStatus) {
    instance = StartQuorvel();
    ASSERT_TRUE(WaitUntil([] { return ReticleWindow() != nullptr; }));
    // Created as "Quorvel", then the first tray update names the status.
    EXPECT_TRUE(WaitForTitle(ReticleWindow(), Waiting));
    EXPECT_EQ(StoredBlackValue(), -1) << "a start without a verb writes nothing";
}

TEST_F(ManagerCommands, VerbsFromLaterStarts) {
    StartInstance();
    const struct {
        const wchar_t* verb;
        bool deleteKeyFirst;
        long long stored;
        const wchar_t* title;
    } steps[] = {
        {L"--hide", false, -1, Hidden},
        {L"--show", false, -1, Waiting},
        {L"--black", false, 1, Waiting},
        {L"--black", true, 1, Waiting},  // written again, the key made anew
        {L"--hide", false, 1, Hidden},
        {L"--rainbow", false, 0, Waiting},  // a colour shows the wings again
        {L"--rainbow", true, 0, Waiting},
        {L"--hide", false, 0, Hidden},
        {L"--black", true, 1, Waiting},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(testing::Message() << "verb " << std::string(step.verb, step.verb + wcslen(step.verb))
                                        << (step.deleteKeyFirst ? " after deleting the key" : ""));
        if (step.deleteKeyFirst) DeleteSettingsKey();
        EXPECT_EQ(RunQuorvel(step.verb), 0);
        EXPECT_TRUE(WaitUntil([&] { return StoredBlackValue() == step.stored; }));
        EXPECT_TRUE(WaitForTitle(ReticleWindow(), step.title));
        EXPECT_FALSE(HasExited(instance));
    }
}

TEST_F(ManagerCommands, LaterStartWithoutVerbOpensTheMenu) {
    StartInstance();
    // Escape closes it and nothing changes; with any tail that is not a verb it opens again.
    for (const wchar_t* tail : {L"", L"--EXIT", L"--black extra"}) {
        SCOPED_TRACE(testing::Message() << "tail \"" << std::string(tail, tail + wcslen(tail)) << "\"");
        EXPECT_EQ(RunQuorvel(tail), 0);
        HWND menu = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (menu = InstanceMenu(instance.id)) != nullptr; }));
        PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_TRUE(WaitUntil([&] { return InstanceMenu(instance.id) == nullptr; }));
        // Proof that the Escape went through the instance's loop: a later command runs.
        EXPECT_EQ(RunQuorvel(L"--show"), 0);
        EXPECT_TRUE(WaitForTitle(ReticleWindow(), Waiting));
        EXPECT_EQ(StoredBlackValue(), -1);
        EXPECT_FALSE(HasExited(instance));
    }

    // Down, Down, Return: the second item, "Deep Black".
    EXPECT_EQ(RunQuorvel(L""), 0);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (menu = InstanceMenu(instance.id)) != nullptr; }));
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) PostMessageW(menu, WM_KEYDOWN, key, 0);
    EXPECT_TRUE(WaitUntil([] { return StoredBlackValue() == 1; }));
    EXPECT_TRUE(WaitUntil([&] { return InstanceMenu(instance.id) == nullptr; }));
    EXPECT_EQ(WindowTitle(ReticleWindow()), Waiting);
}

// Another program holds Ctrl+Alt+W: start-up still completes (the instance carries out
// commands), and once the instance has ended both combinations are free again.
TEST_F(ManagerCommands, HeldColorHotkeyDoesNotStopStartUp) {
    ASSERT_TRUE(RegisterHotKey(nullptr, 1, HotkeyModifiers, 'W'));
    StartInstance();
    // Ctrl+Alt+H went to the instance, and works there.
    EXPECT_FALSE(RegisterHotKey(nullptr, 2, HotkeyModifiers, 'H'));
    PressCtrlAlt('H');
    EXPECT_TRUE(WaitForTitle(ReticleWindow(), Hidden));
    PressCtrlAlt('H');
    EXPECT_TRUE(WaitForTitle(ReticleWindow(), Waiting));
    // Ctrl+Alt+W reaches its holder, not the instance.
    PressCtrlAlt('W');
    EXPECT_TRUE(WaitUntil([] { return HotkeyArrived(1); }));
    EXPECT_EQ(StoredBlackValue(), -1);
    ExitInstance(instance);
    UnregisterHotKey(nullptr, 1);
    EXPECT_TRUE(RegisterHotKey(nullptr, 2, HotkeyModifiers, 'H'));
    UnregisterHotKey(nullptr, 2);
}

TEST_F(ManagerCommands, ExitEndsTheInstanceAndFreesItsHotkeys) {
    StartInstance();
    EXPECT_FALSE(RegisterHotKey(nullptr, 1, HotkeyModifiers, 'W')) << "the instance holds it";

    Process later = StartQuorvel(L"--exit");
    EXPECT_EQ(WaitForExitCode(later), 0);
    EXPECT_EQ(WaitForExitCode(instance), 0);
    EXPECT_EQ(ManagerWindow(), nullptr);
    EXPECT_EQ(ReticleWindow(), nullptr);

    EXPECT_TRUE(RegisterHotKey(nullptr, 1, HotkeyModifiers, 'W'));
    EXPECT_TRUE(RegisterHotKey(nullptr, 2, HotkeyModifiers, 'H'));
    UnregisterHotKey(nullptr, 1);
    UnregisterHotKey(nullptr, 2);

    // The next start is the first instance again: it stays, with its windows.
    StartInstance();
    EXPECT_FALSE(HasExited(instance));
}

}  // namespace
