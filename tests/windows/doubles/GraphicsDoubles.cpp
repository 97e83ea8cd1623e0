#include "tests/windows/doubles/GraphicsDoubles.h"

#include <dcomp.h>
#include <wrl/client.h>

#include <cstring>
#include <functional>
#include <utility>

#include "tests/windows/doubles/PlatformStubs.h"

using Microsoft::WRL::ComPtr;

GraphicsDoublesRecord Doubles;

namespace {

// Every fake made since the last reset, with how to count and delete it.
struct FakeEntry {
    std::string name;
    const long* refs;
    const bool* overReleased;
    std::function<void()> destroy;
};
std::vector<FakeEntry> fakes;

// Records the call and answers the failure the test asked for, or S_OK.
HRESULT Step(const std::string& step, const std::string& detail = "") {
    const int n = ++Doubles.callCounts[step];
    Doubles.calls.push_back(detail.empty() ? step : step + " " + detail);
    auto failure = Doubles.failures.find(step + "#" + std::to_string(n));
    if (failure == Doubles.failures.end()) failure = Doubles.failures.find(step);
    return failure == Doubles.failures.end() ? S_OK : failure->second;
}

// A fake COM object: counts its references and answers QueryInterface for its own
// interfaces. It stays allocated until the next reset, so a late Release is still counted.
template <class Stub>
struct Counted : Stub {
    std::string name;
    long refs = 0;
    bool overReleased = false;
    std::vector<IID> interfaces;

    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++refs); }
    ULONG STDMETHODCALLTYPE Release() override {
        if (refs <= 0) {
            overReleased = true;
            return 0;
        }
        if (--refs == 0) Doubles.calls.push_back("Release " + name);
        return static_cast<ULONG>(refs);
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = nullptr;
        if (iid != __uuidof(IUnknown)) {
            bool known = false;
            for (const IID& own : interfaces) known = known || own == iid;
            if (!known) return E_NOINTERFACE;
        }
        AddRef();
        *out = this;
        return S_OK;
    }
};

// Makes a fake with one reference, for the caller's out-parameter.
template <class Fake>
Fake* Make(const std::string& name, std::vector<IID> interfaces) {
    Fake* fake = new Fake;
    fake->name = name;
    fake->interfaces = std::move(interfaces);
    fake->refs = 1;
    fakes.push_back({name, &fake->refs, &fake->overReleased, [fake] { delete fake; }});
    return fake;
}

// The real Wine device behind the fakes: its immediate context goes to the program, and the
// back buffers are its textures. Made once per process.
ComPtr<ID3D11Device> realDevice;
ComPtr<ID3D11DeviceContext> realContext;

using CreateDeviceFunction = decltype(&D3D11CreateDevice);

bool MakeRealDevice() {
    if (realDevice != nullptr) return true;
    HMODULE d3d11 = LoadLibraryW(L"d3d11.dll");
    if (d3d11 == nullptr) return false;
    // Through void(*)(): the one function type any other converts to without a warning.
    auto create = reinterpret_cast<CreateDeviceFunction>(
        reinterpret_cast<void (*)()>(GetProcAddress(d3d11, "D3D11CreateDevice")));
    if (create == nullptr) return false;
    for (D3D_DRIVER_TYPE type : {D3D_DRIVER_TYPE_HARDWARE, D3D_DRIVER_TYPE_WARP}) {
        if (SUCCEEDED(create(nullptr, type, nullptr, 0, nullptr, 0, D3D11_SDK_VERSION,
                             &realDevice, nullptr, &realContext)))
            return true;
    }
    return false;
}

struct FakeOutput final : Counted<StubIDXGIOutput6> {
    OutputSetup setup;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid != __uuidof(IDXGIOutput6))
            return Counted<StubIDXGIOutput6>::QueryInterface(iid, out);
        *out = nullptr;
        const HRESULT failure = Step("QueryInterface IDXGIOutput6", name);
        if (failure != S_OK) return failure;
        if (!setup.hasOutput6) return E_NOINTERFACE;
        AddRef();
        *out = static_cast<IDXGIOutput6*>(this);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDesc(DXGI_OUTPUT_DESC* description) override {
        const HRESULT failure = Step("GetDesc", name);
        if (failure != S_OK) return failure;
        if (FAILED(setup.getDescResult)) return setup.getDescResult;
        description->Monitor = setup.monitor;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDesc1(DXGI_OUTPUT_DESC1* description) override {
        const HRESULT failure = Step("GetDesc1", name);
        if (failure != S_OK) return failure;
        if (FAILED(setup.getDesc1Result)) return setup.getDesc1Result;
        description->Monitor = setup.monitor;
        description->ColorSpace = static_cast<DXGI_COLOR_SPACE_TYPE>(setup.colorSpace);
        description->MaxLuminance = setup.maxLuminance;
        return S_OK;
    }
};

