// The steps of a model run: what each one does to the world, written as a token that a
// --replay line can carry ("menu:2:4"), and a weighted random choice of the next one.
#pragma once

#include <cstdint>
#include <string>

#include "tests/windows/model/Model.h"

enum class StepKind {
    Start,       // a first start: a = index into FirstStartTails
    Later,       // a later start with a verb: a = index into VerbTails
    Menu,        // a later start without a verb opens the menu: a = NonVerbTails, b = downs (0: Escape)
    Exit,        // a later start with --exit
    Hotkey,      // a = 0 Ctrl+Alt+W, 1 Ctrl+Alt+H
    GameFront,
    OtherFront,  // a window of another program to the front
    Minimise,
    Restore,
    Move,        // the game's window to a, b (its top-left corner)
    Resize,      // the game's client area to a x b
    CloseGame,
    StartGame,   // at a, b
    Burst,       // a = 0 display, 1 settings, 2 device changes, 3 a mix; b messages 100 ms apart
    Taskbar,     // "TaskbarCreated"
    Hdr,         // output a reports HDR10 with b nits; b = 0: SDR
    Fail,        // composition step a fails; b = 1 once, 0 until cleared
    FailClear,
    WaitRetry,   // waits for the retry of a failed pipeline
    Registry,    // the stored value changed (a = RegistryChanges), the program ended and
                 // started again with FirstStartTails[b]
    Count
};

struct Step {
    StepKind kind = StepKind::Start;
    int a = 0, b = 0;
};

struct Tail {
    const wchar_t* text;
    int commandId;  // what the program makes of it
};
extern const Tail FirstStartTails[10];
extern const Tail VerbTails[4];
extern const Tail NonVerbTails[6];
constexpr int MenuItems[6] = {0, 101, 102, 103, 104, 107};  // by presses of Down; 0: dismissed
extern const char* const RegistryChanges[5];

std::string StepToken(const Step& step);
bool ParseStep(const std::string& token, Step& step);

// The next step for this state, drawn with the given random numbers.
Step ChooseStep(const Model& m, const GameView& game, std::uint64_t (*next)());
