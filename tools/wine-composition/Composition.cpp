// DirectComposition for Wine, reduced to what a single swap-chain visual in a window needs:
// a device, a target for a window, visuals, their content, the target's root, and Commit,
// which shows the root's swap chain in the target window. The rest answers E_NOTIMPL.
#include <windows.h>
#include <dcomp.h>
#include <wrl/client.h>

#include <vector>

#include "tools/wine-composition/Controls.h"
#include "tools/wine-composition/FramePresenter.h"
#include "tools/wine-composition/SwapChain.h"

using Microsoft::WRL::ComPtr;

// The headers give these two no identifier of their own.
__CRT_UUID_DECL(IDCompositionVisual, 0x4d93059d, 0x097b, 0x4651, 0x9a, 0x60, 0xf0, 0xf2, 0x51,
                0x16, 0xe2, 0xf3)
__CRT_UUID_DECL(IDCompositionTarget, 0xeacdd04c, 0x117e, 0x4e17, 0x88, 0xf4, 0xd1, 0xb1, 0x2b,
                0x0e, 0x3d, 0x89)

namespace {

// One reference count for the three plain objects below.
template <typename Interface>
struct RefCounted : Interface {
    LONG references = 1;
    virtual ~RefCounted() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(Interface)) {
            AddRef();
            *object = static_cast<Interface*>(this);
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override {
        return static_cast<ULONG>(InterlockedIncrement(&references));
    }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&references);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }
};

struct Visual : RefCounted<IDCompositionVisual> {
    ComPtr<IUnknown> content;

    HRESULT STDMETHODCALLTYPE SetContent(IUnknown* newContent) override {
        content = newContent;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetOffsetX(IDCompositionAnimation*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetOffsetX(float) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetOffsetY(IDCompositionAnimation*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetOffsetY(float) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetTransform(IDCompositionTransform*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetTransform(const D2D_MATRIX_3X2_F&) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetTransformParent(IDCompositionVisual*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetEffect(IDCompositionEffect*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetBitmapInterpolationMode(
        DCOMPOSITION_BITMAP_INTERPOLATION_MODE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetBorderMode(DCOMPOSITION_BORDER_MODE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetClip(IDCompositionClip*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetClip(const D2D_RECT_F&) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddVisual(IDCompositionVisual*, BOOL, IDCompositionVisual*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE RemoveVisual(IDCompositionVisual*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemoveAllVisuals() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetCompositeMode(DCOMPOSITION_COMPOSITE_MODE) override {
        return E_NOTIMPL;
    }
};

struct Target : RefCounted<IDCompositionTarget> {
    HWND window = nullptr;
    ComPtr<Visual> root;  // only visuals of this stand-in are accepted

    HRESULT STDMETHODCALLTYPE SetRoot(IDCompositionVisual* visual) override {
        root = static_cast<Visual*>(visual);
        return S_OK;
    }
};

struct Device : RefCounted<IDCompositionDevice> {
    std::vector<ComPtr<Target>> targets;

    // What the compositor would show from now on: each target's root content, when it is a
    // swap chain with a new frame, goes into the target's window.
    HRESULT STDMETHODCALLTYPE Commit() override {
        const HRESULT injected = InjectedFailure(Step::Commit);
        if (FAILED(injected)) return injected;
        for (const ComPtr<Target>& target : targets) {
            if (!target->root || !target->root->content) continue;
            ComPtr<IUnknown> found;
            if (FAILED(target->root->content->QueryInterface(StandInSwapChainId, &found))) continue;
            ShowCommittedFrame(*static_cast<StandInSwapChain*>(
                                   static_cast<IDXGISwapChain1*>(found.Get())),
                               target->window);
        }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE CreateTargetForHwnd(HWND window, BOOL,
                                                  IDCompositionTarget** target) override {
        if (target == nullptr) return E_POINTER;
        *target = nullptr;
        const HRESULT injected = InjectedFailure(Step::Target);
        if (FAILED(injected)) return injected;
        if (!IsWindow(window)) return E_INVALIDARG;
        Target* made = new Target;  // its first reference is the caller's
        made->window = window;
        targets.emplace_back(made);  // the device keeps one of its own to show frames
        *target = made;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE CreateVisual(IDCompositionVisual** visual) override {
        if (visual == nullptr) return E_POINTER;
        *visual = nullptr;
        const HRESULT injected = InjectedFailure(Step::Visual);
        if (FAILED(injected)) return injected;
        *visual = new Visual;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE WaitForCommitCompletion() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetFrameStatistics(DCOMPOSITION_FRAME_STATISTICS*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateSurface(UINT, UINT, DXGI_FORMAT, DXGI_ALPHA_MODE,
                                            IDCompositionSurface**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateVirtualSurface(UINT, UINT, DXGI_FORMAT, DXGI_ALPHA_MODE,
                                                   IDCompositionVirtualSurface**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateSurfaceFromHandle(HANDLE, IUnknown**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateSurfaceFromHwnd(HWND, IUnknown**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateTranslateTransform(IDCompositionTranslateTransform**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateScaleTransform(IDCompositionScaleTransform**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateRotateTransform(IDCompositionRotateTransform**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateSkewTransform(IDCompositionSkewTransform**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateMatrixTransform(IDCompositionMatrixTransform**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateTransformGroup(IDCompositionTransform**, UINT,
                                                   IDCompositionTransform**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateTranslateTransform3D(
        IDCompositionTranslateTransform3D**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateScaleTransform3D(IDCompositionScaleTransform3D**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateRotateTransform3D(IDCompositionRotateTransform3D**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateMatrixTransform3D(IDCompositionMatrixTransform3D**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateTransform3DGroup(IDCompositionTransform3D**, UINT,
                                                     IDCompositionTransform3D**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateEffectGroup(IDCompositionEffectGroup**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateRectangleClip(IDCompositionRectangleClip**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CreateAnimation(IDCompositionAnimation**) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE CheckDeviceState(BOOL* valid) override {
        if (valid != nullptr) *valid = TRUE;
        return S_OK;
    }
};

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI DCompositionCreateDevice(IDXGIDevice* dxgiDevice,
                                                                       REFIID iid, void** device) {
    if (device == nullptr) return E_POINTER;
    *device = nullptr;
    const HRESULT injected = InjectedFailure(Step::Device);
    if (FAILED(injected)) return injected;
    if (dxgiDevice == nullptr) return E_INVALIDARG;
    Device* made = new Device;
    const HRESULT hr = made->QueryInterface(iid, device);
    made->Release();
    return hr;
}
