#include "tests/windows/model/Steps.h"

#include <cstdio>
#include <vector>

const Tail FirstStartTails[10] = {
    {L"", 108},          {L"--rainbow", 101}, {L"--black", 102},    {L"--show", 105},
    {L"--hide", 106},    {L"--exit", 107},    {L"--EXIT", 108},     {L"\"--hide\"", 108},
    {L"--hide ", 108},   {L"--exit --black", 108},
};
const Tail VerbTails[4] = {{L"--rainbow", 101}, {L"--black", 102}, {L"--show", 105}, {L"--hide", 106}};
const Tail NonVerbTails[6] = {{L"", 108},         {L"--EXIT", 108},         {L"\"--hide\"", 108},
                              {L"--hide ", 108},  {L"--exit --black", 108}, {L"--Black", 108}};
const char* const RegistryChanges[5] = {"dword 0", "dword 1", "dword 2", "text 1", "deleted"};

namespace {

const char* const KindNames[] = {
    "start",    "later",     "menu",    "exit",   "hotkey",     "game-front", "other-front",
    "minimise", "restore",   "move",    "resize", "close-game", "start-game", "burst",
    "taskbar",  "hdr",       "fail",    "fail-clear", "wait-retry", "registry",
};
static_assert(sizeof KindNames / sizeof KindNames[0] == static_cast<int>(StepKind::Count));

int Below(std::uint64_t (*next)(), int n) { return static_cast<int>(next() % static_cast<unsigned>(n)); }
int Between(std::uint64_t (*next)(), int low, int high) { return low + Below(next, high - low + 1); }

// A window position that puts the game's client centre at a point of the given monitor
// (NoMonitor: the area under the first monitor, which no monitor covers).
Step MoveTo(const GameView& game, int monitor, std::uint64_t (*next)()) {
    int x, y;
    if (monitor == NoMonitor) {
        x = Between(next, 40, 1880);
        y = Between(next, 1100, 1420);
    } else {
        const MonitorLayout& s = Monitors[monitor];
        x = Between(next, s.left + 40, s.left + s.width - 40);
        y = Between(next, s.top + 40, s.top + s.height - 40);
    }
    return {StepKind::Move, x - (game.centreX - game.windowLeft), y - (game.centreY - game.windowTop)};
}

}  // namespace

std::string StepToken(const Step& step) {
    char text[64];
    std::snprintf(text, sizeof text, "%s:%d:%d", KindNames[static_cast<int>(step.kind)], step.a,
                  step.b);
    return text;
}

bool ParseStep(const std::string& token, Step& step) {
    const std::size_t colon = token.find(':');
    const std::string name = token.substr(0, colon);
    for (int k = 0; k < static_cast<int>(StepKind::Count); ++k) {
        if (name != KindNames[k]) continue;
        step = Step{static_cast<StepKind>(k), 0, 0};
        if (colon != std::string::npos)
            std::sscanf(token.c_str() + colon + 1, "%d:%d", &step.a, &step.b);
        return true;
    }
    return false;
}

Step ChooseStep(const Model& m, const GameView& game, std::uint64_t (*next)()) {
    struct Choice {
        int weight;
        Step step;
    };
    std::vector<Choice> choices;
    auto add = [&](int weight, Step step) { choices.push_back({weight, step}); };
    const bool gameUp = game.exists && !game.iconic;
    const int here = MonitorAt(game.centreX, game.centreY);

    if (!m.running) {
        add(30, {StepKind::Start, Below(next, 10), 0});
    } else {
        add(10, {StepKind::Later, Below(next, 4), 0});
        add(4, {StepKind::Menu, Below(next, 6), Below(next, 6)});
        add(1, {StepKind::Exit, 0, 0});
        add(8, {StepKind::Hotkey, Below(next, 2), 0});
        add(3, {StepKind::Burst, Below(next, 4), Between(next, 1, 5)});
        add(1, {StepKind::Taskbar, 0, 0});
        add(2, {StepKind::Registry, Below(next, 5), Below(next, 10)});
    }
    if (gameUp) {
        add(game.inFront ? 2 : 10, {StepKind::GameFront, 0, 0});
        add(game.inFront ? 5 : 1, {StepKind::OtherFront, 0, 0});
        add(2, {StepKind::Minimise, 0, 0});
        add(6, MoveTo(game, here == NoMonitor ? 0 : here, next));
        add(6, MoveTo(game, here == 1 ? 0 : 1, next));
        add(1, MoveTo(game, NoMonitor, next));
        add(2, {StepKind::Resize, Between(next, 150, 500), Between(next, 20, 60)});
        add(3, {StepKind::Resize, Between(next, 200, 1400), Between(next, 100, 900)});
        add(1, {StepKind::CloseGame, 0, 0});
    }
    if (game.exists && game.iconic) add(10, {StepKind::Restore, 0, 0});
    if (!game.exists) add(12, {StepKind::StartGame, Between(next, 0, 3000), Between(next, 0, 800)});
    // Mostly bright outputs; 100, 90 and 80 nits are HDR10 too (scales 1.0, 0.9 and 4.0).
    static const int Nits[] = {0, 1000, 600, 400, 270, 100, 90, 80, 1000, 0};
    add(5, {StepKind::Hdr, Below(next, 2), Nits[Below(next, 10)]});
    add(3, {StepKind::Fail, Below(next, static_cast<int>(FailStep::Count)), 1});
    add(1, {StepKind::Fail, Below(next, static_cast<int>(FailStep::Count)), 0});
    if (m.failSet) add(m.failOnce ? 2 : 6, {StepKind::FailClear, 0, 0});
    // Not only while failed: whether a retry has come yet depends on timing, and the choices
    // must depend on the steps alone, so that a seed always gives the same run.
    if (m.running) add(2, {StepKind::WaitRetry, 0, 0});

    int total = 0;
    for (const Choice& c : choices) total += c.weight;
    int pick = Below(next, total);
    for (const Choice& c : choices) {
        if (pick < c.weight) return c.step;
        pick -= c.weight;
    }
    return choices.back().step;
}
