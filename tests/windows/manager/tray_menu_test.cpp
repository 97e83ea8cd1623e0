// The tray menu as ShowTrayMenu builds it, read while TrackPopupMenu shows it, and what the
// menu leaves behind when it is dismissed or an item is chosen.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Ids.h"
#include "app/Tray.h"
#include "tests/windows/manager/ManagerFixture.h"

namespace {

using Lines = std::vector<std::wstring>;

struct Item {
    UINT id;            // 0 for a separator
    const wchar_t* text;
    bool radioMark;
};

constexpr Item Separator = {0, L"", false};

struct MenuCase {
    const char* name;
    bool deepBlack;
    float hdrScale;
    bool hidden;
    bool colorHotkeyRegistered;
    bool hideHotkeyRegistered;
    std::vector<Item> items;
};

const MenuCase menuCases[] = {
    {"Rainbow", false, 1.0f, false, true, true,
     {{101, L"Rainbow", true}, {102, L"Deep Black", false}, Separator,
      {103, L"Switch color\tCtrl+Alt+W", false}, {104, L"Hide wings\tCtrl+Alt+H", false},
      Separator, {107, L"Exit", false}}},
    {"Deep Black on HDR", true, 3.5f, false, true, true,
     {{101, L"HDR Rainbow", false}, {102, L"Deep Black", true}, Separator,
      {103, L"Switch color\tCtrl+Alt+W", false}, {104, L"Hide wings\tCtrl+Alt+H", false},
      Separator, {107, L"Exit", false}}},
    {"HDR Rainbow, hidden", false, 3.5f, true, true, true,
     {{101, L"HDR Rainbow", true}, {102, L"Deep Black", false}, Separator,
      {103, L"Switch color\tCtrl+Alt+W", false}, {104, L"Show wings\tCtrl+Alt+H", false},
      Separator, {107, L"Exit", false}}},
    {"Ctrl+Alt+W not registered", false, 1.0f, false, false, true,
     {{101, L"Rainbow", true}, {102, L"Deep Black", false}, Separator,
      {103, L"Switch color", false}, {104, L"Hide wings\tCtrl+Alt+H", false}, Separator,
      {107, L"Exit", false}}},
    {"Ctrl+Alt+H not registered, hidden", true, 1.0f, true, true, false,
     {{101, L"Rainbow", false}, {102, L"Deep Black", true}, Separator,
      {103, L"Switch color\tCtrl+Alt+W", false}, {104, L"Show wings", false}, Separator,
      {107, L"Exit", false}}},
};

using TrayMenuTest = ManagerFixture;

TEST_F(TrayMenuTest, MenuAsShownForEachState) {
    for (const MenuCase& c : menuCases) {
        SCOPED_TRACE(c.name);
        AppState.deepBlack = c.deepBlack;
        AppState.hdrScale = c.hdrScale;
        AppState.hidden = c.hidden;
        AppState.colorHotkeyRegistered = c.colorHotkeyRegistered;
        AppState.hideHotkeyRegistered = c.hideHotkeyRegistered;
        WatchNextMenu();
        ShowTrayMenu();

        const MenuSeen& seen = LastMenuSeen();
        ASSERT_EQ(seen.opened, 1);
        ASSERT_EQ(seen.items.size(), c.items.size());
        for (size_t i = 0; i < c.items.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "position " << i + 1);
            const Item& want = c.items[i];
            const MenuItemSeen& got = seen.items[i];
            EXPECT_EQ(got.id, want.id);
            EXPECT_EQ(got.text, std::wstring(want.text));
            EXPECT_EQ((got.type & MFT_SEPARATOR) != 0, want.id == 0);
            EXPECT_EQ((got.state & MFS_CHECKED) != 0, want.radioMark);
            if (want.radioMark) {
                EXPECT_NE(got.type & MFT_RADIOCHECK, 0u);
            }
            // Plain enabled items: no default, no submenu, no bitmap. (The system itself
            // reports separators as disabled.)
            EXPECT_EQ(got.state & MFS_DEFAULT, 0u);
            if (want.id != 0) {
                EXPECT_EQ(got.state & (MFS_DISABLED | MFS_GRAYED), 0u);
            }
            EXPECT_EQ(got.type & (MFT_BITMAP | MFT_OWNERDRAW), 0u);
            EXPECT_FALSE(got.hasSubmenu);
            EXPECT_FALSE(got.hasBitmap);
        }
    }
}

