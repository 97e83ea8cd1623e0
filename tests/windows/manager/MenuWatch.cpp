#include "tests/windows/manager/MenuWatch.h"

#include "tests/windows/manager/CallLog.h"

namespace {

MenuSeen seen;
std::vector<MenuKey> pendingKeys;
UINT_PTR watchTimer = 0;

MenuItemSeen ReadItem(HMENU menu, int position) {
    wchar_t text[256] = {};
    MENUITEMINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING | MIIM_BITMAP;
    info.dwTypeData = text;
    info.cch = 256;
    GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
    return MenuItemSeen{info.wID, info.fType, info.fState, text, info.hSubMenu != nullptr,
                        info.hbmpItem != nullptr};
}

void CALLBACK LookForMenu(HWND, UINT, UINT_PTR, DWORD) {
    HWND popup = OpenPopupMenu();
    if (popup == nullptr) return;
    StopWatching();
    ++seen.opened;
    seen.menu = reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0));
    GetWindowRect(popup, &seen.rect);
    seen.items.clear();
    for (int i = 0; i < GetMenuItemCount(seen.menu); ++i) seen.items.push_back(ReadItem(seen.menu, i));
    for (const MenuKey& key : pendingKeys) PostMessageW(popup, key.message, key.wParam, 0);
}

}  // namespace

void WatchNextMenu(std::vector<MenuKey> keys) {
    pendingKeys = keys.empty() ? std::vector<MenuKey>{{WM_KEYDOWN, VK_ESCAPE}} : keys;
    seen = MenuSeen{};
    StopWatching();
    watchTimer = SetTimer(nullptr, 0, 10, LookForMenu);
}

std::vector<MenuKey> ChooseByDowns(int downs) {
    std::vector<MenuKey> keys(static_cast<size_t>(downs), MenuKey{WM_KEYDOWN, VK_DOWN});
    keys.push_back(MenuKey{WM_KEYDOWN, VK_RETURN});
    return keys;
}

const MenuSeen& LastMenuSeen() { return seen; }

void StopWatching() {
    if (watchTimer != 0) KillTimer(nullptr, watchTimer);
    watchTimer = 0;
}
