#include "tools/wine-composition/SyncMarker.h"

#include <windows.h>

#include "tools/wine-composition/Controls.h"

namespace {

UINT syncMessage = 0;

// A thread hook, so nothing is injected anywhere: it sees what GetMessageW and PeekMessageW
// with PM_REMOVE hand to the program, the modal loops of menus included.
LRESULT CALLBACK OnGetMessage(int code, WPARAM removal, LPARAM message) {
    const MSG* taken = reinterpret_cast<const MSG*>(message);
    if (code == HC_ACTION && removal == PM_REMOVE && syncMessage != 0 &&
        taken->message == syncMessage)
        LogEvent("sync %llu", static_cast<unsigned long long>(taken->wParam));
    return CallNextHookEx(nullptr, code, removal, message);
}

}  // namespace

void InstallSyncMarker() {
    syncMessage = RegisterWindowMessageW(SyncMarkerMessageName);
    SetWindowsHookExW(WH_GETMESSAGE, OnGetMessage, nullptr, GetCurrentThreadId());
}
