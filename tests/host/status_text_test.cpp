#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "app/StatusText.h"

namespace {

constexpr std::int32_t Failed = static_cast<std::int32_t>(0x80004001);  // E_NOTIMPL
constexpr float NaN = std::numeric_limits<float>::quiet_NaN();

struct StatusCase {
    bool hidden;
    bool gameActive;
    std::int32_t graphicsStatus;
    bool deepBlack;
    float hdrScale;
    const wchar_t* status;
};

const StatusCase statusCases[] = {
    // Hidden outranks everything.
    {true, false, Failed, true, 6.0f, L"Hidden"},
    {true, true, 0, false, 1.0f, L"Hidden"},
    // No game outranks a failed pipeline and the colour mode.
    {false, false, Failed, false, 1.0f, L"Waiting for Overwatch"},
    {false, false, 0, true, 6.0f, L"Waiting for Overwatch"},
    // A failure outranks the colour mode; any negative HRESULT is one, a positive one is not.
    {false, true, Failed, true, 1.0f, L"Display unavailable"},
    {false, true, -1, false, 6.0f, L"Display unavailable"},
    {false, true, 1, false, 1.0f, L"Rainbow"},  // S_FALSE
    {false, true, 0, true, 6.0f, L"Deep Black"},
    // Only a scale strictly above 1.0 is HDR; a NaN is not above it.
    {false, true, 0, false, 1.0f, L"Rainbow"},
    {false, true, 0, false, 1.0000001f, L"HDR Rainbow"},
    {false, true, 0, false, 0.9f, L"Rainbow"},
    {false, true, 0, false, 6.0f, L"HDR Rainbow"},
    {false, true, 0, false, NaN, L"Rainbow"},
};

TEST(StatusText, FirstRuleThatHoldsWins) {
    for (const StatusCase& c : statusCases) {
        SCOPED_TRACE(testing::Message() << "hidden " << c.hidden << " game " << c.gameActive
                                        << " status " << c.graphicsStatus << " black "
                                        << c.deepBlack << " scale " << c.hdrScale);
        EXPECT_STREQ(StatusText(c.hidden, c.gameActive, c.graphicsStatus, c.deepBlack,
                                c.hdrScale),
                     c.status);
    }
}

TEST(MenuText, RainbowItemFollowsTheScaleAlone) {
    EXPECT_STREQ(RainbowItemText(1.0f), L"Rainbow");
    EXPECT_STREQ(RainbowItemText(0.9f), L"Rainbow");
    EXPECT_STREQ(RainbowItemText(NaN), L"Rainbow");
    EXPECT_STREQ(RainbowItemText(1.0000001f), L"HDR Rainbow");
    EXPECT_STREQ(RainbowItemText(6.0f), L"HDR Rainbow");
}

TEST(MenuText, ShortcutsOnlyForRegisteredHotkeys) {
    EXPECT_STREQ(SwitchColorItemText(true), L"Switch color\tCtrl+Alt+W");
    EXPECT_STREQ(SwitchColorItemText(false), L"Switch color");
    EXPECT_STREQ(ToggleWingsItemText(false, false), L"Hide wings");
    EXPECT_STREQ(ToggleWingsItemText(false, true), L"Hide wings\tCtrl+Alt+H");
    EXPECT_STREQ(ToggleWingsItemText(true, false), L"Show wings");
    EXPECT_STREQ(ToggleWingsItemText(true, true), L"Show wings\tCtrl+Alt+H");
}

}  // namespace
