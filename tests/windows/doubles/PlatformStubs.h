// Do-nothing implementations of the graphics interfaces the pipeline touches: every method
// answers E_NOTIMPL, nothing or zero. The test doubles derive from these and override only the
// calls the program makes, plus IUnknown. (Listed from the MinGW-w64 headers, base interface
// first.)
#pragma once

#include <windows.h>
#include <d3d11.h>
#include <dcomp.h>
#include <dxgi1_6.h>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"

struct StubIDXGIFactory2 : IDXGIFactory2 {
    // IDXGIObject
    HRESULT STDMETHODCALLTYPE SetPrivateData(REFGUID guid, UINT data_size, const void *data) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPrivateDataInterface(REFGUID guid, const IUnknown *object) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPrivateData(REFGUID guid, UINT *data_size, void *data) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetParent(REFIID riid, void **parent) override { return E_NOTIMPL; }
    // IDXGIFactory
    HRESULT STDMETHODCALLTYPE EnumAdapters(UINT adapter_idx, IDXGIAdapter **adapter) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE MakeWindowAssociation(HWND window, UINT flags) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetWindowAssociation(HWND *window) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateSwapChain(IUnknown *device, DXGI_SWAP_CHAIN_DESC *desc, IDXGISwapChain **swapchain) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateSoftwareAdapter(HMODULE swrast, IDXGIAdapter **adapter) override { return E_NOTIMPL; }
    // IDXGIFactory1
    HRESULT STDMETHODCALLTYPE EnumAdapters1(UINT Adapter, IDXGIAdapter1 **ppAdapter) override { return E_NOTIMPL; }
    WINBOOL STDMETHODCALLTYPE IsCurrent() override { return {}; }
    // IDXGIFactory2
    WINBOOL STDMETHODCALLTYPE IsWindowedStereoEnabled() override { return {}; }
    HRESULT STDMETHODCALLTYPE CreateSwapChainForHwnd(IUnknown *pDevice, HWND hWnd, const DXGI_SWAP_CHAIN_DESC1 *pDesc, const DXGI_SWAP_CHAIN_FULLSCREEN_DESC *pFullscreenDesc, IDXGIOutput *pRestrictToOutput, IDXGISwapChain1 **ppSwapChain) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateSwapChainForCoreWindow(IUnknown *pDevice, IUnknown *pWindow, const DXGI_SWAP_CHAIN_DESC1 *pDesc, IDXGIOutput *pRestrictToOutput, IDXGISwapChain1 **ppSwapChain) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSharedResourceAdapterLuid(HANDLE hResource, LUID *pLuid) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RegisterStereoStatusWindow(HWND WindowHandle, UINT wMsg, DWORD *pdwCookie) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RegisterStereoStatusEvent(HANDLE hEvent, DWORD *pdwCookie) override { return E_NOTIMPL; }
    void STDMETHODCALLTYPE UnregisterStereoStatus(DWORD dwCookie) override {}
    HRESULT STDMETHODCALLTYPE RegisterOcclusionStatusWindow(HWND WindowHandle, UINT wMsg, DWORD *pdwCookie) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RegisterOcclusionStatusEvent(HANDLE hEvent, DWORD *pdwCookie) override { return E_NOTIMPL; }
    void STDMETHODCALLTYPE UnregisterOcclusionStatus(DWORD dwCookie) override {}
    HRESULT STDMETHODCALLTYPE CreateSwapChainForComposition(IUnknown *pDevice, const DXGI_SWAP_CHAIN_DESC1 *pDesc, IDXGIOutput *pRestrictToOutput, IDXGISwapChain1 **ppSwapChain) override { return E_NOTIMPL; }
};

struct StubIDXGIAdapter1 : IDXGIAdapter1 {
    // IDXGIObject
    HRESULT STDMETHODCALLTYPE SetPrivateData(REFGUID guid, UINT data_size, const void *data) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPrivateDataInterface(REFGUID guid, const IUnknown *object) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPrivateData(REFGUID guid, UINT *data_size, void *data) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetParent(REFIID riid, void **parent) override { return E_NOTIMPL; }
    // IDXGIAdapter
    HRESULT STDMETHODCALLTYPE EnumOutputs(UINT output_idx, IDXGIOutput **output) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDesc(DXGI_ADAPTER_DESC *desc) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CheckInterfaceSupport(REFGUID guid, LARGE_INTEGER *umd_version) override { return E_NOTIMPL; }
    // IDXGIAdapter1
    HRESULT STDMETHODCALLTYPE GetDesc1(DXGI_ADAPTER_DESC1 *pDesc) override { return E_NOTIMPL; }
};

