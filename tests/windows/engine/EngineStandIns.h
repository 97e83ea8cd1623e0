// Stand-ins for three system calls of the engine, defined in the engine test program in place of
// the system's (the program's object files call through these import pointers): the tick count,
// which a test can set, so a retry time is checked to the millisecond instead of against the
// clock; and IsIconic and IsWindowVisible, which can be told what to answer about one window, so
// the foreground test meets a minimised game window in front with a client area (Wine gives a
// minimised window an empty one). Left alone, each passes the call on to the system.
#pragma once

#include <windows.h>

// GetTickCount64 answers tick from now on, until UseSystemTick.
void SetTestTick(ULONGLONG tick);
void UseSystemTick();

// IsIconic and IsWindowVisible answer these about window, until StopPretending.
void PretendAbout(HWND window, bool iconic, bool visible);
void StopPretending();
