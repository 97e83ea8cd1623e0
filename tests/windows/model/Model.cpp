#include "tests/windows/model/Model.h"

#include <cmath>
#include <limits>

namespace {

constexpr std::uint64_t RetryDelayMs = 3000;
constexpr std::uint64_t Unknown = std::numeric_limits<std::uint64_t>::max();

// Whether this call of a composition step fails, as the stand-in decides it: a lasting
// failure always, a one-off one the first time after it was set in this process.
bool StepFails(Model& m, FailStep step) {
    if (!m.failSet || m.failStep != step) return false;
    if (!m.failOnce) return true;
    if (m.onceFired) return false;
    m.onceFired = true;
    return true;
}

void Failed(Model& m, std::uint64_t now) {
    m.failed = true;
    m.retryDue = false;
    m.retryLo = now + RetryDelayMs;
    m.retryHi = Unknown;  // known once the step has been seen to end
}

// The build runs the stand-in's steps in the program's order; the first failure ends it.
void Build(Model& m, int monitor, int referenceWidth, std::uint64_t now) {
    ++m.builds;
    m.built = true;
    m.currentMonitor = monitor;
    m.builtMonitor = monitor;
    m.referenceWidth = referenceWidth;
    m.overlaySide = ModelOverlaySide(referenceWidth);
    const float nits = m.outputNits[monitor];
    m.hdrScale = ModelHdrScale(nits >= 0.0f, nits);
    m.uploaded = false;
    m.failed = false;
    m.retryDue = false;
    for (FailStep step : {FailStep::SwapChain, FailStep::Device, FailStep::Target,
                          FailStep::Visual, FailStep::Commit}) {
        if (StepFails(m, step)) {
            Failed(m, now);
            return;
        }
    }
}

// The upload presents and commits one frame; a failure leaves the last good frame showing.
void Upload(Model& m, std::uint64_t now) {
    ++m.uploads;
    m.uploaded = true;
    if (StepFails(m, FailStep::Present) || StepFails(m, FailStep::Commit)) {
        Failed(m, now);
        return;
    }
    m.hasFrame = true;
    m.frameSide = m.overlaySide;
    m.frameReferenceWidth = m.referenceWidth;
    m.frameScale = m.hdrScale;
    m.frameDeepBlack = m.deepBlack;
}

bool GameActive(const GameView& game) {
    return game.exists && game.inFront && !game.iconic && game.visible && game.clientWidth > 0 &&
           game.clientHeight > 0 && MonitorAt(game.centreX, game.centreY) != NoMonitor;
}

void SetColour(Model& m, bool deepBlack) {
    m.deepBlack = deepBlack;
    m.hidden = false;
    m.uploaded = false;
    ModelStoreMode(m);
}

}  // namespace

int MonitorAt(int x, int y) {
    for (int i = 0; i < 2; ++i) {
        const MonitorLayout& s = Monitors[i];
        if (x >= s.left && x < s.left + s.width && y >= s.top && y < s.top + s.height) return i;
    }
    return NoMonitor;
}

int ModelReferenceWidth(int monitor) {
    const MonitorLayout& s = Monitors[monitor];
    const int widest = s.height * 16 / 9;
    return widest < s.width ? widest : s.width;
}

int ModelOverlaySide(int referenceWidth) {
    return 2 * static_cast<int>(std::ceil(32.0 * referenceWidth / 1920.0));
}

float ModelHdrScale(bool hdr10, float maxNits) {
    if (!hdr10) return 1.0f;
    float target = maxNits > 80.0f ? maxNits * 0.8f : 320.0f;
    if (target > 480.0f) target = 480.0f;
    return target / 80.0f;
}

const char* FailStepName(FailStep step) {
    static const char* const names[] = {"swapchain", "device", "target",
                                        "visual",    "commit", "present"};
    return names[static_cast<int>(step)];
}

void ModelRefresh(Model& m, const GameView& game, bool resetMonitor, std::uint64_t now) {
    if (!m.running) return;
    m.gameActive = GameActive(game);
    if (resetMonitor) m.currentMonitor = NoMonitor;
    if (!m.gameActive || m.hidden) return;
    const int monitor = MonitorAt(game.centreX, game.centreY);
    const int referenceWidth = ModelReferenceWidth(monitor);
    if (monitor != m.currentMonitor || referenceWidth != m.referenceWidth ||
        (m.failed && m.retryDue))
        Build(m, monitor, referenceWidth, now);
    if (!m.failed && !m.uploaded) Upload(m, now);
}

void ModelStoreMode(Model& m) { m.stored = m.deepBlack ? 1 : 0; }

void ModelCommand(Model& m, int commandId, const GameView& game, std::uint64_t now) {
    if (!m.running) return;
    switch (commandId) {
    case 101: SetColour(m, false); break;
    case 102: SetColour(m, true); break;
    case 103: SetColour(m, !m.deepBlack); break;
    case 104: m.hidden = !m.hidden; break;
    case 105: m.hidden = false; break;
    case 106: m.hidden = true; break;
    case 107: ModelExit(m); return;
    case 108: return;  // the menu; what is chosen there comes as a command of its own
    default: break;
    }
    ModelRefresh(m, game, false, now);
}

void ModelStart(Model& m, int commandId, const GameView& game, std::uint64_t now) {
    if (m.running || commandId == 107) return;
    Model fresh;
    fresh.outputNits[0] = m.outputNits[0];
    fresh.outputNits[1] = m.outputNits[1];
    fresh.failSet = m.failSet;
    fresh.failStep = m.failStep;
    fresh.failOnce = m.failOnce;
    fresh.stored = m.stored;
    fresh.builds = m.builds;
    fresh.uploads = m.uploads;
    fresh.running = true;
    fresh.deepBlack = m.stored > 0;  // any non-zero DWORD; anything else is Rainbow
    m = fresh;
    if (commandId == 108)
        ModelRefresh(m, game, false, now);
    else
        ModelCommand(m, commandId, game, now);
}

void ModelExit(Model& m) {
    m.running = false;
    m.gameActive = false;
    m.hasFrame = false;  // the frames of a process are its own
}

std::wstring ExpectedStatus(const Model& m) {
    if (!m.running) return L"";
    if (m.hidden) return L"Hidden";
    if (!m.gameActive) return L"Waiting for Overwatch";
    if (m.failed) return L"Display unavailable";
    if (m.deepBlack) return L"Deep Black";
    if (m.hdrScale > 1.0f) return L"HDR Rainbow";
    return L"Rainbow";
}

ReticleExpectation ExpectedReticle(const Model& m, const GameView& game) {
    ReticleExpectation r;
    r.visible = m.running && m.gameActive && !m.hidden && m.built && !m.failed &&
                game.clientWidth >= m.overlaySide && game.clientHeight >= m.overlaySide;
    if (!r.visible) return r;
    r.side = m.overlaySide;
    r.left = game.centreX - m.overlaySide / 2;
    r.top = game.centreY - m.overlaySide / 2;
    return r;
}