struct StubIDXGIOutput6 : IDXGIOutput6 {
    // IDXGIObject
    HRESULT STDMETHODCALLTYPE SetPrivateData(REFGUID guid, UINT data_size, const void *data) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPrivateDataInterface(REFGUID guid, const IUnknown *object) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPrivateData(REFGUID guid, UINT *data_size, void *data) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetParent(REFIID riid, void **parent) override { return E_NOTIMPL; }
    // IDXGIOutput
    HRESULT STDMETHODCALLTYPE GetDesc(DXGI_OUTPUT_DESC *desc) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDisplayModeList(DXGI_FORMAT format, UINT flags, UINT *mode_count, DXGI_MODE_DESC *desc) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindClosestMatchingMode(const DXGI_MODE_DESC *mode, DXGI_MODE_DESC *closest_match, IUnknown *device) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE WaitForVBlank() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE TakeOwnership(IUnknown *device, WINBOOL exclusive) override { return E_NOTIMPL; }
    void STDMETHODCALLTYPE ReleaseOwnership() override {}
    HRESULT STDMETHODCALLTYPE GetGammaControlCapabilities(DXGI_GAMMA_CONTROL_CAPABILITIES *gamma_caps) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetGammaControl(const DXGI_GAMMA_CONTROL *gamma_control) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetGammaControl(DXGI_GAMMA_CONTROL *gamma_control) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetDisplaySurface(IDXGISurface *surface) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDisplaySurfaceData(IDXGISurface *surface) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFrameStatistics(DXGI_FRAME_STATISTICS *stats) override { return E_NOTIMPL; }
    // IDXGIOutput1
    HRESULT STDMETHODCALLTYPE GetDisplayModeList1(DXGI_FORMAT enum_format, UINT flags, UINT *num_modes, DXGI_MODE_DESC1 *desc) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindClosestMatchingMode1(const DXGI_MODE_DESC1 *mode_to_match, DXGI_MODE_DESC1 *closest_match, IUnknown *concerned_device) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDisplaySurfaceData1(IDXGIResource *destination) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DuplicateOutput(IUnknown *device, IDXGIOutputDuplication **output_duplication) override { return E_NOTIMPL; }
    // IDXGIOutput2
    WINBOOL STDMETHODCALLTYPE SupportsOverlays() override { return {}; }
    // IDXGIOutput3
    HRESULT STDMETHODCALLTYPE CheckOverlaySupport(DXGI_FORMAT enum_format, IUnknown *concerned_device, UINT *flags) override { return E_NOTIMPL; }
    // IDXGIOutput4
    HRESULT STDMETHODCALLTYPE CheckOverlayColorSpaceSupport(DXGI_FORMAT format, DXGI_COLOR_SPACE_TYPE colour_space, IUnknown *device, UINT *flags) override { return E_NOTIMPL; }
    // IDXGIOutput5
    HRESULT STDMETHODCALLTYPE DuplicateOutput1(IUnknown *device, UINT flags, UINT format_count, const DXGI_FORMAT *formats, IDXGIOutputDuplication **duplication) override { return E_NOTIMPL; }
    // IDXGIOutput6
    HRESULT STDMETHODCALLTYPE GetDesc1(DXGI_OUTPUT_DESC1 *desc) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CheckHardwareCompositionSupport(UINT *flags) override { return E_NOTIMPL; }
};

