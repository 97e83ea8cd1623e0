#include "app/StatusText.h"

namespace {
// A NaN is not greater than 1.0, so it counts as SDR.
bool IsHdr(float hdrScale) { return hdrScale > 1.0f; }
}  // namespace

const wchar_t* StatusText(bool hidden, bool gameActive, std::int32_t graphicsStatus,
                          bool deepBlack, float hdrScale) {
    if (hidden) return L"Hidden";
    if (!gameActive) return L"Waiting for Overwatch";
    if (graphicsStatus < 0) return L"Display unavailable";
    if (deepBlack) return L"Deep Black";
    return RainbowItemText(hdrScale);  // the mode's own name, as in the menu
}

const wchar_t* RainbowItemText(float hdrScale) {
    return IsHdr(hdrScale) ? L"HDR Rainbow" : L"Rainbow";
}

const wchar_t* SwitchColorItemText(bool colorHotkeyRegistered) {
    return colorHotkeyRegistered ? L"Switch color\tCtrl+Alt+W" : L"Switch color";
}

const wchar_t* ToggleWingsItemText(bool hidden, bool hideHotkeyRegistered) {
    if (hidden) return hideHotkeyRegistered ? L"Show wings\tCtrl+Alt+H" : L"Show wings";
    return hideHotkeyRegistered ? L"Hide wings\tCtrl+Alt+H" : L"Hide wings";
}
