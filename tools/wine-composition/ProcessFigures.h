// This process's handle count and private memory, as Wine can give them: GetProcessHandleCount,
// GetProcessMemoryInfo and GetGuiResources answer 0 there, so the handles are counted in the
// system's handle table and the private bytes are summed over the committed private regions.
#pragma once

struct ProcessFigures {
    unsigned long handles = 0;             // 0 when unknown
    unsigned long long privateBytes = 0;   // 0 when unknown
    unsigned long gdiObjects = 0;
    unsigned long userObjects = 0;
};

ProcessFigures MeasureProcess();
