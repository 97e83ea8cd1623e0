// The resources compiled into quorvel.exe, read back through the loader as Windows reads them:
// the reticle image and the icon equal the committed files, all in US English, the icon group
// resolves and loads, and the version and manifest say what the program needs.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/Ids.h"
#include "tests/windows/support/WineTest.h"
#include "version.h"  // the build's version, made from resources/version.h.in

namespace {

constexpr WORD UsEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);  // 1033

std::vector<std::uint8_t> ReadSourceFile(const wchar_t* relativePath) {
    std::wstring path = SourceDir() + L"\\" + relativePath;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::vector<std::uint8_t> bytes(GetFileSize(file, nullptr));
    DWORD read = 0;
    if (!bytes.empty() && (!ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read,
                                     nullptr) || read != bytes.size()))
        bytes.clear();
    CloseHandle(file);
    return bytes;
}

// quorvel.exe mapped for its resources only: nothing of it runs.
class ProgramResources : public testing::Test {
protected:
    void SetUp() override {
        exe = LoadLibraryExW(QuorvelExe().c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(exe, nullptr) << "error " << GetLastError();
    }
    void TearDown() override {
        if (exe) FreeLibrary(exe);
    }

    // The resource's bytes; empty when it does not exist.
    std::vector<std::uint8_t> Resource(const wchar_t* type, int id) {
        HRSRC found = FindResourceW(exe, MAKEINTRESOURCEW(id), type);
        if (!found) return {};
        DWORD size = SizeofResource(exe, found);
        HGLOBAL loaded = LoadResource(exe, found);
        auto* bytes = static_cast<const std::uint8_t*>(loaded ? LockResource(loaded) : nullptr);
        return bytes ? std::vector<std::uint8_t>(bytes, bytes + size) : std::vector<std::uint8_t>();
    }

    std::vector<WORD> Languages(const wchar_t* type, int id) {
        std::vector<WORD> languages;
        EnumResourceLanguagesW(
            exe, type, MAKEINTRESOURCEW(id),
            [](HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR list) -> BOOL {
                reinterpret_cast<std::vector<WORD>*>(list)->push_back(language);
                return TRUE;
            },
            reinterpret_cast<LONG_PTR>(&languages));
        return languages;
    }

    HMODULE exe = nullptr;
};

unsigned LittleEndian(const std::vector<std::uint8_t>& bytes, std::size_t at, int count) {
    unsigned value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[at + i];
    return value;
}

TEST_F(ProgramResources, ReticleImageIsTheCommittedFile) {
    std::vector<std::uint8_t> committed = ReadSourceFile(L"resources\\reticle.rgba");
    ASSERT_EQ(committed.size(), ReticleImageBytes);
    std::vector<std::uint8_t> image = Resource(RT_RCDATA, ReticleImageResource);
    ASSERT_EQ(image.size(), ReticleImageBytes);
    EXPECT_TRUE(image == committed);
}

TEST_F(ProgramResources, IconGroupPointsAtThePngIcon) {
    std::vector<std::uint8_t> png = ReadSourceFile(L"resources\\quorvel-icon.png");
    ASSERT_FALSE(png.empty());
    std::vector<std::uint8_t> group = Resource(RT_GROUP_ICON, ProgramIconResource);
    ASSERT_EQ(group.size(), 20u);
    EXPECT_EQ(LittleEndian(group, 2, 2), 1u);   // an icon directory
    EXPECT_EQ(LittleEndian(group, 4, 2), 1u);   // with one entry
    EXPECT_EQ(group[6], 96);
    EXPECT_EQ(group[7], 96);
    EXPECT_EQ(LittleEndian(group, 12, 2), 32u);  // bits per pixel
    EXPECT_EQ(LittleEndian(group, 14, 4), png.size());
    EXPECT_EQ(LittleEndian(group, 18, 2), 1u);
    // The system's own choice from the directory lands on the same image.
    EXPECT_EQ(LookupIconIdFromDirectoryEx(group.data(), TRUE, 96, 96, LR_DEFAULTCOLOR), 1);

    std::vector<std::uint8_t> icon = Resource(RT_ICON, 1);
    EXPECT_TRUE(icon == png) << "RT_ICON 1 has " << icon.size() << " bytes, the PNG "
                             << png.size();
}

TEST_F(ProgramResources, IconLoadsAsStartUpLoadsIt) {
    HICON icon = LoadIconW(exe, MAKEINTRESOURCEW(ProgramIconResource));
    ASSERT_NE(icon, nullptr) << "error " << GetLastError();
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    EXPECT_TRUE(info.fIcon);
    BITMAP color = {};
    ASSERT_NE(info.hbmColor, nullptr);
    ASSERT_NE(GetObjectW(info.hbmColor, sizeof color, &color), 0);
    EXPECT_EQ(color.bmWidth, GetSystemMetrics(SM_CXICON));
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
}

TEST_F(ProgramResources, EveryResourceIsUsEnglishOnly) {
    struct Entry {
        const wchar_t* type;
        int id;
    };
    const Entry entries[] = {
        {RT_RCDATA, ReticleImageResource}, {RT_GROUP_ICON, ProgramIconResource},
        {RT_ICON, 1}, {RT_VERSION, 1}, {RT_MANIFEST, 1},
    };
    for (const Entry& e : entries)
        EXPECT_EQ(Languages(e.type, e.id), std::vector<WORD>{UsEnglish})
            << "type " << reinterpret_cast<std::uintptr_t>(e.type) << " id " << e.id;
}

// Start-up sets DPI awareness itself; a manifest setting would be a second, earlier place.
// The manifest's own version is the program's.
TEST_F(ProgramResources, ManifestRunsAsInvokerOnWindows10WithoutDpiSetting) {
    std::vector<std::uint8_t> bytes = Resource(RT_MANIFEST, 1);
    ASSERT_FALSE(bytes.empty());
    std::string manifest(bytes.begin(), bytes.end());
    EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(manifest.find("<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"),
              std::string::npos);
    EXPECT_EQ(manifest.find("dpiAware"), std::string::npos);  // dpiAwareness too
    EXPECT_NE(manifest.find("name=\"Quorvel\" version=\"" QUORVEL_VERSION_TEXT "\""),
              std::string::npos);
}

std::wstring VersionString(const std::vector<std::uint8_t>& block, const wchar_t* name) {
    std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), path.c_str(), &value, &length) || length == 0) return L"";
    return std::wstring(static_cast<const wchar_t*>(value), length - 1);  // length counts the NUL
}

