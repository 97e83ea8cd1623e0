// The program's import table, rewritten in place: the stand-in's hooks take the place of
// functions quorvel.exe imports, so the program itself runs unchanged.
#pragma once

#include <windows.h>

#include <functional>

// Writes one pointer into read-only memory (an import table or a function table).
void WritePointer(void** slot, void* value);

// Calls visit(dll, function, slot) for each import of module taken by name; slot is the entry
// the module calls the function through.
void ForEachImport(HMODULE module,
                   const std::function<void(const char* dll, const char* function, void** slot)>& visit);
