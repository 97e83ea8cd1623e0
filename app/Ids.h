// Every id, message, timer and name the program shares between its parts, declared once.
// Windows-free on purpose: the command-line and menu logic use these in host tests too.
#pragma once

// One integer space for menu item ids, hotkey ids and command-line verbs.
constexpr int CmdRainbow = 101;      // colour mode Rainbow
constexpr int CmdDeepBlack = 102;    // colour mode Deep Black
constexpr int CmdSwitchColor = 103;  // the other colour mode; hotkey Ctrl+Alt+W
constexpr int CmdToggleWings = 104;  // hide the wings if shown, show them if hidden; Ctrl+Alt+H
constexpr int CmdShowWings = 105;
constexpr int CmdHideWings = 106;
constexpr int CmdExit = 107;
constexpr int CmdShowMenu = 108;     // a later start without a known verb opens the tray menu

// Private messages of the manager window (WM_APP is 0x8000).
constexpr unsigned WM_TRAYICON = 0x8000 + 1;            // the tray icon's callback
constexpr unsigned WM_FOREGROUND_CHANGED = 0x8000 + 2;  // posted by the foreground hook

// Timers on the manager window.
constexpr unsigned TIMER_DISPLAY_SETTLE = 1;
constexpr unsigned TIMER_DISPLAY_SETTLE_MS = 400;  // one refresh per burst of display changes
constexpr unsigned TIMER_POLL = 2;
constexpr unsigned TIMER_POLL_MS = 250;

// A failed pipeline is rebuilt no sooner than this after the failure.
constexpr unsigned long long GraphicsRetryDelayMs = 3000;

constexpr int TrayIconId = 1;

// Resources (the resource script uses the same numbers).
constexpr int ReticleImageResource = 101;
constexpr int ProgramIconResource = 102;
constexpr unsigned ReticleImageSide = 256;
constexpr unsigned ReticleImageBytes = ReticleImageSide * ReticleImageSide * 4;  // 262144

constexpr wchar_t ManagerClassName[] = L"Quorvel.Manager";
constexpr wchar_t ManagerWindowTitle[] = L"Quorvel controls";
constexpr wchar_t ReticleClassName[] = L"Quorvel.Reticle";
constexpr wchar_t ReticleWindowTitle[] = L"Quorvel";
constexpr wchar_t InstanceMutexName[] = L"Local\\Quorvel.Overlay";
constexpr wchar_t GameImageName[] = L"Overwatch.exe";

constexpr wchar_t SettingsKeyPath[] = L"Software\\Quorvel Overlay";
constexpr wchar_t DeepBlackValueName[] = L"Black";
