// The one persisted setting: the colour mode, as REG_DWORD "Black" under
// HKEY_CURRENT_USER\Software\Quorvel Overlay (non-zero = Deep Black).
#pragma once

// The stored mode; anything unreadable (no key, no value, another type, no access) is Rainbow.
bool ReadDeepBlackSetting();

// Stores 1 for Deep Black and 0 for Rainbow, creating the key when it is missing. A failed
// write is ignored: the mode stays in force for this run.
void WriteDeepBlackSetting(bool deepBlack);
