// The command line: the tail after the program name, and the one verb it may hold.
// Windows-free: the rules here are the program's own, not any C runtime's.
#pragma once

// The command line without the program name and the separators after it. The name runs to
// the first character 1..32 outside double quotes; each quote toggles quoting and belongs to
// the name; nothing escapes. The tail is returned unchanged (quotes, inner and trailing blanks
// stay), as a pointer into commandLine; a null command line gives the empty tail.
const wchar_t* CommandLineTail(const wchar_t* commandLine);

// The command id of a tail: "--rainbow", "--black", "--show", "--hide" and "--exit" compared
// whole and case-sensitively; anything else is CmdShowMenu. Touches no thread state, so the
// caller's last-error value survives it.
int CommandIdForTail(const wchar_t* tail);
