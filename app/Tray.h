// The tray icon with its status tooltip (mirrored in the reticle window's title) and its menu.
#pragma once

#include <windows.h>
#include <shellapi.h>

// NIM_ADD, NIM_MODIFY or NIM_DELETE, passed on to Shell_NotifyIconW.
void UpdateTrayIcon(DWORD dwMessage);
void ShowTrayMenu();
