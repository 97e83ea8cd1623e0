// What the manager window and the tray code asked of the system, in order, as readable lines.
//
// The test program defines the import pointers (__imp_...) of the calls below itself, so the
// program's code, linked from quorvel_core, calls these recorders instead of the system. Each
// recorder appends one line and, where the test needs the real effect, passes the call on.
// RefreshOverlay is replaced the same way: the engine is not under test here, only who asks
// for a refresh and with which flags.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

// Lines such as "Refresh force=1 reset=0", "SetTimer manager 1 400", "Shell_NotifyIcon 2".
// Windows are named "manager", "reticle" or "other" after AppState's handles.
extern std::vector<std::wstring> calls;
void ClearCalls();

// The records handed to Shell_NotifyIconW, in order (the shell itself is never called).
extern std::vector<NOTIFYICONDATAW> trayRecords;

// AppState as RefreshOverlay found it, for each call.
struct RefreshSnapshot {
    bool force;
    bool resetMonitor;
    bool deepBlack;
    bool hidden;
    bool contentUploaded;
    bool menuOpen;  // a popup menu of this thread was on the screen
};
extern std::vector<RefreshSnapshot> refreshes;

// When true, GetCursorPos fails (and leaves the point alone).
extern bool failCursorPos;

// Posts are recorded only for the manager window and for no window (the thread's queue); the
// call is passed on in any case.
// PostQuitMessage is recorded and never passed on, so the test thread's loop goes on.

bool PopupMenuOpen();  // a visible "#32768" window of this thread
HWND OpenPopupMenu();  // it, or null
