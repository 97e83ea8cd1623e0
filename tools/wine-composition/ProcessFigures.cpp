#include "tools/wine-composition/ProcessFigures.h"

#include <windows.h>
#include <winternl.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

// The layout of SystemHandleInformation (class 16), which the headers leave out.
struct HandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ULONG access;
};
struct HandleTable {
    ULONG count;
    HandleEntry entries[1];
};
constexpr SYSTEM_INFORMATION_CLASS SystemHandleInformationClass =
    static_cast<SYSTEM_INFORMATION_CLASS>(16);

unsigned long CountOwnHandles() {
    std::vector<unsigned char> buffer(1 << 20);
    for (int attempt = 0; attempt < 6; ++attempt) {
        ULONG needed = 0;
        const NTSTATUS status = NtQuerySystemInformation(
            SystemHandleInformationClass, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status >= 0) {
            const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
            const ULONG self = GetCurrentProcessId();
            unsigned long own = 0;
            for (ULONG i = 0; i < table->count; ++i)
                if (table->entries[i].ownerPid == self) ++own;
            return own;
        }
        buffer.resize(buffer.size() * 2);
    }
    return 0;
}

// RssAnon of /proc/self/status: the memory only this process holds, resident.
unsigned long long AnonymousResidentBytes() {
    FILE* file = std::fopen("Z:\\proc\\self\\status", "r");
    if (file == nullptr) return 0;
    char line[256];
    unsigned long long kib = 0;
    while (std::fgets(line, sizeof line, file) != nullptr)
        if (std::sscanf(line, "RssAnon: %llu kB", &kib) == 1) break;
    std::fclose(file);
    return kib * 1024;
}

}  // namespace

ProcessFigures MeasureProcess() {
    ProcessFigures figures;
    figures.handles = CountOwnHandles();
    figures.privateBytes = AnonymousResidentBytes();
    figures.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    figures.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    return figures;
}
