// Running the real quorvel.exe under Wine with the composition stand-in, and looking at what
// it shows: the screen, the committed frames, the stand-in's event log.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/windows/support/WineTest.h"

// The folder with quorvel.exe beside the stand-in dcomp.dll.
std::wstring CompositionRunFolder();
Process StartQuorvelWithStandIn(const std::wstring& arguments = L"");

// Sets or (value null) clears one of the stand-in's QUORVEL_COMPOSITION_* controls for the
// processes started afterwards.
void SetCompositionControl(const wchar_t* name, const wchar_t* value);

// Sets (value null: removes) a control in the live control file, which a stand-in started after
// the first call reads at every use, so the change reaches a program that is already running.
// The file is replaced in one rename, so the stand-in never reads half of it.
void SetLiveControl(const wchar_t* name, const wchar_t* value);
// Empties the live control file: the environment's controls apply again.
void ClearLiveControls();

// A fresh, empty folder for frames and a fresh event log, both handed to the stand-in.
struct Recording {
    std::wstring frames;
    std::wstring log;
};
Recording StartRecording(const wchar_t* name);

struct Frame {
    std::vector<std::uint16_t> words;
    unsigned number = 0;     // 0: no frame yet
    unsigned swapChain = 0;  // which swap chain of the process showed it
};
Frame LatestFrame(const Recording& recording);
// Lines of the log that start with prefix ("swapchain ", "commit "), and their count.
std::vector<std::string> Events(const Recording& recording, const char* prefix);
int CountEvents(const Recording& recording, const char* prefix);

// What the program must upload for this screen, scale and mode.
std::vector<std::uint16_t> ExpectedFrame(int screenWidth, int screenHeight, float hdrScale,
                                         bool deepBlack);
int OverlaySide(int screenWidth, int screenHeight);

// Starts the stand-in game windowed, 1280 x 720 at 100,100; true once its window shows.
bool StartWindowedGame(Process& game);
// Ends the instance (if one was started) with "--exit", expecting 0, then closes the game.
void EndInstanceAndGame(Process& instance, Process& game);

struct Rgb {
    int red, green, blue;
};
Rgb ScreenPixel(int x, int y);
// What an SDR screen shows for one uploaded pixel (linear premultiplied half words) on Xvfb,
// where a partly covered pixel is drawn as its premultiplied colour over black.
Rgb DisplayedColour(const std::uint16_t* rgbaHalf);
bool Close(const Rgb& a, const Rgb& b, int tolerance = 3);
std::string Describe(const Rgb& colour);

// The game's own background colour.
constexpr Rgb GameBackground = {28, 34, 44};
