// A composition swap chain for Wine, which has none: real D3D11 textures on the caller's
// device, and a staging copy of the last presented back buffer for the compositor to read.
#pragma once

#include <d3d11.h>
#include <dxgi1_2.h>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

// Asked for through QueryInterface, it finds the stand-in behind a visual's content.
constexpr GUID StandInSwapChainId = {
    0x5b0f2a71, 0x3c8e, 0x4d52, {0x9a, 0x1e, 0x6f, 0x0c, 0x42, 0x8d, 0x17, 0xb3}};

struct StandInSwapChain : IDXGISwapChain1 {
    LONG references = 1;
    unsigned serial = 0;  // 1 for the process's first swap chain, 2 for the next, ...
    DXGI_SWAP_CHAIN_DESC1 desc = {};
    ComPtr<ID3D11Device> device;
    ComPtr<ID3D11DeviceContext> context;
    ComPtr<ID3D11Texture2D> buffers[2];
    ComPtr<ID3D11Texture2D> staging;  // what the last Present showed
    bool presented = false;           // staging holds a frame not yet committed

    virtual ~StandInSwapChain() = default;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDXGIObject
    HRESULT STDMETHODCALLTYPE SetPrivateData(REFGUID, UINT, const void*) override;
    HRESULT STDMETHODCALLTYPE SetPrivateDataInterface(REFGUID, const IUnknown*) override;
    HRESULT STDMETHODCALLTYPE GetPrivateData(REFGUID, UINT*, void*) override;
    HRESULT STDMETHODCALLTYPE GetParent(REFIID, void**) override;
    // IDXGIDeviceSubObject
    HRESULT STDMETHODCALLTYPE GetDevice(REFIID iid, void** object) override;
    // IDXGISwapChain
    HRESULT STDMETHODCALLTYPE Present(UINT syncInterval, UINT flags) override;
    HRESULT STDMETHODCALLTYPE GetBuffer(UINT index, REFIID iid, void** surface) override;
    HRESULT STDMETHODCALLTYPE SetFullscreenState(BOOL, IDXGIOutput*) override;
    HRESULT STDMETHODCALLTYPE GetFullscreenState(BOOL* fullscreen, IDXGIOutput** output) override;
    HRESULT STDMETHODCALLTYPE GetDesc(DXGI_SWAP_CHAIN_DESC* out) override;
    HRESULT STDMETHODCALLTYPE ResizeBuffers(UINT count, UINT width, UINT height,
                                            DXGI_FORMAT format, UINT flags) override;
    HRESULT STDMETHODCALLTYPE ResizeTarget(const DXGI_MODE_DESC*) override;
    HRESULT STDMETHODCALLTYPE GetContainingOutput(IDXGIOutput**) override;
    HRESULT STDMETHODCALLTYPE GetFrameStatistics(DXGI_FRAME_STATISTICS*) override;
    HRESULT STDMETHODCALLTYPE GetLastPresentCount(UINT*) override;
    // IDXGISwapChain1
    HRESULT STDMETHODCALLTYPE GetDesc1(DXGI_SWAP_CHAIN_DESC1* out) override;
    HRESULT STDMETHODCALLTYPE GetFullscreenDesc(DXGI_SWAP_CHAIN_FULLSCREEN_DESC*) override;
    HRESULT STDMETHODCALLTYPE GetHwnd(HWND*) override;
    HRESULT STDMETHODCALLTYPE GetCoreWindow(REFIID, void**) override;
    HRESULT STDMETHODCALLTYPE Present1(UINT syncInterval, UINT flags,
                                       const DXGI_PRESENT_PARAMETERS*) override;
    WINBOOL STDMETHODCALLTYPE IsTemporaryMonoSupported() override;
    HRESULT STDMETHODCALLTYPE GetRestrictToOutput(IDXGIOutput**) override;
    HRESULT STDMETHODCALLTYPE SetBackgroundColor(const DXGI_RGBA*) override;
    HRESULT STDMETHODCALLTYPE GetBackgroundColor(DXGI_RGBA*) override;
    HRESULT STDMETHODCALLTYPE SetRotation(DXGI_MODE_ROTATION) override;
    HRESULT STDMETHODCALLTYPE GetRotation(DXGI_MODE_ROTATION*) override;
};

// What CreateSwapChainForComposition does when the platform cannot: the buffers of desc on
// device (any interface of a D3D11 device).
HRESULT CreateStandInSwapChain(IUnknown* device, const DXGI_SWAP_CHAIN_DESC1* desc,
                               IDXGISwapChain1** swapChain);