// Adapters by the address the program passes on to D3D11CreateDevice.
std::map<const IDXGIAdapter*, std::string> adapterNames;

struct FakeAdapter final : Counted<StubIDXGIAdapter1> {
    AdapterSetup setup;
    HRESULT STDMETHODCALLTYPE EnumOutputs(UINT index, IDXGIOutput** out) override {
        *out = nullptr;
        const HRESULT failure = Step("EnumOutputs", name + " " + std::to_string(index));
        if (failure != S_OK) return failure;
        if (FAILED(setup.enumOutputsResult)) return setup.enumOutputsResult;
        if (index >= setup.outputs.size()) return DXGI_ERROR_NOT_FOUND;
        FakeOutput* output = Make<FakeOutput>(
            "output " + name.substr(8) + "." + std::to_string(index),
            {__uuidof(IDXGIObject), __uuidof(IDXGIOutput), __uuidof(IDXGIOutput1)});
        output->setup = setup.outputs[index];
        *out = output;
        return S_OK;
    }
};

struct FakeFactory final : Counted<StubIDXGIFactory2> {
    HRESULT STDMETHODCALLTYPE EnumAdapters1(UINT index, IDXGIAdapter1** out) override {
        *out = nullptr;
        const HRESULT failure = Step("EnumAdapters1", std::to_string(index));
        if (failure != S_OK) return failure;
        if (index >= Doubles.adapters.size()) return DXGI_ERROR_NOT_FOUND;
        FakeAdapter* adapter = Make<FakeAdapter>(
            "adapter " + std::to_string(index),
            {__uuidof(IDXGIObject), __uuidof(IDXGIAdapter), __uuidof(IDXGIAdapter1)});
        adapter->setup = Doubles.adapters[index];
        adapterNames[static_cast<IDXGIAdapter*>(adapter)] = adapter->name;
        *out = adapter;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CreateSwapChainForComposition(IUnknown* device,
                                                            const DXGI_SWAP_CHAIN_DESC1* description,
                                                            IDXGIOutput* restrictToOutput,
                                                            IDXGISwapChain1** out) override;
};

struct FakeSwapChain final : Counted<StubIDXGISwapChain1> {
    DXGI_SWAP_CHAIN_DESC1 description = {};
    ComPtr<ID3D11Texture2D> backBuffer;  // made at the first GetBuffer; ours until the reset

