#include "app/CommandLine.h"

#include <cwchar>

#include "app/Ids.h"

namespace {
bool IsSeparator(wchar_t c) { return c >= 1 && c <= 32; }
}  // namespace

const wchar_t* CommandLineTail(const wchar_t* commandLine) {
    if (commandLine == nullptr) return L"";
    const wchar_t* p = commandLine;
    bool quoted = false;
    for (; *p != L'\0'; ++p) {
        if (*p == L'"') quoted = !quoted;
        else if (!quoted && IsSeparator(*p)) break;
    }
    while (IsSeparator(*p)) ++p;
    return p;
}

int CommandIdForTail(const wchar_t* tail) {
    static constexpr struct {
        const wchar_t* verb;
        int command;
    } verbs[] = {
        {L"--rainbow", CmdRainbow}, {L"--black", CmdDeepBlack}, {L"--show", CmdShowWings},
        {L"--hide", CmdHideWings},  {L"--exit", CmdExit},
    };
    for (const auto& v : verbs)
        if (std::wcscmp(tail, v.verb) == 0) return v.command;
    return CmdShowMenu;
}