TEST(ProgramVersion, ReadsBackFromTheFile) {
    std::wstring exe = QuorvelExe();
    DWORD size = GetFileVersionInfoSizeW(exe.c_str(), nullptr);
    ASSERT_GT(size, 0u) << "error " << GetLastError();
    std::vector<std::uint8_t> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, block.data()));

    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", &value, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    constexpr DWORD VersionMs = QUORVEL_VERSION_MAJOR << 16 | QUORVEL_VERSION_MINOR;
    constexpr DWORD VersionLs = QUORVEL_VERSION_PATCH << 16;  // the fourth number is always 0
    EXPECT_EQ(fixed->dwFileVersionMS, VersionMs);
    EXPECT_EQ(fixed->dwFileVersionLS, VersionLs);
    EXPECT_EQ(fixed->dwProductVersionMS, VersionMs);
    EXPECT_EQ(fixed->dwProductVersionLS, VersionLs);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileDateMS, 0u);  // no time stamp: the same sources make the same file
    EXPECT_EQ(fixed->dwFileDateLS, 0u);

    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u);
    EXPECT_EQ(static_cast<const WORD*>(value)[0], UsEnglish);
    EXPECT_EQ(static_cast<const WORD*>(value)[1], 1200);  // UTF-16

    EXPECT_EQ(VersionString(block, L"ProductName"), L"Quorvel");
    EXPECT_EQ(VersionString(block, L"OriginalFilename"), L"quorvel.exe");
    EXPECT_EQ(VersionString(block, L"FileVersion"), L"" QUORVEL_VERSION_TEXT);
    EXPECT_EQ(VersionString(block, L"ProductVersion"), L"" QUORVEL_VERSION_TEXT);
    EXPECT_FALSE(VersionString(block, L"FileDescription").empty());
}

}  // namespace
