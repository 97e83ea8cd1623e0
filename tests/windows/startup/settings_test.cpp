// The stored colour mode, read and written inside this process by the program's own routines.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "app/Settings.h"
#include "tests/windows/support/WineTest.h"

namespace {

// Where the setting lives, as other programs and earlier versions find it.
constexpr wchar_t SettingsKey[] = L"Software\\Quorvel Overlay";
constexpr wchar_t BlackValue[] = L"Black";

struct StoredValue {
    const char* what;
    DWORD type;  // REG_NONE: no value at all
    std::vector<std::uint8_t> data;
    bool deepBlack;
};

const StoredValue storedValues[] = {
    {"no value", REG_NONE, {}, false},
    {"DWORD 0", REG_DWORD, {0, 0, 0, 0}, false},
    {"DWORD 1", REG_DWORD, {1, 0, 0, 0}, true},
    {"DWORD 2", REG_DWORD, {2, 0, 0, 0}, true},
    {"DWORD 0x80000000", REG_DWORD, {0, 0, 0, 0x80}, true},
    // Only a DWORD counts, whatever another type holds.
    {"REG_SZ 1", REG_SZ, {'1', 0, 0, 0}, false},
    {"REG_BINARY 01 00 00 00", REG_BINARY, {1, 0, 0, 0}, false},
    {"REG_QWORD 1", REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, false},
};

TEST(Settings, OnlyANonZeroDwordIsDeepBlack) {
    DeleteSettingsKey();
    EXPECT_FALSE(ReadDeepBlackSetting()) << "no key";
    for (const StoredValue& v : storedValues) {
        SCOPED_TRACE(v.what);
        DeleteSettingsKey();
        if (v.type != REG_NONE) {
            ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, SettingsKey, BlackValue,
                                      v.type, v.data.data(), static_cast<DWORD>(v.data.size())),
                      ERROR_SUCCESS);
        } else {
            HKEY key = nullptr;
            ASSERT_EQ(RegCreateKeyW(HKEY_CURRENT_USER, SettingsKey, &key), ERROR_SUCCESS);
            RegCloseKey(key);
        }
        EXPECT_EQ(ReadDeepBlackSetting(), v.deepBlack);
    }
    DeleteSettingsKey();
}

TEST(Settings, WritingStoresOneOrZeroAndCreatesTheKey) {
    DeleteSettingsKey();
    WriteDeepBlackSetting(true);
    EXPECT_EQ(StoredBlackValue(), 1);
    WriteDeepBlackSetting(false);
    EXPECT_EQ(StoredBlackValue(), 0);
    // A REG_SZ left by someone else is replaced by the DWORD.
    RegSetKeyValueW(HKEY_CURRENT_USER, SettingsKey, BlackValue, REG_SZ, L"1", 4);
    WriteDeepBlackSetting(true);
    EXPECT_EQ(StoredBlackValue(), 1);
    EXPECT_TRUE(ReadDeepBlackSetting());
    DeleteSettingsKey();
}

}  // namespace