struct StubIDXGISwapChain1 : IDXGISwapChain1 {
    // IDXGIObject
    HRESULT STDMETHODCALLTYPE SetPrivateData(REFGUID guid, UINT data_size, const void *data) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPrivateDataInterface(REFGUID guid, const IUnknown *object) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPrivateData(REFGUID guid, UINT *data_size, void *data) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetParent(REFIID riid, void **parent) override { return E_NOTIMPL; }
    // IDXGIDeviceSubObject
    HRESULT STDMETHODCALLTYPE GetDevice(REFIID riid, void **device) override { return E_NOTIMPL; }
    // IDXGISwapChain
    HRESULT STDMETHODCALLTYPE Present(UINT sync_interval, UINT flags) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetBuffer(UINT buffer_idx, REFIID riid, void **surface) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetFullscreenState(WINBOOL fullscreen, IDXGIOutput *target) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFullscreenState(WINBOOL *fullscreen, IDXGIOutput **target) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDesc(DXGI_SWAP_CHAIN_DESC *desc) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ResizeBuffers(UINT buffer_count, UINT width, UINT height, DXGI_FORMAT format, UINT flags) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ResizeTarget(const DXGI_MODE_DESC *target_mode_desc) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContainingOutput(IDXGIOutput **output) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFrameStatistics(DXGI_FRAME_STATISTICS *stats) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetLastPresentCount(UINT *last_present_count) override { return E_NOTIMPL; }
    // IDXGISwapChain1
    HRESULT STDMETHODCALLTYPE GetDesc1(DXGI_SWAP_CHAIN_DESC1 *pDesc) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFullscreenDesc(DXGI_SWAP_CHAIN_FULLSCREEN_DESC *pDesc) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetHwnd(HWND *pHwnd) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCoreWindow(REFIID refiid, void **ppUnk) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Present1(UINT SyncInterval, UINT PresentFlags, const DXGI_PRESENT_PARAMETERS *pPresentParameters) override { return E_NOTIMPL; }
    WINBOOL STDMETHODCALLTYPE IsTemporaryMonoSupported() override { return {}; }
    HRESULT STDMETHODCALLTYPE GetRestrictToOutput(IDXGIOutput **ppRestrictToOutput) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetBackgroundColor(const DXGI_RGBA *pColor) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetBackgroundColor(DXGI_RGBA *pColor) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetRotation(DXGI_MODE_ROTATION Rotation) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetRotation(DXGI_MODE_ROTATION *pRotation) override { return E_NOTIMPL; }
};

struct StubIDXGIDevice : IDXGIDevice {
    // IDXGIObject
    HRESULT STDMETHODCALLTYPE SetPrivateData(REFGUID guid, UINT data_size, const void *data) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPrivateDataInterface(REFGUID guid, const IUnknown *object) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPrivateData(REFGUID guid, UINT *data_size, void *data) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetParent(REFIID riid, void **parent) override { return E_NOTIMPL; }
    // IDXGIDevice
    HRESULT STDMETHODCALLTYPE GetAdapter(IDXGIAdapter **adapter) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateSurface(const DXGI_SURFACE_DESC *desc, UINT surface_count, DXGI_USAGE usage, const DXGI_SHARED_RESOURCE *shared_resource, IDXGISurface **surface) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryResourceResidency(IUnknown *const *resources, DXGI_RESIDENCY *residency, UINT resource_count) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetGPUThreadPriority(INT priority) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetGPUThreadPriority(INT *priority) override { return E_NOTIMPL; }
};

