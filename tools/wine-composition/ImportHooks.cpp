// Hands the program's composition swap chains and HDR output descriptions to the stand-in.
//
// Loading: the program imports DCompositionCreateDevice, so this DLL is loaded with it. Its
// DllMain only rewrites the program's import entries for the DXGI factory functions (and, for
// the platform faults, those of PlatformFaults.h), and installs the sync marker's hook on the
// loading thread (SyncMarker.h); the first
// factory made through them patches the function table that Wine's factories share, and the one
// its outputs share, outside the loader lock. The patched output description reports HDR10
// only while the HDR control of that output is set. Each factory made is logged: the program
// makes one per pipeline build.
#include <windows.h>
#include <dxgi1_6.h>
#include <wrl/client.h>

#include <cstring>

#include "tools/wine-composition/Controls.h"
#include "tools/wine-composition/ImportTable.h"
#include "tools/wine-composition/PlatformFaults.h"
#include "tools/wine-composition/SwapChain.h"
#include "tools/wine-composition/SyncMarker.h"
#include "tools/wine-composition/VtableSlots.h"

using Microsoft::WRL::ComPtr;

namespace {

using CreateFactoryFn = HRESULT(WINAPI*)(REFIID, void**);
using CreateFactory2Fn = HRESULT(WINAPI*)(UINT, REFIID, void**);
using CreateSwapChainForCompositionFn = HRESULT(STDMETHODCALLTYPE*)(
    IDXGIFactory2*, IUnknown*, const DXGI_SWAP_CHAIN_DESC1*, IDXGIOutput*, IDXGISwapChain1**);
using GetDesc1Fn = HRESULT(STDMETHODCALLTYPE*)(IDXGIOutput6*, DXGI_OUTPUT_DESC1*);

CreateFactoryFn originalCreateFactory = nullptr;
CreateFactoryFn originalCreateFactory1 = nullptr;
CreateFactory2Fn originalCreateFactory2 = nullptr;
CreateSwapChainForCompositionFn originalCreateSwapChain = nullptr;
GetDesc1Fn originalGetDesc1 = nullptr;

HRESULT STDMETHODCALLTYPE CreateSwapChainForComposition(IDXGIFactory2* factory, IUnknown* device,
                                                        const DXGI_SWAP_CHAIN_DESC1* desc,
                                                        IDXGIOutput* restrictToOutput,
                                                        IDXGISwapChain1** swapChain) {
    const HRESULT injected = InjectedFailure(Step::SwapChain);
    if (FAILED(injected)) {
        if (swapChain != nullptr) *swapChain = nullptr;
        return injected;
    }
    // A Wine that makes composition swap chains itself keeps doing so.
    const HRESULT hr =
        originalCreateSwapChain(factory, device, desc, restrictToOutput, swapChain);
    if (hr != E_NOTIMPL) return hr;
    return CreateStandInSwapChain(device, desc, swapChain);
}

HRESULT STDMETHODCALLTYPE GetDesc1(IDXGIOutput6* output, DXGI_OUTPUT_DESC1* desc) {
    const HRESULT hr = originalGetDesc1(output, desc);
    if (FAILED(hr)) return hr;
    const float luminance = ReportedHdrLuminance(desc->DeviceName);
    if (luminance < 0.0f) return hr;
    desc->ColorSpace = DXGI_COLOR_SPACE_RGB_FULL_G2084_NONE_P2020;  // the HDR10 signal
    desc->MaxLuminance = luminance;
    return hr;
}

void PatchOutputTable(IDXGIFactory2* factory) {
    ComPtr<IDXGIAdapter1> adapter;
    ComPtr<IDXGIOutput> output;
    ComPtr<IDXGIOutput6> output6;
    if (FAILED(factory->EnumAdapters1(0, &adapter)) || FAILED(adapter->EnumOutputs(0, &output)) ||
        FAILED(output.As(&output6)))
        return;
    void** table = *reinterpret_cast<void***>(output6.Get());
    originalGetDesc1 = reinterpret_cast<GetDesc1Fn>(table[OutputGetDesc1Slot]);
    WritePointer(&table[OutputGetDesc1Slot], reinterpret_cast<void*>(&GetDesc1));
}

// Wine's factories and outputs each share one function table, so patching the tables of the
// first ones covers every later one.
// made is a factory under whichever interface was asked for; all of them begin with IUnknown.
void PatchTables(void* made) {
    if (originalCreateSwapChain != nullptr || made == nullptr) return;
    ComPtr<IUnknown> unknown(static_cast<IUnknown*>(made));
    ComPtr<IDXGIFactory2> factory;
    if (FAILED(unknown.As(&factory))) return;
    void** table = *reinterpret_cast<void***>(factory.Get());
    originalCreateSwapChain =
        reinterpret_cast<CreateSwapChainForCompositionFn>(table[CreateSwapChainForCompositionSlot]);
    WritePointer(&table[CreateSwapChainForCompositionSlot],
                 reinterpret_cast<void*>(&CreateSwapChainForComposition));
    PatchOutputTable(factory.Get());
}

HRESULT WINAPI CreateFactoryHook(REFIID iid, void** factory) {
    const HRESULT hr = originalCreateFactory(iid, factory);
    if (SUCCEEDED(hr)) PatchTables(*factory);
    LogEvent("factory 0x%08lX", static_cast<unsigned long>(hr));
    return hr;
}

HRESULT WINAPI CreateFactory1Hook(REFIID iid, void** factory) {
    const HRESULT hr = originalCreateFactory1(iid, factory);
    if (SUCCEEDED(hr)) PatchTables(*factory);
    LogEvent("factory 0x%08lX", static_cast<unsigned long>(hr));
    return hr;
}

HRESULT WINAPI CreateFactory2Hook(UINT flags, REFIID iid, void** factory) {
    const HRESULT hr = originalCreateFactory2(flags, iid, factory);
    if (SUCCEEDED(hr)) PatchTables(*factory);
    LogEvent("factory 0x%08lX", static_cast<unsigned long>(hr));
    return hr;
}

// Points the program's import of name from dxgi.dll at hook and keeps the real function.
void HookImport(HMODULE module, const char* name, void* hook, void** original) {
    ForEachImport(module, [&](const char* dll, const char* function, void** slot) {
        if (lstrcmpiA(dll, "dxgi.dll") != 0 || std::strcmp(function, name) != 0) return;
        *original = *slot;
        WritePointer(slot, hook);
    });
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH) return TRUE;
    HMODULE program = GetModuleHandleW(nullptr);
    HookImport(program, "CreateDXGIFactory", reinterpret_cast<void*>(&CreateFactoryHook),
               reinterpret_cast<void**>(&originalCreateFactory));
    HookImport(program, "CreateDXGIFactory1", reinterpret_cast<void*>(&CreateFactory1Hook),
               reinterpret_cast<void**>(&originalCreateFactory1));
    HookImport(program, "CreateDXGIFactory2", reinterpret_cast<void*>(&CreateFactory2Hook),
               reinterpret_cast<void**>(&originalCreateFactory2));
    InstallPlatformFaults();
    InstallSyncMarker();  // loaded with the program, so this is its main thread
    return TRUE;
}
