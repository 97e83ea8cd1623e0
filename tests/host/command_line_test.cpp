#include <gtest/gtest.h>

#include <string>

#include "app/CommandLine.h"
#include "app/Ids.h"

namespace {

struct TailCase {
    const wchar_t* commandLine;
    const wchar_t* tail;
    int command;
};

// What a start sees from its whole command line: the tail after the program name, and the
// command that tail asks for.
const TailCase tailCases[] = {
    {L"quorvel.exe --rainbow", L"--rainbow", CmdRainbow},
    {L"quorvel.exe --black", L"--black", CmdDeepBlack},
    {L"quorvel.exe --show", L"--show", CmdShowWings},
    {L"quorvel.exe --hide", L"--hide", CmdHideWings},
    {L"quorvel.exe --exit", L"--exit", CmdExit},
    // A quoted path with blanks belongs to the name.
    {L"\"C:\\Program Files\\Quorvel\\quorvel.exe\" --hide", L"--hide", CmdHideWings},
    // Quotes toggle anywhere in the name, not only around it.
    {L"C:\\My\" \"Tools\\quorvel.exe --black", L"--black", CmdDeepBlack},
    // Any character 1..32 separates, and all of them after the name are skipped.
    {L"quorvel.exe\t--show", L"--show", CmdShowWings},
    {L"quorvel.exe \t \x01\x1f--show", L"--show", CmdShowWings},
    // Only the name and the separators after it go: the rest stays as it is.
    {L"quorvel.exe --exit ", L"--exit ", CmdShowMenu},
    {L"quorvel.exe \"--exit\"", L"\"--exit\"", CmdShowMenu},
    {L"quorvel.exe --exit --black", L"--exit --black", CmdShowMenu},
    {L"quorvel.exe --EXIT", L"--EXIT", CmdShowMenu},
    {L"quorvel.exe --Rainbow", L"--Rainbow", CmdShowMenu},
    {L"quorvel.exe -exit", L"-exit", CmdShowMenu},
    {L"quorvel.exe --exi", L"--exi", CmdShowMenu},
    {L"quorvel.exe --hidden", L"--hidden", CmdShowMenu},
    // Just the name, with or without blanks after it.
    {L"quorvel.exe", L"", CmdShowMenu},
    {L"quorvel.exe   ", L"", CmdShowMenu},
    {L"\"C:\\Program Files\\Quorvel\\quorvel.exe\"", L"", CmdShowMenu},
    {L"", L"", CmdShowMenu},
    // An unclosed quote runs to the end of the line: all of it is the name.
    {L"\"C:\\Quorvel\\quorvel.exe --hide", L"", CmdShowMenu},
};

TEST(CommandLine, TailAndCommandOfEachLine) {
    for (const TailCase& c : tailCases) {
        const std::wstring line = c.commandLine;
        SCOPED_TRACE(std::string(line.begin(), line.end()));
        const wchar_t* tail = CommandLineTail(c.commandLine);
        EXPECT_EQ(std::wstring(tail), std::wstring(c.tail));
        EXPECT_EQ(CommandIdForTail(tail), c.command);
    }
}

TEST(CommandLine, TailPointsIntoTheLine) {
    const wchar_t* line = L"quorvel.exe  --hide";
    EXPECT_EQ(CommandLineTail(line), line + 13);
}

TEST(CommandLine, NoCommandLineIsTheEmptyTail) {
    EXPECT_STREQ(CommandLineTail(nullptr), L"");
    EXPECT_EQ(CommandIdForTail(CommandLineTail(nullptr)), CmdShowMenu);
}

}  // namespace