    HRESULT STDMETHODCALLTYPE GetBuffer(UINT index, REFIID iid, void** out) override {
        *out = nullptr;
        Doubles.getBufferIndex = index;
        Doubles.getBufferIid = iid;
        const HRESULT failure = Step("GetBuffer", std::to_string(index));
        if (failure != S_OK) return failure;
        if (backBuffer == nullptr) {
            D3D11_TEXTURE2D_DESC texture = {};
            texture.Width = description.Width;
            texture.Height = description.Height;
            texture.MipLevels = 1;
            texture.ArraySize = 1;
            texture.Format = description.Format;
            texture.SampleDesc.Count = 1;
            texture.Usage = D3D11_USAGE_DEFAULT;
            texture.BindFlags = D3D11_BIND_RENDER_TARGET;
            const HRESULT made = realDevice->CreateTexture2D(&texture, nullptr, &backBuffer);
            if (FAILED(made)) return made;
        }
        return backBuffer->QueryInterface(iid, out);
    }
    HRESULT STDMETHODCALLTYPE Present(UINT syncInterval, UINT flags) override {
        Doubles.presentSyncInterval = syncInterval;
        Doubles.presentFlags = flags;
        return Step("Present");
    }
};
std::vector<FakeSwapChain*> swapChains;  // in order of creation

HRESULT FakeFactory::CreateSwapChainForComposition(IUnknown* device,
                                                   const DXGI_SWAP_CHAIN_DESC1* description,
                                                   IDXGIOutput* restrictToOutput,
                                                   IDXGISwapChain1** out) {
    *out = nullptr;
    Doubles.swapChainDesc = *description;
    Doubles.swapChainDevice = device;
    Doubles.swapChainRestrictToOutput = restrictToOutput;
    const HRESULT failure = Step("CreateSwapChainForComposition");
    if (failure != S_OK) return failure;
    FakeSwapChain* swapChain = Make<FakeSwapChain>(
        "swap chain", {__uuidof(IDXGIObject), __uuidof(IDXGIDeviceSubObject),
                       __uuidof(IDXGISwapChain), __uuidof(IDXGISwapChain1)});
    swapChain->description = *description;
    swapChains.push_back(swapChain);
    Doubles.swapChainHandedOut = static_cast<IDXGISwapChain1*>(swapChain);
    *out = swapChain;
    return S_OK;
}

struct FakeDxgiDevice final : Counted<StubIDXGIDevice> {};

struct FakeDevice final : Counted<StubID3D11Device> {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid != __uuidof(IDXGIDevice))
            return Counted<StubID3D11Device>::QueryInterface(iid, out);
        *out = nullptr;
        const HRESULT failure = Step("QueryInterface IDXGIDevice");
        if (failure != S_OK) return failure;
        FakeDxgiDevice* dxgiDevice =
            Make<FakeDxgiDevice>("DXGI device", {__uuidof(IDXGIObject), __uuidof(IDXGIDevice)});
        Doubles.dxgiDeviceHandedOut = dxgiDevice;
        *out = dxgiDevice;
        return S_OK;
    }
};

struct FakeVisual final : Counted<StubIDCompositionVisual> {
    HRESULT STDMETHODCALLTYPE SetContent(IUnknown* content) override {
        Doubles.visualContent = content;
        return Step("SetContent");
    }
};

struct FakeTarget final : Counted<StubIDCompositionTarget> {
    HRESULT STDMETHODCALLTYPE SetRoot(IDCompositionVisual* visual) override {
        Doubles.targetRoot = visual;
        return Step("SetRoot");
    }
};

struct FakeCompositionDevice final : Counted<StubIDCompositionDevice> {
    HRESULT STDMETHODCALLTYPE Commit() override { return Step("Commit"); }
    HRESULT STDMETHODCALLTYPE CreateTargetForHwnd(HWND window, BOOL topmost,
                                                  IDCompositionTarget** out) override {
        *out = nullptr;
        Doubles.targetWindow = window;
        Doubles.targetTopmost = topmost;
        const HRESULT failure = Step("CreateTargetForHwnd");
        if (failure != S_OK) return failure;
        *out = Make<FakeTarget>("composition target", {});
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CreateVisual(IDCompositionVisual** out) override {
        *out = nullptr;
        const HRESULT failure = Step("CreateVisual");
        if (failure != S_OK) return failure;
        FakeVisual* visual = Make<FakeVisual>("composition visual", {});
        Doubles.visualHandedOut = visual;
        *out = visual;
        return S_OK;
    }
};

std::string AdapterName(IDXGIAdapter* adapter) {
    if (adapter == nullptr) return "null";
    auto name = adapterNames.find(adapter);
    return name == adapterNames.end() ? "unknown" : name->second;
}

long RealReferences(IUnknown* object) {
    object->AddRef();
    return static_cast<long>(object->Release());
}

}  // namespace

HRESULT WINAPI CreateDXGIFactory1(REFIID iid, void** out) {
    *out = nullptr;
    Doubles.factoryIid = iid;
    const HRESULT failure = Step("CreateDXGIFactory1");
    if (failure != S_OK) return failure;
    *out = static_cast<IDXGIFactory2*>(Make<FakeFactory>(
        "factory", {__uuidof(IDXGIObject), __uuidof(IDXGIFactory), __uuidof(IDXGIFactory1),
                    __uuidof(IDXGIFactory2)}));
    return S_OK;
}

