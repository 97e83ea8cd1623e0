// The hidden manager window that turns every input into a command or a refresh, the reticle
// window's procedure, the foreground hook's callback and the command dispatcher.
#pragma once

#include <windows.h>

LRESULT CALLBACK ManagerWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ReticleWndProc(HWND hwnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
void CALLBACK OnForegroundEvent(HWINEVENTHOOK hWinEventHook, DWORD event, HWND hwnd,
                                LONG idObject, LONG idChild, DWORD idEventThread,
                                DWORD dwmsEventTime);
void ExecuteCommand(int commandId);
