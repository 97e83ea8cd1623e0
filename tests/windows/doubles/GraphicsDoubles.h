// Test doubles of the three graphics entry points the pipeline calls directly:
// CreateDXGIFactory1, D3D11CreateDevice and DCompositionCreateDevice. A test program that
// compiles GraphicsDoubles.cpp into itself gets these in place of the system libraries' (object
// files win over import libraries), so the program's code runs unchanged against them.
//
// The factory, adapters, outputs, swap chain, device and composition objects are fakes that
// count their references, record every call in order with its arguments and fail any step on
// request. The device context and the swap chain's back buffer are real Wine objects, so the
// program's UpdateSubresource really copies and the test can read the pixels back.
#pragma once

#include <windows.h>
#include <d3d11.h>
#include <dxgi1_2.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

struct OutputSetup {
    HMONITOR monitor = nullptr;     // what GetDesc reports
    int colorSpace = 0;             // GetDesc1's ColorSpace (12 is HDR10)
    float maxLuminance = 0.0f;      // GetDesc1's MaxLuminance
    HRESULT getDescResult = S_OK;
    bool hasOutput6 = true;         // false: QueryInterface for IDXGIOutput6 fails
    HRESULT getDesc1Result = S_OK;
};

struct AdapterSetup {
    std::vector<OutputSetup> outputs;
    HRESULT enumOutputsResult = S_OK;  // a failure here ends this adapter's outputs at once
};

struct DeviceCall {
    std::string adapter;  // name of the fake adapter passed, "null" for none
    D3D_DRIVER_TYPE driverType;
    HMODULE software;
    UINT flags;
    const D3D_FEATURE_LEVEL* featureLevels;
    UINT featureLevelCount;
    UINT sdkVersion;
    bool wantsDevice;
    bool wantsFeatureLevel;
    bool wantsContext;
};

struct GraphicsDoublesRecord {
    // Set by the test before a build.
    std::vector<AdapterSetup> adapters;
    // A step name ("CreateSwapChainForComposition", "Commit", ...) fails every such call with
    // the HRESULT; "Step#n" fails only the n-th call of that step since the last reset.
    std::map<std::string, HRESULT> failures;

    // Recorded: every call, and the last Release of every fake ("Release swap chain"), in order.
    std::vector<std::string> calls;
    std::map<std::string, int> callCounts;
    IID factoryIid = {};
    std::vector<DeviceCall> deviceCalls;
    DXGI_SWAP_CHAIN_DESC1 swapChainDesc = {};
    IUnknown* swapChainDevice = nullptr;
    IDXGIOutput* swapChainRestrictToOutput = nullptr;
    IUnknown* deviceHandedOut = nullptr;        // the fake ID3D11Device of the last success
    IDXGIDevice* dxgiDeviceHandedOut = nullptr;
    IDXGIDevice* compositionDxgiDevice = nullptr;  // DCompositionCreateDevice's arguments
    IID compositionIid = {};
    HWND targetWindow = nullptr;
    BOOL targetTopmost = FALSE;
    IUnknown* swapChainHandedOut = nullptr;
    IUnknown* visualHandedOut = nullptr;
    IUnknown* visualContent = nullptr;  // SetContent's argument
    IUnknown* targetRoot = nullptr;     // SetRoot's argument
    UINT getBufferIndex = 99;
    IID getBufferIid = {};
    UINT presentSyncInterval = 99;
    UINT presentFlags = 99;
};

extern GraphicsDoublesRecord Doubles;

// Forgets the fakes and the record, and sets up one adapter with one output on monitor.
// Call it only when the program holds none of the fakes any more.
void ResetDoubles(HMONITOR monitor);

int CallCount(const std::string& step);

// Names of the objects whose references do not balance: fakes still referenced or released
// once too often, and real context or back buffer still held by the program.
std::vector<std::string> UnbalancedObjects();

// The words of the last swap chain's back buffer (red, green, blue, alpha half floats per
// pixel, rows packed), read back through the real device; empty when there is none.
std::vector<std::uint16_t> ReadBackBuffer();
