// A model of what quorvel.exe must show, written from its described behaviour and kept apart
// from the program's own decision code: the user's choices, the game as the program sees it,
// the graphics pipeline's identity and condition, and what the stand-in composition is told.
// The run (ModelRun.cpp) feeds it each step and compares its predictions with the real program.
// Windows-free.
#pragma once

#include <cstdint>
#include <string>

// The two monitors of the two-monitor session, side by side.
struct MonitorLayout {
    int left, top, width, height;
};
constexpr MonitorLayout Monitors[2] = {{0, 0, 1920, 1080}, {1920, 0, 2560, 1440}};
constexpr int NoMonitor = -1;

// The monitor that holds a screen point, or NoMonitor (the area under the first monitor).
int MonitorAt(int x, int y);
// The reference width of a monitor: the widest 16:9 area on it.
int ModelReferenceWidth(int monitor);
// The side of the square overlay: 32 pixels of half side per 1920 of reference width, up.
int ModelOverlaySide(int referenceWidth);
// The brightness for an HDR10 output that reports maxNits; SDR outputs get 1.
float ModelHdrScale(bool hdr10, float maxNits);

// The composition steps the stand-in can be told to fail.
enum class FailStep { SwapChain, Device, Target, Visual, Commit, Present, Count };
const char* FailStepName(FailStep step);

// What the world outside the program looks like to the program (read from the real windows).
struct GameView {
    bool exists = false;
    bool inFront = false;  // it is the foreground window
    bool iconic = false;
    bool visible = false;
    int clientWidth = 0, clientHeight = 0;
    int centreX = 0, centreY = 0;  // the client centre on the screen
    int windowLeft = 0, windowTop = 0;  // the window's top-left corner
};

struct Model {
    // The program
    bool running = false;
    bool deepBlack = false;
    bool hidden = false;
    bool gameActive = false;
    // The pipeline
    int currentMonitor = NoMonitor;  // built for; NoMonitor also after a reset
    int builtMonitor = NoMonitor;    // what the last build was for (a reset does not forget it)
    int referenceWidth = 0;
    int overlaySide = 0;
    bool built = false;     // a build has run in this process
    bool failed = false;    // graphicsStatus < 0
    bool uploaded = false;  // contentUploaded
    bool retryDue = false;  // the retry time of the failure has certainly passed
    std::uint64_t retryLo = 0, retryHi = 0;  // bounds of retryAfterTick on the shared clock
    float hdrScale = 1.0f;
    // What the stand-in is told
    float outputNits[2] = {-1.0f, -1.0f};  // HDR10 with this MaxLuminance; negative: SDR
    bool failSet = false;
    FailStep failStep = FailStep::Present;
    bool failOnce = false;
    bool onceFired = false;  // in the running process
    // The registry value "Black": -1 none (or not a DWORD), otherwise the DWORD
    long long stored = -1;
    // Counters over the whole run, as the stand-in logs them
    int builds = 0;
    int uploads = 0;
    // The last committed frame
    bool hasFrame = false;
    int frameSide = 0, frameReferenceWidth = 0;
    float frameScale = 1.0f;
    bool frameDeepBlack = false;
};

// A first instance starts with one command id (101, 102, 105, 106; 108 for "no verb" and
// 107 for "--exit", which ends at once); the stored value decides the colour mode first.
void ModelStart(Model& m, int commandId, const GameView& game, std::uint64_t now);
// A command carried out by the running instance (from a later start, a hotkey or the menu);
// 108 opens the menu and changes nothing itself. Followed by a refresh, except for 107 and 108.
void ModelCommand(Model& m, int commandId, const GameView& game, std::uint64_t now);
// A refresh of the overlay with what the game looks like now; resetMonitor forgets the
// monitor the pipeline was built for.
void ModelRefresh(Model& m, const GameView& game, bool resetMonitor, std::uint64_t now);
// The program ended (by --exit or the menu's Exit).
void ModelExit(Model& m);
// Colour commands write the mode; this is what the registry then holds.
void ModelStoreMode(Model& m);

// What the program must show.
std::wstring ExpectedStatus(const Model& m);
struct ReticleExpectation {
    bool visible = false;
    int left = 0, top = 0, side = 0;
};
ReticleExpectation ExpectedReticle(const Model& m, const GameView& game);