struct StubID3D11Device : ID3D11Device {
    // ID3D11Device
    HRESULT STDMETHODCALLTYPE CreateBuffer(const D3D11_BUFFER_DESC *pDesc, const D3D11_SUBRESOURCE_DATA *pInitialData, ID3D11Buffer **ppBuffer) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateTexture1D(const D3D11_TEXTURE1D_DESC *pDesc, const D3D11_SUBRESOURCE_DATA *pInitialData, ID3D11Texture1D **ppTexture1D) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateTexture2D(const D3D11_TEXTURE2D_DESC *pDesc, const D3D11_SUBRESOURCE_DATA *pInitialData, ID3D11Texture2D **ppTexture2D) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateTexture3D(const D3D11_TEXTURE3D_DESC *pDesc, const D3D11_SUBRESOURCE_DATA *pInitialData, ID3D11Texture3D **ppTexture3D) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateShaderResourceView(ID3D11Resource *pResource, const D3D11_SHADER_RESOURCE_VIEW_DESC *pDesc, ID3D11ShaderResourceView **ppSRView) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateUnorderedAccessView(ID3D11Resource *pResource, const D3D11_UNORDERED_ACCESS_VIEW_DESC *pDesc, ID3D11UnorderedAccessView **ppUAView) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateRenderTargetView(ID3D11Resource *pResource, const D3D11_RENDER_TARGET_VIEW_DESC *pDesc, ID3D11RenderTargetView **ppRTView) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateDepthStencilView(ID3D11Resource *pResource, const D3D11_DEPTH_STENCIL_VIEW_DESC *pDesc, ID3D11DepthStencilView **ppDepthStencilView) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateInputLayout(const D3D11_INPUT_ELEMENT_DESC *pInputElementDescs, UINT NumElements, const void *pShaderBytecodeWithInputSignature, SIZE_T BytecodeLength, ID3D11InputLayout **ppInputLayout) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateVertexShader(const void *pShaderBytecode, SIZE_T BytecodeLength, ID3D11ClassLinkage *pClassLinkage, ID3D11VertexShader **ppVertexShader) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateGeometryShader(const void *pShaderBytecode, SIZE_T BytecodeLength, ID3D11ClassLinkage *pClassLinkage, ID3D11GeometryShader **ppGeometryShader) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateGeometryShaderWithStreamOutput(const void *pShaderBytecode, SIZE_T BytecodeLength, const D3D11_SO_DECLARATION_ENTRY *pSODeclaration, UINT NumEntries, const UINT *pBufferStrides, UINT NumStrides, UINT RasterizedStream, ID3D11ClassLinkage *pClassLinkage, ID3D11GeometryShader **ppGeometryShader) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreatePixelShader(const void *pShaderBytecode, SIZE_T BytecodeLength, ID3D11ClassLinkage *pClassLinkage, ID3D11PixelShader **ppPixelShader) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateHullShader(const void *pShaderBytecode, SIZE_T BytecodeLength, ID3D11ClassLinkage *pClassLinkage, ID3D11HullShader **ppHullShader) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateDomainShader(const void *pShaderBytecode, SIZE_T BytecodeLength, ID3D11ClassLinkage *pClassLinkage, ID3D11DomainShader **ppDomainShader) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateComputeShader(const void *pShaderBytecode, SIZE_T BytecodeLength, ID3D11ClassLinkage *pClassLinkage, ID3D11ComputeShader **ppComputeShader) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateClassLinkage(ID3D11ClassLinkage **ppLinkage) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateBlendState(const D3D11_BLEND_DESC *pBlendStateDesc, ID3D11BlendState **ppBlendState) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateDepthStencilState(const D3D11_DEPTH_STENCIL_DESC *pDepthStencilDesc, ID3D11DepthStencilState **ppDepthStencilState) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateRasterizerState(const D3D11_RASTERIZER_DESC *pRasterizerDesc, ID3D11RasterizerState **ppRasterizerState) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateSamplerState(const D3D11_SAMPLER_DESC *pSamplerDesc, ID3D11SamplerState **ppSamplerState) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateQuery(const D3D11_QUERY_DESC *pQueryDesc, ID3D11Query **ppQuery) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreatePredicate(const D3D11_QUERY_DESC *pPredicateDesc, ID3D11Predicate **ppPredicate) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateCounter(const D3D11_COUNTER_DESC *pCounterDesc, ID3D11Counter **ppCounter) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateDeferredContext(UINT ContextFlags, ID3D11DeviceContext **ppDeferredContext) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OpenSharedResource(HANDLE hResource, REFIID ReturnedInterface, void **ppResource) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CheckFormatSupport(DXGI_FORMAT Format, UINT *pFormatSupport) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CheckMultisampleQualityLevels(DXGI_FORMAT Format, UINT SampleCount, UINT *pNumQualityLevels) override { return E_NOTIMPL; }
    void STDMETHODCALLTYPE CheckCounterInfo(D3D11_COUNTER_INFO *pCounterInfo) override {}
    HRESULT STDMETHODCALLTYPE CheckCounter(const D3D11_COUNTER_DESC *pDesc, D3D11_COUNTER_TYPE *pType, UINT *pActiveCounters, LPSTR szName, UINT *pNameLength, LPSTR szUnits, UINT *pUnitsLength, LPSTR szDescription, UINT *pDescriptionLength) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CheckFeatureSupport(D3D11_FEATURE Feature, void *pFeatureSupportData, UINT FeatureSupportDataSize) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPrivateData(REFGUID guid, UINT *pDataSize, void *pData) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPrivateData(REFGUID guid, UINT DataSize, const void *pData) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPrivateDataInterface(REFGUID guid, const IUnknown *pData) override { return E_NOTIMPL; }
    D3D_FEATURE_LEVEL STDMETHODCALLTYPE GetFeatureLevel() override { return {}; }
    UINT STDMETHODCALLTYPE GetCreationFlags() override { return {}; }
    HRESULT STDMETHODCALLTYPE GetDeviceRemovedReason() override { return E_NOTIMPL; }
    void STDMETHODCALLTYPE GetImmediateContext(ID3D11DeviceContext **ppImmediateContext) override {}
    HRESULT STDMETHODCALLTYPE SetExceptionMode(UINT RaiseFlags) override { return E_NOTIMPL; }
    UINT STDMETHODCALLTYPE GetExceptionMode() override { return {}; }
};

