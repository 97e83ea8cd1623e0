// Positions of the two platform methods the stand-in replaces in Wine's DXGI function tables,
// taken from the headers' C layout of those tables rather than counted by hand.
#pragma once

extern const int CreateSwapChainForCompositionSlot;  // in IDXGIFactory2's table
extern const int OutputGetDesc1Slot;                  // in IDXGIOutput6's table
