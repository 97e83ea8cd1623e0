// The C form of the interfaces: their tables are plain structs whose member offsets give the
// slot numbers. Kept to this file, which has no C++ view of the same interfaces.
#define CINTERFACE
#define COBJMACROS
#include <dxgi1_6.h>

#include <cstddef>

#include "tools/wine-composition/VtableSlots.h"

const int CreateSwapChainForCompositionSlot =
    offsetof(IDXGIFactory2Vtbl, CreateSwapChainForComposition) / sizeof(void*);
const int OutputGetDesc1Slot = offsetof(IDXGIOutput6Vtbl, GetDesc1) / sizeof(void*);
