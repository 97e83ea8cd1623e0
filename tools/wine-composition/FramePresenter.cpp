#include "tools/wine-composition/FramePresenter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "tools/wine-composition/Controls.h"
#include "tools/wine-composition/SwapChain.h"

namespace {

unsigned framesCommitted = 0;

float HalfToFloat(std::uint16_t word) {
    const int exponent = (word >> 10) & 0x1F;
    const int mantissa = word & 0x3FF;
    float magnitude;
    if (exponent == 0)
        magnitude = std::ldexp(static_cast<float>(mantissa), -24);  // subnormal
    else if (exponent == 31)
        magnitude = mantissa == 0 ? INFINITY : NAN;
    else
        magnitude = std::ldexp(static_cast<float>(mantissa + 1024), exponent - 25);
    return (word & 0x8000) ? -magnitude : magnitude;
}

float EncodeSrgb(float linear) {
    if (linear <= 0.0031308f) return 12.92f * linear;
    return 1.055f * std::pow(linear, 1.0f / 2.4f) - 0.055f;
}

std::uint32_t ToByte(float unit) {
    return static_cast<std::uint32_t>(std::lround(std::clamp(unit, 0.0f, 1.0f) * 255.0f));
}

// The N x N frame as tightly packed half words, read back from the staging texture.
HRESULT ReadFrame(StandInSwapChain& chain, std::vector<std::uint16_t>& words) {
    const UINT width = chain.desc.Width;
    const UINT height = chain.desc.Height;
    D3D11_MAPPED_SUBRESOURCE mapped = {};
    const HRESULT hr = chain.context->Map(chain.staging.Get(), 0, D3D11_MAP_READ, 0, &mapped);
    if (FAILED(hr)) return hr;
    words.resize(static_cast<std::size_t>(width) * height * 4);
    for (UINT row = 0; row < height; ++row) {
        std::memcpy(words.data() + static_cast<std::size_t>(row) * width * 4,
                    static_cast<const std::uint8_t*>(mapped.pData) + row * mapped.RowPitch,
                    width * 8);
    }
    chain.context->Unmap(chain.staging.Get(), 0);
    return S_OK;
}

// Words are stored low byte first, as x86 holds them.
void WriteFrame(const std::vector<std::uint16_t>& words, unsigned serial) {
    const std::wstring folder = FramesFolder();
    if (folder.empty()) return;
    wchar_t name[64];
    swprintf(name, 64, L"\\frame-%04u-swapchain-%u.raw", framesCommitted, serial);
    FILE* file = _wfopen((folder + name).c_str(), L"wb");
    if (file == nullptr) return;
    std::fwrite(words.data(), 2, words.size(), file);
    std::fclose(file);
}

// UpdateLayeredWindow refuses a window whose layer was set up with SetLayeredWindowAttributes;
// setting WS_EX_LAYERED anew resets the layer to one that takes whole frames.
void ResetLayer(HWND window) {
    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    SetWindowLongPtrW(window, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
    SetWindowLongPtrW(window, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
}

// The last frame shown in each target window. Wine drops a layered window's content when the
// window is shown again, so the window is subclassed to put the frame back after every show.
struct ShownFrame {
    std::vector<std::uint32_t> bgra;
    int width = 0;
    int height = 0;
    WNDPROC original = nullptr;
};
std::map<HWND, ShownFrame> shownFrames;

HRESULT UpdateLayer(HWND window, const ShownFrame& frame) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = frame.width;
    info.bmiHeader.biHeight = -frame.height;  // top row first, like the frame
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) {
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        return E_OUTOFMEMORY;
    }
    std::memcpy(bits, frame.bgra.data(), frame.bgra.size() * 4);

    HGDIOBJ previous = SelectObject(memory, bitmap);
    SIZE size = {frame.width, frame.height};
    POINT origin = {0, 0};
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    BOOL shown = UpdateLayeredWindow(window, screen, nullptr, &size, memory, &origin, 0, &blend,
                                     ULW_ALPHA);
    if (!shown) {
        ResetLayer(window);
        shown = UpdateLayeredWindow(window, screen, nullptr, &size, memory, &origin, 0, &blend,
                                    ULW_ALPHA);
    }
    const HRESULT hr = shown ? S_OK : HRESULT_FROM_WIN32(GetLastError());
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return hr;
}

LRESULT CALLBACK TargetWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto found = shownFrames.find(window);
    if (found == shownFrames.end()) return DefWindowProcW(window, message, wParam, lParam);
    const WNDPROC original = found->second.original;
    const LRESULT result = CallWindowProcW(original, window, message, wParam, lParam);
    if (message == WM_WINDOWPOSCHANGED &&
        (reinterpret_cast<const WINDOWPOS*>(lParam)->flags & SWP_SHOWWINDOW)) {
        UpdateLayer(window, found->second);
    } else if (message == WM_NCDESTROY) {
        shownFrames.erase(window);
    }
    return result;
}

HRESULT ShowInWindow(const std::vector<std::uint16_t>& words, int width, int height, HWND window) {
    auto [entry, added] = shownFrames.try_emplace(window);
    ShownFrame& frame = entry->second;
    if (added) {
        frame.original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC));
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TargetWndProc));
    }
    frame.width = width;
    frame.height = height;
    frame.bgra.resize(static_cast<std::size_t>(width) * height);
    for (std::size_t i = 0; i < frame.bgra.size(); ++i)
        frame.bgra[i] = DisplayPixel(words.data() + i * 4);
    return UpdateLayer(window, frame);
}

}  // namespace

std::uint32_t DisplayPixel(const std::uint16_t* rgbaHalf) {
    const float alpha = std::clamp(HalfToFloat(rgbaHalf[3]), 0.0f, 1.0f);
    const std::uint32_t alpha8 = ToByte(alpha);
    if (alpha8 == 0) return 0;
    std::uint32_t channels[3];
    for (int k = 0; k < 3; ++k) {
        // Straight colour, clipped to SDR white, then premultiplied again in 8 bits.
        const float straight = std::min(HalfToFloat(rgbaHalf[k]) / alpha, 1.0f);
        channels[k] = ToByte(EncodeSrgb(std::max(straight, 0.0f)) * alpha8 / 255.0f);
    }
    return alpha8 << 24 | channels[0] << 16 | channels[1] << 8 | channels[2];
}

HRESULT ShowCommittedFrame(StandInSwapChain& chain, HWND window) {
    if (!chain.presented) return S_OK;
    chain.presented = false;
    if (chain.desc.Format != DXGI_FORMAT_R16G16B16A16_FLOAT) return S_OK;  // the only one read
    std::vector<std::uint16_t> words;
    HRESULT hr = ReadFrame(chain, words);
    if (FAILED(hr)) return hr;
    ++framesCommitted;
    WriteFrame(words, chain.serial);
    hr = ShowInWindow(words, static_cast<int>(chain.desc.Width),
                      static_cast<int>(chain.desc.Height), window);
    LogEvent("commit frame %u swapchain %u %ux%u shown 0x%08lX", framesCommitted, chain.serial,
             chain.desc.Width, chain.desc.Height, static_cast<unsigned long>(hr));
    return S_OK;
}
