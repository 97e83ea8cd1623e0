#include "overlay/GraphicsSteps.h"

#include <d3d11.h>
#include <dcomp.h>
#include <dxgi1_6.h>
#include <wrl/client.h>

#include "app/AppState.h"
#include "app/Ids.h"
#include "overlay/HdrBrightness.h"
#include "overlay/Overlay.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr UINT DeviceFlags = D3D11_CREATE_DEVICE_BGRA_SUPPORT;  // nothing else: not single-threaded

// The brightness for the output that shows the game. An output that cannot describe its colour
// space (no IDXGIOutput6, or GetDesc1 fails) is taken as SDR.
float OutputHdrScale(IDXGIOutput* output) {
    ComPtr<IDXGIOutput6> output6;
    if (FAILED(output->QueryInterface(IID_PPV_ARGS(&output6)))) return 1.0f;
    DXGI_OUTPUT_DESC1 description = {};
    if (FAILED(output6->GetDesc1(&description))) return 1.0f;
    return HdrScaleForOutput(description.ColorSpace, description.MaxLuminance);
}

// The first adapter, in enumeration order, with an output on currentMonitor; empty when none
// has one. Only the matching output's HDR state is read, and it sets hdrScale. Enumeration
// errors end the search (or that adapter's outputs) without failing the build.
void FindGameAdapter(IDXGIFactory2* factory, ComPtr<IDXGIAdapter1>& matchedAdapter) {
    for (UINT adapterIndex = 0; matchedAdapter == nullptr; ++adapterIndex) {
        ComPtr<IDXGIAdapter1> adapter;
        if (FAILED(factory->EnumAdapters1(adapterIndex, &adapter))) return;
        for (UINT outputIndex = 0;; ++outputIndex) {
            ComPtr<IDXGIOutput> output;
            if (FAILED(adapter->EnumOutputs(outputIndex, &output))) break;
            DXGI_OUTPUT_DESC description = {};
            if (FAILED(output->GetDesc(&description))) continue;
            if (description.Monitor != AppState.currentMonitor) continue;
            matchedAdapter = adapter;
            AppState.hdrScale = OutputHdrScale(output.Get());
            break;
        }
    }
}

// The device on the game's adapter (or the default hardware one), else the WARP software
// rasterizer, which is not the output's adapter: its image gets SDR brightness.
HRESULT CreateDevice(IDXGIAdapter1* adapter) {
    const D3D_DRIVER_TYPE driverType =
        adapter != nullptr ? D3D_DRIVER_TYPE_UNKNOWN : D3D_DRIVER_TYPE_HARDWARE;
    const HRESULT status =
        D3D11CreateDevice(adapter, driverType, nullptr, DeviceFlags, nullptr, 0,
                          D3D11_SDK_VERSION, &AppState.d3dDevice, nullptr, &AppState.d3dContext);
    if (SUCCEEDED(status)) return status;
    AppState.hdrScale = 1.0f;
    AppState.d3dDevice.Reset();
    AppState.d3dContext.Reset();
    return D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_WARP, nullptr, DeviceFlags, nullptr, 0,
                             D3D11_SDK_VERSION, &AppState.d3dDevice, nullptr,
                             &AppState.d3dContext);
}

// Two half-float buffers of the overlay's size, premultiplied, for composition only.
HRESULT CreateSwapChain(IDXGIFactory2* factory) {
    DXGI_SWAP_CHAIN_DESC1 description = {};
    description.Width = static_cast<UINT>(AppState.overlaySize);
    description.Height = static_cast<UINT>(AppState.overlaySize);
    description.Format = DXGI_FORMAT_R16G16B16A16_FLOAT;
    description.Stereo = FALSE;
    description.SampleDesc.Count = 1;
    description.SampleDesc.Quality = 0;
    description.BufferUsage = DXGI_USAGE_RENDER_TARGET_OUTPUT;
    description.BufferCount = 2;
    description.Scaling = DXGI_SCALING_STRETCH;
    description.SwapEffect = DXGI_SWAP_EFFECT_FLIP_SEQUENTIAL;
    description.AlphaMode = DXGI_ALPHA_MODE_PREMULTIPLIED;
    description.Flags = 0;
    return factory->CreateSwapChainForComposition(AppState.d3dDevice.Get(), &description,
                                                  nullptr, &AppState.swapChain);
}

// Target on the reticle window (above its other content), one visual showing the swap chain,
// committed. The first failing call ends the tree; what exists so far stays for the release.
HRESULT CreateCompositionTree() {
    HRESULT status = AppState.compDevice->CreateTargetForHwnd(AppState.reticleWindow, TRUE,
                                                              &AppState.compTarget);
    if (FAILED(status)) return status;
    status = AppState.compDevice->CreateVisual(&AppState.compVisual);
    if (FAILED(status)) return status;
    status = AppState.compVisual->SetContent(AppState.swapChain.Get());
    if (FAILED(status)) return status;
    status = AppState.compTarget->SetRoot(AppState.compVisual.Get());
    if (FAILED(status)) return status;
    return AppState.compDevice->Commit();
}

HRESULT CreateComposition() {
    ComPtr<IDXGIDevice> dxgiDevice;
    HRESULT status = AppState.d3dDevice.As(&dxgiDevice);
    if (FAILED(status)) return status;
    // MinGW's headers have no IID_IDCompositionDevice symbol; __uuidof gives the same value.
    status = DCompositionCreateDevice(dxgiDevice.Get(), __uuidof(IDCompositionDevice),
                                      &AppState.compDevice);
    if (FAILED(status)) return status;
    return CreateCompositionTree();
}

// Temporaries are released in reverse order of declaration on every return: the DXGI device
// inside CreateComposition first, then the matched adapter, then the factory.
HRESULT CreatePipeline() {
    ComPtr<IDXGIFactory2> factory;
    HRESULT status = CreateDXGIFactory1(IID_PPV_ARGS(&factory));
    if (FAILED(status)) return status;  // hdrScale keeps the last build's value
    AppState.hdrScale = 1.0f;
    ComPtr<IDXGIAdapter1> matchedAdapter;
    FindGameAdapter(factory.Get(), matchedAdapter);
    status = CreateDevice(matchedAdapter.Get());
    if (FAILED(status)) return status;
    status = CreateSwapChain(factory.Get());
    if (FAILED(status)) return status;
    return CreateComposition();
}

}  // namespace

void BuildGraphics(HMONITOR monitor, int referenceWidth, int halfSize, int originX,
                   int originY) {
    ShowWindow(AppState.reticleWindow, SW_HIDE);
    ReleaseGraphics();
    AppState.currentMonitor = monitor;
    AppState.referenceWidth = referenceWidth;
    AppState.overlaySize = 2 * halfSize;
    // Sized like the swap chain before the target binds to it, so the visual covers the window
    // one to one; z-order and visibility are the placement's business.
    SetWindowPos(AppState.reticleWindow, nullptr, originX, originY, AppState.overlaySize,
                 AppState.overlaySize, SWP_NOZORDER | SWP_NOACTIVATE);
    AppState.graphicsStatus = CreatePipeline();
    AppState.contentUploaded = false;
    AppState.retryAfterTick = GetTickCount64() + GraphicsRetryDelayMs;
}
