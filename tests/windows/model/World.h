// The real world of a model run under Wine: quorvel.exe with the composition stand-in, the
// stand-in game, a window of another program, the stand-in's controls and event log. Performs
// the steps and reads what the program shows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/windows/model/Model.h"
#include "tests/windows/model/Steps.h"
#include "tests/windows/support/WineTest.h"

struct RunPaths {
    std::wstring exe;     // quorvel.exe, beside the stand-in dcomp.dll
    std::wstring game;    // the stand-in game, Overwatch.exe
    std::wstring source;  // the source tree (for the reticle image)
};

// What the program shows, as read from outside.
struct Observation {
    bool running = false;
    std::wstring title;
    bool visible = false;
    RECT rect = {};
    int builds = 0;   // "factory" lines of the stand-in's log
    int uploads = 0;  // "getbuffer" lines
    long long stored = -1;
};

struct World {
    RunPaths paths;
    Process instance;  // the first instance, while it runs
    Process game;
    HWND other = nullptr;
    std::wstring framesFolder, logFile;
    std::size_t logOffset = 0;
    int builds = 0, uploads = 0;
    unsigned long long lastSync = 0, syncsSent = 0;
    unsigned failArms = 0;  // each arming of a failure gets a code of its own
    std::string precondition;  // set when a step could not bring about what it needs
};

// Two monitors and two DXGI outputs as the session promises; false with a description if not.
bool CheckTwoMonitors(std::string& description);

void PrepareWorld(World& world);
void EndWorld(World& world);

GameView ViewGame(const World& world);
Observation Observe(World& world);

// Waits until the program has handled everything posted to it so far (twice over, so that
// what it posts to itself meanwhile is handled too). False if no marker came back.
bool Synchronise(World& world);

// Carries out the step on the real world and tells the model what the program was given.
// now is the shared clock at the start of the step.
void PerformStep(World& world, Model& model, const Step& step, std::uint64_t now);

// The latest committed frame (empty when there is none).
std::vector<std::uint16_t> LatestFrameWords(const World& world);