struct StubIDCompositionDevice : IDCompositionDevice {
    HRESULT STDMETHODCALLTYPE Commit() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE WaitForCommitCompletion() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFrameStatistics(DCOMPOSITION_FRAME_STATISTICS*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateTargetForHwnd(HWND, BOOL, IDCompositionTarget**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateVisual(IDCompositionVisual**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateSurface(UINT, UINT, DXGI_FORMAT, DXGI_ALPHA_MODE, IDCompositionSurface**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateVirtualSurface(UINT, UINT, DXGI_FORMAT, DXGI_ALPHA_MODE, IDCompositionVirtualSurface**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateSurfaceFromHandle(HANDLE, IUnknown**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateSurfaceFromHwnd(HWND, IUnknown**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateTranslateTransform(IDCompositionTranslateTransform**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateScaleTransform(IDCompositionScaleTransform**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateRotateTransform(IDCompositionRotateTransform**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateSkewTransform(IDCompositionSkewTransform**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateMatrixTransform(IDCompositionMatrixTransform**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateTransformGroup(IDCompositionTransform**, UINT, IDCompositionTransform**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateTranslateTransform3D(IDCompositionTranslateTransform3D**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateScaleTransform3D(IDCompositionScaleTransform3D**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateRotateTransform3D(IDCompositionRotateTransform3D**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateMatrixTransform3D(IDCompositionMatrixTransform3D**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateTransform3DGroup(IDCompositionTransform3D**, UINT, IDCompositionTransform3D**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateEffectGroup(IDCompositionEffectGroup**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateRectangleClip(IDCompositionRectangleClip**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateAnimation(IDCompositionAnimation**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CheckDeviceState(BOOL*) override { return E_NOTIMPL; }
};

struct StubIDCompositionTarget : IDCompositionTarget {
    HRESULT STDMETHODCALLTYPE SetRoot(IDCompositionVisual*) override { return E_NOTIMPL; }
};

struct StubIDCompositionVisual : IDCompositionVisual {
    HRESULT STDMETHODCALLTYPE SetOffsetX(float) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetOffsetX(IDCompositionAnimation*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetOffsetY(float) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetOffsetY(IDCompositionAnimation*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetTransform(const D2D_MATRIX_3X2_F&) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetTransform(IDCompositionTransform*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetTransformParent(IDCompositionVisual*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetEffect(IDCompositionEffect*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetBitmapInterpolationMode(DCOMPOSITION_BITMAP_INTERPOLATION_MODE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetBorderMode(DCOMPOSITION_BORDER_MODE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetClip(const D2D_RECT_F&) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetClip(IDCompositionClip*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetContent(IUnknown*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddVisual(IDCompositionVisual*, BOOL, IDCompositionVisual*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemoveVisual(IDCompositionVisual*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemoveAllVisuals() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetCompositeMode(DCOMPOSITION_COMPOSITE_MODE) override { return E_NOTIMPL; }
};

#pragma GCC diagnostic pop
