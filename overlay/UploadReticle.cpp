#include "overlay/GraphicsSteps.h"

#include <d3d11.h>
#include <wrl/client.h>

#include <cstdint>
#include <cstdlib>

#include "app/AppState.h"
#include "app/Ids.h"
#include "overlay/ReticleRaster.h"

using Microsoft::WRL::ComPtr;

namespace {

constexpr UINT WordsPerPixel = 4;                                   // red, green, blue, alpha
constexpr UINT BytesPerPixel = WordsPerPixel * sizeof(std::uint16_t);  // R16G16B16A16_FLOAT

// Copies the rasterised image into the back buffer, presents and commits; the HRESULT of the
// last call made. The texture is released on every return.
HRESULT CopyToSwapChain(const std::uint16_t* pixels, int side) {
    ComPtr<ID3D11Texture2D> texture;
    HRESULT status = AppState.swapChain->GetBuffer(0, IID_PPV_ARGS(&texture));
    if (FAILED(status)) return status;
    AppState.d3dContext->UpdateSubresource(texture.Get(), 0, nullptr, pixels,
                                           static_cast<UINT>(side) * BytesPerPixel, 0);
    status = AppState.swapChain->Present(0, 0);
    if (FAILED(status)) return status;
    return AppState.compDevice->Commit();  // the new content shows from this commit on
}

// Rasterises into a buffer of its own and copies it; the buffer lives for this call only.
HRESULT UploadCurrentImage() {
    const int side = AppState.overlaySize;
    // A build always makes the side at least 2. Should it ever be 0 there is no image to copy:
    // recorded as a failed upload (E_INVALIDARG), like a failed platform call.
    if (side <= 0) return E_INVALIDARG;
    const std::size_t words = static_cast<std::size_t>(side) * side * WordsPerPixel;
    auto* pixels = static_cast<std::uint16_t*>(std::calloc(words, sizeof(std::uint16_t)));
    if (pixels == nullptr) return E_OUTOFMEMORY;  // recorded as a failed upload too
    RasterizeReticle(AppState.reticlePixels, side, AppState.referenceWidth, AppState.hdrScale,
                     AppState.deepBlack, pixels);
    const HRESULT status = CopyToSwapChain(pixels, side);
    std::free(pixels);
    return status;
}

}  // namespace

void UploadReticle() {
    AppState.graphicsStatus = UploadCurrentImage();
    // Also after a failure: the attempt is not repeated; the rebuild at the retry time is.
    AppState.contentUploaded = true;
    if (AppState.graphicsStatus < 0)
        AppState.retryAfterTick = GetTickCount64() + GraphicsRetryDelayMs;
}
