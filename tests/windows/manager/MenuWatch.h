// Reads a popup menu of this thread while TrackPopupMenu's modal loop shows it, then drives it
// with posted keys. A thread timer does the work: the modal loop dispatches timer messages.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct MenuItemSeen {
    UINT id;
    UINT type;   // MFT_...
    UINT state;  // MFS_...
    std::wstring text;
    bool hasSubmenu;
    bool hasBitmap;
};

struct MenuSeen {
    int opened = 0;  // how many menus the watcher found open
    std::vector<MenuItemSeen> items;
    RECT rect = {};  // the menu window on the screen
    HMENU menu = nullptr;
};

// One key for the menu: a message (WM_KEYDOWN or WM_CHAR) and its wParam.
struct MenuKey {
    UINT message;
    WPARAM wParam;
};

// Arms the watcher for the next menu this thread opens: it records the menu and posts the keys
// to it; with no keys it posts Escape, which dismisses the menu.
void WatchNextMenu(std::vector<MenuKey> keys = {});
// Keys that choose the item reached with that many presses of Down from no selection.
std::vector<MenuKey> ChooseByDowns(int downs);
const MenuSeen& LastMenuSeen();
void StopWatching();
