// The program's one global record. Everything runs on the GUI thread, so there are no locks
// and no accessors: routines read and write the fields directly.
#pragma once

#include <windows.h>
#include <d3d11.h>
#include <dxgi1_2.h>
#include <dcomp.h>
#include <wrl/client.h>

struct AppStateRecord {
    float hdrScale = 1.0f;  // brightness of the Rainbow colours; > 1.0 only on an HDR10 output

    // The graphics objects of the overlay. The members are destroyed in reverse order at exit,
    // so whatever is still held then goes compVisual first and d3dDevice last, like
    // ReleaseGraphics.
    Microsoft::WRL::ComPtr<ID3D11Device> d3dDevice;
    Microsoft::WRL::ComPtr<ID3D11DeviceContext> d3dContext;
    Microsoft::WRL::ComPtr<IDXGISwapChain1> swapChain;
    Microsoft::WRL::ComPtr<IDCompositionDevice> compDevice;
    Microsoft::WRL::ComPtr<IDCompositionTarget> compTarget;
    Microsoft::WRL::ComPtr<IDCompositionVisual> compVisual;  // empty: the overlay is never shown

    const unsigned char* reticlePixels = nullptr;  // resource 101, locked for the whole run
    bool deepBlack = false;                        // colour mode, stored as "Black"
    HICON trayIcon = nullptr;
    UINT taskbarCreatedMessage = 0;  // 0 when registration failed: the message is then ignored
    HWND managerWindow = nullptr;
    HWND reticleWindow = nullptr;
    bool colorHotkeyRegistered = false;  // Ctrl+Alt+W
    bool hideHotkeyRegistered = false;   // Ctrl+Alt+H
    HWINEVENTHOOK foregroundHook = nullptr;
    bool hidden = false;      // the user hid the wings; every run starts shown
    bool gameActive = false;  // the last refresh found the game in front and usable
    HRESULT graphicsStatus = S_OK;          // last build or upload; negative is a failure
    HMONITOR currentMonitor = nullptr;      // null makes the next refresh with the game rebuild
    int referenceWidth = 0;                 // M of currentMonitor, in pixels
    ULONGLONG retryAfterTick = 0;           // GetTickCount64 time of the next retry of a failure
    int overlaySize = 0;                    // side of the reticle window and swap chain
    bool contentUploaded = false;           // the image was uploaded (or tried) for this pipeline
};

extern AppStateRecord AppState;
