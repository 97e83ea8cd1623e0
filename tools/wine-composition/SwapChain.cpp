#include "tools/wine-composition/SwapChain.h"

#include "tools/wine-composition/Controls.h"
#include "tools/wine-composition/ProcessFigures.h"

namespace {

unsigned swapChainsMade = 0;

HRESULT MakeTexture(ID3D11Device* device, const DXGI_SWAP_CHAIN_DESC1& desc, bool staging,
                    ID3D11Texture2D** texture) {
    D3D11_TEXTURE2D_DESC textureDesc = {};
    textureDesc.Width = desc.Width;
    textureDesc.Height = desc.Height;
    textureDesc.MipLevels = 1;
    textureDesc.ArraySize = 1;
    textureDesc.Format = desc.Format;
    textureDesc.SampleDesc.Count = 1;
    if (staging) {
        textureDesc.Usage = D3D11_USAGE_STAGING;
        textureDesc.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    } else {
        textureDesc.Usage = D3D11_USAGE_DEFAULT;
        textureDesc.BindFlags = D3D11_BIND_RENDER_TARGET | D3D11_BIND_SHADER_RESOURCE;
    }
    return device->CreateTexture2D(&textureDesc, nullptr, texture);
}

HRESULT MakeBuffers(StandInSwapChain& chain) {
    for (ComPtr<ID3D11Texture2D>& buffer : chain.buffers) {
        const HRESULT hr = MakeTexture(chain.device.Get(), chain.desc, false,
                                       buffer.ReleaseAndGetAddressOf());
        if (FAILED(hr)) return hr;
    }
    return MakeTexture(chain.device.Get(), chain.desc, true, chain.staging.ReleaseAndGetAddressOf());
}

}  // namespace

HRESULT CreateStandInSwapChain(IUnknown* device, const DXGI_SWAP_CHAIN_DESC1* desc,
                               IDXGISwapChain1** swapChain) {
    if (device == nullptr || desc == nullptr || swapChain == nullptr) return E_INVALIDARG;
    *swapChain = nullptr;
    StandInSwapChain* chain = new StandInSwapChain;
    chain->desc = *desc;
    HRESULT hr = device->QueryInterface(IID_PPV_ARGS(&chain->device));
    if (SUCCEEDED(hr)) {
        chain->device->GetImmediateContext(&chain->context);
        hr = MakeBuffers(*chain);
    }
    if (FAILED(hr)) {
        chain->Release();
        return hr;
    }
    chain->serial = ++swapChainsMade;
    // The process's figures at each new swap chain show whether rebuilds leak.
    const ProcessFigures figures = MeasureProcess();
    LogEvent("swapchain %u %ux%u format %d buffers %u handles %lu private %llu gdi %lu user %lu",
             chain->serial, desc->Width, desc->Height, static_cast<int>(desc->Format),
             desc->BufferCount, figures.handles, figures.privateBytes, figures.gdiObjects,
             figures.userObjects);
    *swapChain = chain;
    return S_OK;
}

HRESULT StandInSwapChain::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(IDXGIObject) ||
        iid == __uuidof(IDXGIDeviceSubObject) || iid == __uuidof(IDXGISwapChain) ||
        iid == __uuidof(IDXGISwapChain1) || iid == StandInSwapChainId) {
        AddRef();
        *object = static_cast<IDXGISwapChain1*>(this);
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG StandInSwapChain::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&references)); }