HRESULT WINAPI D3D11CreateDevice(IDXGIAdapter* adapter, D3D_DRIVER_TYPE driverType,
                                 HMODULE software, UINT flags,
                                 const D3D_FEATURE_LEVEL* featureLevels, UINT featureLevelCount,
                                 UINT sdkVersion, ID3D11Device** device,
                                 D3D_FEATURE_LEVEL* featureLevel,
                                 ID3D11DeviceContext** context) {
    Doubles.deviceCalls.push_back({AdapterName(adapter), driverType, software, flags,
                                   featureLevels, featureLevelCount, sdkVersion,
                                   device != nullptr, featureLevel != nullptr,
                                   context != nullptr});
    if (device != nullptr) *device = nullptr;
    if (context != nullptr) *context = nullptr;
    const HRESULT failure = Step(driverType == D3D_DRIVER_TYPE_WARP ? "D3D11CreateDevice WARP"
                                                                    : "D3D11CreateDevice",
                                 AdapterName(adapter));
    if (failure != S_OK) return failure;
    if (!MakeRealDevice()) return DXGI_ERROR_UNSUPPORTED;
    FakeDevice* fake = Make<FakeDevice>("device", {__uuidof(ID3D11Device)});
    Doubles.deviceHandedOut = static_cast<ID3D11Device*>(fake);
    *device = fake;
    realContext->AddRef();
    *context = realContext.Get();
    return S_OK;
}

HRESULT WINAPI DCompositionCreateDevice(IDXGIDevice* dxgiDevice, REFIID iid, void** out) {
    *out = nullptr;
    Doubles.compositionDxgiDevice = dxgiDevice;
    Doubles.compositionIid = iid;
    const HRESULT failure = Step("DCompositionCreateDevice");
    if (failure != S_OK) return failure;
    *out = static_cast<IDCompositionDevice*>(
        Make<FakeCompositionDevice>("composition device", {__uuidof(IDCompositionDevice)}));
    return S_OK;
}

void ResetDoubles(HMONITOR monitor) {
    for (FakeEntry& fake : fakes) fake.destroy();
    fakes.clear();
    swapChains.clear();
    adapterNames.clear();
    Doubles = GraphicsDoublesRecord{};
    AdapterSetup adapter;
    OutputSetup output;
    output.monitor = monitor;
    adapter.outputs.push_back(output);
    Doubles.adapters.push_back(adapter);
}

int CallCount(const std::string& step) {
    auto count = Doubles.callCounts.find(step);
    return count == Doubles.callCounts.end() ? 0 : count->second;
}

std::vector<std::string> UnbalancedObjects() {
    std::vector<std::string> unbalanced;
    for (const FakeEntry& fake : fakes) {
        if (*fake.refs != 0) unbalanced.push_back(fake.name + " still referenced");
        if (*fake.overReleased) unbalanced.push_back(fake.name + " released too often");
    }
    // The doubles keep one reference to each real object themselves.
    if (realContext != nullptr && RealReferences(realContext.Get()) != 1)
        unbalanced.push_back("device context");
    for (FakeSwapChain* swapChain : swapChains) {
        if (swapChain->backBuffer != nullptr && RealReferences(swapChain->backBuffer.Get()) != 1)
            unbalanced.push_back("back buffer");
    }
    return unbalanced;
}

std::vector<std::uint16_t> ReadBackBuffer() {
    if (swapChains.empty() || swapChains.back()->backBuffer == nullptr) return {};
    ID3D11Texture2D* backBuffer = swapChains.back()->backBuffer.Get();
    D3D11_TEXTURE2D_DESC description = {};
    backBuffer->GetDesc(&description);
    description.Usage = D3D11_USAGE_STAGING;
    description.BindFlags = 0;
    description.CPUAccessFlags = D3D11_CPU_ACCESS_READ;
    ComPtr<ID3D11Texture2D> staging;
    if (FAILED(realDevice->CreateTexture2D(&description, nullptr, &staging))) return {};
    realContext->CopyResource(staging.Get(), backBuffer);
    D3D11_MAPPED_SUBRESOURCE mapped = {};
    if (FAILED(realContext->Map(staging.Get(), 0, D3D11_MAP_READ, 0, &mapped))) return {};
    const UINT rowWords = description.Width * 4;
    std::vector<std::uint16_t> words(static_cast<std::size_t>(rowWords) * description.Height);
    for (UINT row = 0; row < description.Height; ++row)
        std::memcpy(&words[static_cast<std::size_t>(row) * rowWords],
                    static_cast<const std::uint8_t*>(mapped.pData) + row * mapped.RowPitch,
                    rowWords * sizeof(std::uint16_t));
    realContext->Unmap(staging.Get(), 0);
    return words;
}
