#include "tests/windows/composition/OnScreen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>

#include "app/Ids.h"
#include "overlay/OverlayGeometry.h"
#include "overlay/ReticleRaster.h"

std::wstring CompositionRunFolder() { return BinaryDir() + L"\\composition-run"; }

Process StartQuorvelWithStandIn(const std::wstring& arguments) {
    return StartProcess(CompositionRunFolder() + L"\\quorvel.exe", arguments);
}

void SetCompositionControl(const wchar_t* name, const wchar_t* value) {
    SetEnvironmentVariableW(name, value);
}

namespace {

std::map<std::wstring, std::wstring> liveControls;

std::wstring LiveControlFile() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    return std::wstring(temp) + L"quorvel-live-controls.txt";
}

void WriteLiveControls() {
    const std::wstring path = LiveControlFile();
    const std::wstring next = path + L".next";
    {
        std::ofstream file{std::filesystem::path(next), std::ios::trunc};
        for (const auto& [name, value] : liveControls)
            file << std::filesystem::path(name).string() << '='
                 << std::filesystem::path(value).string() << '\n';
    }
    // The stand-in opens the file without delete sharing at every use, and while it has it open
    // the replacing rename fails: try again until the reader has let go.
    EXPECT_TRUE(WaitUntil([&] {
        return MoveFileExW(next.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
    })) << "the live control file could not be replaced";
    SetEnvironmentVariableW(L"QUORVEL_CONTROL_FILE", path.c_str());
}

}  // namespace

void SetLiveControl(const wchar_t* name, const wchar_t* value) {
    if (value == nullptr)
        liveControls.erase(name);
    else
        liveControls[name] = value;
    WriteLiveControls();
}

void ClearLiveControls() {
    liveControls.clear();
    WriteLiveControls();
}

Recording StartRecording(const wchar_t* name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    Recording recording;
    recording.frames = std::wstring(temp) + name;
    recording.log = recording.frames + L".log";
    CreateDirectoryW(recording.frames.c_str(), nullptr);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((recording.frames + L"\\*.raw").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do DeleteFileW((recording.frames + L"\\" + found.cFileName).c_str());
        while (FindNextFileW(search, &found));
        FindClose(search);
    }
    DeleteFileW(recording.log.c_str());
    SetCompositionControl(L"QUORVEL_COMPOSITION_FRAMES", recording.frames.c_str());
    SetCompositionControl(L"QUORVEL_COMPOSITION_LOG", recording.log.c_str());
    return recording;
}

Frame LatestFrame(const Recording& recording) {
    Frame latest;
    std::wstring latestName;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((recording.frames + L"\\frame-*.raw").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return latest;
    do {
        unsigned number = 0, swapChain = 0;
        if (swscanf(found.cFileName, L"frame-%u-swapchain-%u.raw", &number, &swapChain) == 2 &&
            number > latest.number) {
            latest.number = number;
            latest.swapChain = swapChain;
            latestName = found.cFileName;
        }
    } while (FindNextFileW(search, &found));
    FindClose(search);

    std::ifstream file(std::filesystem::path(recording.frames + L"\\" + latestName),
                       std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)),
                                  std::istreambuf_iterator<char>());
    latest.words.resize(bytes.size() / 2);
    for (std::size_t i = 0; i < latest.words.size(); ++i)
        latest.words[i] = static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                                     static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    return latest;
}

std::vector<std::string> Events(const Recording& recording, const char* prefix) {
    std::ifstream file{std::filesystem::path(recording.log)};
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        if (line.rfind(prefix, 0) == 0) lines.push_back(line);
    return lines;
}

int CountEvents(const Recording& recording, const char* prefix) {
    return static_cast<int>(Events(recording, prefix).size());
}

std::vector<std::uint16_t> ExpectedFrame(int screenWidth, int screenHeight, float hdrScale,
                                         bool deepBlack) {
    std::ifstream file(std::filesystem::path(SourceDir() + L"\\resources\\reticle.rgba"),
                       std::ios::binary);
    const std::vector<std::uint8_t> image((std::istreambuf_iterator<char>(file)),
                                          std::istreambuf_iterator<char>());
    if (image.size() != ReticleImageBytes) return {};
    const int m = ReferenceWidth(screenWidth, screenHeight);
    const int n = 2 * OverlayHalfSize(m);
    std::vector<std::uint16_t> words(static_cast<std::size_t>(n) * n * 4);
    RasterizeReticle(image.data(), n, m, hdrScale, deepBlack, words.data());
    return words;
}

int OverlaySide(int screenWidth, int screenHeight) {
    return 2 * OverlayHalfSize(ReferenceWidth(screenWidth, screenHeight));
}

Rgb ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

namespace {

double HalfValue(std::uint16_t word) {
    const int exponent = (word >> 10) & 0x1F;
    const int mantissa = word & 0x3FF;
    if (exponent == 0) return std::ldexp(mantissa, -24);
    return std::ldexp(mantissa + 1024, exponent - 25);
}

double SrgbEncode(double linear) {
    return linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
}

}  // namespace

Rgb DisplayedColour(const std::uint16_t* rgbaHalf) {
    const double alpha = std::min(HalfValue(rgbaHalf[3]), 1.0);
    if (alpha <= 0) return {0, 0, 0};
    int channels[3];
    for (int k = 0; k < 3; ++k) {
        const double straight = std::min(HalfValue(rgbaHalf[k]) / alpha, 1.0);
        channels[k] = static_cast<int>(std::lround(SrgbEncode(straight) * alpha * 255));
    }
    return {channels[0], channels[1], channels[2]};
}

bool Close(const Rgb& a, const Rgb& b, int tolerance) {
    return std::abs(a.red - b.red) <= tolerance && std::abs(a.green - b.green) <= tolerance &&
           std::abs(a.blue - b.blue) <= tolerance;
}

std::string Describe(const Rgb& colour) {
    char text[32];
    std::snprintf(text, sizeof text, "(%d, %d, %d)", colour.red, colour.green, colour.blue);
    return text;
}

bool StartWindowedGame(Process& game) {
    game = StartProcess(StandInGameExe(), L"--client 1280x720 --at 100,100");
    return WaitUntil([] {
        return StandInGameWindow() != nullptr && IsWindowVisible(StandInGameWindow());
    });
}

void EndInstanceAndGame(Process& instance, Process& game) {
    if (instance.handle != nullptr) {
        RunQuorvel(L"--exit");
        EXPECT_EQ(WaitForExitCode(instance), 0);
    }
    if (HWND window = StandInGameWindow()) PostMessageW(window, WM_CLOSE, 0, 0);
    if (game.handle != nullptr) WaitForExitCode(game);
}