ULONG StandInSwapChain::Release() {
    const LONG left = InterlockedDecrement(&references);
    if (left == 0) LogEvent("release swapchain %u", serial);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT StandInSwapChain::SetPrivateData(REFGUID, UINT, const void*) { return E_NOTIMPL; }
HRESULT StandInSwapChain::SetPrivateDataInterface(REFGUID, const IUnknown*) { return E_NOTIMPL; }
HRESULT StandInSwapChain::GetPrivateData(REFGUID, UINT*, void*) { return E_NOTIMPL; }
HRESULT StandInSwapChain::GetParent(REFIID, void**) { return E_NOTIMPL; }

HRESULT StandInSwapChain::GetDevice(REFIID iid, void** object) {
    return device->QueryInterface(iid, object);
}

// In the flip model buffer 0 is always the one to draw next, and what was drawn there is what
// Present shows: keep a copy for the compositor.
HRESULT StandInSwapChain::Present(UINT, UINT) {
    const HRESULT injected = InjectedFailure(Step::Present);
    if (FAILED(injected)) return injected;
    context->CopyResource(staging.Get(), buffers[0].Get());
    presented = true;
    LogEvent("present swapchain %u", serial);
    return S_OK;
}

HRESULT StandInSwapChain::GetBuffer(UINT index, REFIID iid, void** surface) {
    if (surface == nullptr) return E_POINTER;
    *surface = nullptr;
    if (index >= 2) return DXGI_ERROR_INVALID_CALL;
    LogEvent("getbuffer swapchain %u", serial);  // the program asks once per image upload
    return buffers[index]->QueryInterface(iid, surface);
}

HRESULT StandInSwapChain::SetFullscreenState(BOOL, IDXGIOutput*) { return E_NOTIMPL; }

HRESULT StandInSwapChain::GetFullscreenState(BOOL* fullscreen, IDXGIOutput** output) {
    if (fullscreen != nullptr) *fullscreen = FALSE;
    if (output != nullptr) *output = nullptr;
    return S_OK;
}

HRESULT StandInSwapChain::GetDesc(DXGI_SWAP_CHAIN_DESC* out) {
    if (out == nullptr) return E_POINTER;
    *out = {};
    out->BufferDesc.Width = desc.Width;
    out->BufferDesc.Height = desc.Height;
    out->BufferDesc.Format = desc.Format;
    out->SampleDesc = desc.SampleDesc;
    out->BufferUsage = desc.BufferUsage;
    out->BufferCount = desc.BufferCount;
    out->Windowed = TRUE;
    out->SwapEffect = desc.SwapEffect;
    out->Flags = desc.Flags;
    return S_OK;
}

HRESULT StandInSwapChain::ResizeBuffers(UINT count, UINT width, UINT height, DXGI_FORMAT format,
                                        UINT flags) {
    if (count != 0) desc.BufferCount = count;
    if (width != 0) desc.Width = width;
    if (height != 0) desc.Height = height;
    if (format != DXGI_FORMAT_UNKNOWN) desc.Format = format;
    desc.Flags = flags;
    presented = false;
    return MakeBuffers(*this);
}

HRESULT StandInSwapChain::ResizeTarget(const DXGI_MODE_DESC*) { return E_NOTIMPL; }
HRESULT StandInSwapChain::GetContainingOutput(IDXGIOutput**) { return E_NOTIMPL; }
HRESULT StandInSwapChain::GetFrameStatistics(DXGI_FRAME_STATISTICS*) { return E_NOTIMPL; }
HRESULT StandInSwapChain::GetLastPresentCount(UINT*) { return E_NOTIMPL; }

HRESULT StandInSwapChain::GetDesc1(DXGI_SWAP_CHAIN_DESC1* out) {
    if (out == nullptr) return E_POINTER;
    *out = desc;
    return S_OK;
}

HRESULT StandInSwapChain::GetFullscreenDesc(DXGI_SWAP_CHAIN_FULLSCREEN_DESC*) { return E_NOTIMPL; }
HRESULT StandInSwapChain::GetHwnd(HWND*) { return DXGI_ERROR_INVALID_CALL; }
HRESULT StandInSwapChain::GetCoreWindow(REFIID, void**) { return DXGI_ERROR_INVALID_CALL; }

HRESULT StandInSwapChain::Present1(UINT syncInterval, UINT flags,
                                   const DXGI_PRESENT_PARAMETERS*) {
    return Present(syncInterval, flags);
}

WINBOOL StandInSwapChain::IsTemporaryMonoSupported() { return FALSE; }

HRESULT StandInSwapChain::GetRestrictToOutput(IDXGIOutput** output) {
    if (output != nullptr) *output = nullptr;
    return S_OK;
}

HRESULT StandInSwapChain::SetBackgroundColor(const DXGI_RGBA*) { return E_NOTIMPL; }
HRESULT StandInSwapChain::GetBackgroundColor(DXGI_RGBA*) { return E_NOTIMPL; }
HRESULT StandInSwapChain::SetRotation(DXGI_MODE_ROTATION) { return E_NOTIMPL; }
HRESULT StandInSwapChain::GetRotation(DXGI_MODE_ROTATION*) { return E_NOTIMPL; }
