#include "tools/wine-composition/ProcessFigures.h"

#include <windows.h>
#include <winternl.h>

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

// Committed memory of this process that no other process shares: what Windows calls private
// bytes, summed over the address space.
unsigned long long CommittedPrivateBytes() {
    unsigned long long total = 0;
    MEMORY_BASIC_INFORMATION region;
    for (const char* address = nullptr;
         VirtualQuery(address, &region, sizeof region) == sizeof region;
         address = static_cast<const char*>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
    }
    return total;
}

}  // namespace

ProcessFigures MeasureProcess() {
    ProcessFigures figures;
    figures.handles = CountOwnHandles();
    figures.privateBytes = CommittedPrivateBytes();
    figures.gdiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    figures.userObjects = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    return figures;
}