// Left and top aligned at the cursor, returning the command instead of sending it.
TEST_F(TrayMenuTest, OpensAtTheCursorOwnedByTheManagerWindow) {
    ASSERT_TRUE(SetCursorPos(300, 200));
    WatchNextMenu();
    ShowTrayMenu();
    ASSERT_EQ(LastMenuSeen().opened, 1);
    EXPECT_EQ(LastMenuSeen().rect.left, 300);
    EXPECT_EQ(LastMenuSeen().rect.top, 200);
    EXPECT_EQ(calls, (Lines{L"SetForegroundWindow manager",
                            L"TrackPopupMenu 0x0102 300 200 reserved=0 owner=manager rect=null",
                            L"TrackPopupMenu returned 0", L"DestroyMenu",
                            L"PostMessage manager 0x0000 0 0"}));
}

// Without a cursor position the menu opens in the corner of the primary work area where the
// taskbar keeps the tray; the system keeps it on the screen.
TEST_F(TrayMenuTest, UnreadableCursorOpensTheMenuAtTheWorkAreaCorner) {
    RECT workArea = {};
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0));
    failCursorPos = true;
    WatchNextMenu();
    ShowTrayMenu();
    ASSERT_EQ(LastMenuSeen().opened, 1);
    const RECT menu = LastMenuSeen().rect;
    ASSERT_GE(calls.size(), 2u);
    std::printf("work area %ld,%ld-%ld,%ld menu %ld,%ld-%ld,%ld\n", workArea.left, workArea.top,
                workArea.right, workArea.bottom, menu.left, menu.top, menu.right, menu.bottom);
    EXPECT_EQ(calls[1], L"TrackPopupMenu 0x0102 " + std::to_wstring(workArea.right - 1) +
                               L" " + std::to_wstring(workArea.bottom - 1) +
                               L" reserved=0 owner=manager rect=null");
    EXPECT_LE(menu.right, workArea.right);
    EXPECT_LE(menu.bottom, workArea.bottom);
    EXPECT_GE(menu.right, workArea.right - 2);
    EXPECT_GE(menu.bottom, workArea.bottom - 2);
}

TEST_F(TrayMenuTest, DismissingPostsWmNullAndNothingElse) {
    WatchNextMenu();  // Escape
    ShowTrayMenu();
    ASSERT_EQ(LastMenuSeen().opened, 1);
    EXPECT_EQ(TakeManagerQueue(), std::vector<UINT>{WM_NULL});
    Pump();
    EXPECT_TRUE(refreshes.empty());
    EXPECT_EQ(StoredBlackValue(), -1);
}

// The chosen id is posted after WM_NULL; the command runs from the message loop once the menu
// is destroyed and ShowTrayMenu has returned.
TEST_F(TrayMenuTest, ChoosingAnItemPostsItsCommand) {
    const struct {
        int downs;
        int id;
        Lines afterwards;
    } cases[] = {
        {1, CmdRainbow,
         {L"RegSetKeyValue HKCU Software\\Quorvel Overlay Black type=4 value=0 size=4",
          L"Refresh force=1 reset=0"}},
        {2, CmdDeepBlack,
         {L"RegSetKeyValue HKCU Software\\Quorvel Overlay Black type=4 value=1 size=4",
          L"Refresh force=1 reset=0"}},
        {3, CmdSwitchColor,
         {L"RegSetKeyValue HKCU Software\\Quorvel Overlay Black type=4 value=1 size=4",
          L"Refresh force=1 reset=0"}},
        {4, CmdToggleWings, {L"Refresh force=1 reset=0"}},
        {5, CmdExit,
         {L"DestroyWindow manager", L"UnregisterHotKey manager 103",
          L"UnregisterHotKey manager 104", L"SetWindowText reticle Quorvel | Waiting for Overwatch",
          L"Shell_NotifyIcon 2", L"PostQuitMessage 0"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "command " << c.id);
        TearDown();
        SetUp();
        ASSERT_TRUE(SetCursorPos(300, 200));
        WatchNextMenu(ChooseByDowns(c.downs));
        ShowTrayMenu();
        ASSERT_EQ(LastMenuSeen().opened, 1);
        const std::wstring command = L"PostMessage manager 0x0111 " + std::to_wstring(c.id) + L" 0";
        EXPECT_EQ(calls, (Lines{L"SetForegroundWindow manager",
                                L"TrackPopupMenu 0x0102 300 200 reserved=0 owner=manager rect=null",
                                L"TrackPopupMenu returned " + std::to_wstring(c.id),
                                L"DestroyMenu", L"PostMessage manager 0x0000 0 0", command}));
        EXPECT_TRUE(refreshes.empty()) << "the command ran inside the menu";
        EXPECT_FALSE(IsMenu(LastMenuSeen().menu));

        ClearCalls();
        Pump();
        EXPECT_EQ(calls, c.afterwards);
        for (const RefreshSnapshot& r : refreshes) EXPECT_FALSE(r.menuOpen);
    }
}

}  // namespace
