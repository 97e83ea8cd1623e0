#include "app/Settings.h"

#include <windows.h>

#include "app/Ids.h"

bool ReadDeepBlackSetting() {
    DWORD value = 0;
    DWORD size = sizeof value;
    // RRF_RT_REG_DWORD takes REG_DWORD only: REG_SZ "1" or four REG_BINARY bytes do not count.
    LSTATUS result = RegGetValueW(HKEY_CURRENT_USER, SettingsKeyPath, DeepBlackValueName,
                                  RRF_RT_REG_DWORD, nullptr, &value, &size);
    return result == ERROR_SUCCESS && value != 0;
}

void WriteDeepBlackSetting(bool deepBlack) {
    DWORD value = deepBlack ? 1 : 0;
    RegSetKeyValueW(HKEY_CURRENT_USER, SettingsKeyPath, DeepBlackValueName, REG_DWORD, &value,
                    sizeof value);
}
