// The status text and the tray menu's texts, chosen from plain state. Windows-free.
#pragma once

#include <cstdint>

// "Hidden", "Waiting for Overwatch", "Display unavailable", "Deep Black", "HDR Rainbow" or
// "Rainbow": the first rule that holds, in that order. graphicsStatus is an HRESULT.
const wchar_t* StatusText(bool hidden, bool gameActive, std::int32_t graphicsStatus,
                          bool deepBlack, float hdrScale);

// Menu item CmdRainbow: "HDR Rainbow" while the output is HDR (hdrScale > 1.0), else "Rainbow".
const wchar_t* RainbowItemText(float hdrScale);

// Menu item CmdSwitchColor; the shortcut column only when the hotkey registered.
const wchar_t* SwitchColorItemText(bool colorHotkeyRegistered);

// Menu item CmdToggleWings; the shortcut column only when the hotkey registered.
const wchar_t* ToggleWingsItemText(bool hidden, bool hideHotkeyRegistered);

// The tooltip format; the reticle window's title mirrors it.
constexpr wchar_t TooltipFormat[] = L"Quorvel | %ls";
