// The composition stand-in on its own, in this process: the pipeline the program builds
// (composition swap chain, DirectComposition target and visual, upload, Present, Commit) shows
// the uploaded pixels on the screen at the window's place and records them, and the controls
// fail steps and report HDR as asked.
#include <windows.h>
#include <d3d11.h>
#include <dcomp.h>
#include <dxgi1_6.h>
#include <wrl/client.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/windows/support/WineTest.h"

using Microsoft::WRL::ComPtr;

namespace {

using CreateDeviceFn = HRESULT(WINAPI*)(IDXGIDevice*, REFIID, void**);

constexpr int Side = 64;
constexpr int WindowX = 300;
constexpr int WindowY = 200;
constexpr HRESULT InjectedHr = static_cast<HRESULT>(0x887A0020);  // any failure code will do

std::wstring RunFolder() { return BinaryDir() + L"\\composition-run"; }

// Loaded by path before the first factory: its DllMain hooks this program's DXGI imports.
CreateDeviceFn StandInCreateDevice() {
    static HMODULE module = LoadLibraryW((RunFolder() + L"\\dcomp.dll").c_str());
    if (module == nullptr) return nullptr;
    return reinterpret_cast<CreateDeviceFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "DCompositionCreateDevice")));
}

void SetControl(const wchar_t* name, const wchar_t* value) { SetEnvironmentVariableW(name, value); }

LRESULT CALLBACK PlainWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) return 1;
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

// A window made the way the program makes its reticle window.
HWND MakeLayeredWindow() {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = PlainWndProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"StandInProbe";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(
        WS_EX_TOPMOST | WS_EX_TRANSPARENT | WS_EX_TOOLWINDOW | WS_EX_LAYERED |
            WS_EX_NOREDIRECTIONBITMAP | WS_EX_NOACTIVATE,
        windowClass.lpszClassName, L"probe", WS_POPUP, WindowX, WindowY, Side, Side, nullptr,
        nullptr, windowClass.hInstance, nullptr);
    SetLayeredWindowAttributes(window, 0, 255, LWA_ALPHA);
    return window;
}

struct Pipeline {
    ComPtr<IDXGIFactory2> factory;
    ComPtr<ID3D11Device> device;
    ComPtr<ID3D11DeviceContext> context;
    ComPtr<IDXGISwapChain1> swapChain;
    ComPtr<IDCompositionDevice> compDevice;
    ComPtr<IDCompositionTarget> target;
    ComPtr<IDCompositionVisual> visual;
    HRESULT status = S_OK;
    const char* failedStep = nullptr;
};

bool Step(Pipeline& pipeline, const char* name, HRESULT hr) {
    pipeline.status = hr;
    if (FAILED(hr)) pipeline.failedStep = name;
    return SUCCEEDED(hr);
}

// The program's build, step for step; stops at the first failure.
Pipeline Build(HWND window) {
    Pipeline p;
    if (!Step(p, "factory", CreateDXGIFactory1(IID_PPV_ARGS(&p.factory)))) return p;
    if (!Step(p, "d3d", D3D11CreateDevice(nullptr, D3D_DRIVER_TYPE_HARDWARE, nullptr,
                                          D3D11_CREATE_DEVICE_BGRA_SUPPORT, nullptr, 0,
                                          D3D11_SDK_VERSION, &p.device, nullptr, &p.context)))
        return p;
    DXGI_SWAP_CHAIN_DESC1 desc = {};
    desc.Width = Side;
    desc.Height = Side;
    desc.Format = DXGI_FORMAT_R16G16B16A16_FLOAT;
    desc.SampleDesc.Count = 1;
    desc.BufferUsage = DXGI_USAGE_RENDER_TARGET_OUTPUT;
    desc.BufferCount = 2;
    desc.Scaling = DXGI_SCALING_STRETCH;
    desc.SwapEffect = DXGI_SWAP_EFFECT_FLIP_SEQUENTIAL;
    desc.AlphaMode = DXGI_ALPHA_MODE_PREMULTIPLIED;
    if (!Step(p, "swapchain",
              p.factory->CreateSwapChainForComposition(p.device.Get(), &desc, nullptr,
                                                       &p.swapChain)))
        return p;
    ComPtr<IDXGIDevice> dxgiDevice;
    if (!Step(p, "dxgidevice", p.device.As(&dxgiDevice))) return p;
    CreateDeviceFn createDevice = StandInCreateDevice();
    if (!Step(p, "device", createDevice(dxgiDevice.Get(), __uuidof(IDCompositionDevice),
                                        reinterpret_cast<void**>(p.compDevice.GetAddressOf()))))
        return p;
    if (!Step(p, "target", p.compDevice->CreateTargetForHwnd(window, TRUE, &p.target))) return p;
    if (!Step(p, "visual", p.compDevice->CreateVisual(&p.visual))) return p;
    if (!Step(p, "content", p.visual->SetContent(p.swapChain.Get()))) return p;
    if (!Step(p, "root", p.target->SetRoot(p.visual.Get()))) return p;
    Step(p, "commit", p.compDevice->Commit());
    return p;
}

// The upload as the program does it; the result of the last call made.
HRESULT Upload(Pipeline& p, const std::vector<std::uint16_t>& words, const char** failedStep) {
    ComPtr<ID3D11Texture2D> texture;
    HRESULT hr = p.swapChain->GetBuffer(0, IID_PPV_ARGS(&texture));
    *failedStep = "getbuffer";
    if (FAILED(hr)) return hr;
    p.context->UpdateSubresource(texture.Get(), 0, nullptr, words.data(), Side * 8, 0);
    *failedStep = "present";
    hr = p.swapChain->Present(0, 0);
    if (FAILED(hr)) return hr;
    *failedStep = "commit";
    return p.compDevice->Commit();
}

// Half words of a few exact values.
constexpr std::uint16_t H0 = 0x0000, HHalf = 0x3800, HQuarter = 0x3400, HOne = 0x3C00,
                        HSix = 0x4600;

// Test picture: transparent everywhere but four 8 x 8 squares along the middle rows.
struct Patch {
    int column;                       // left edge; rows 28 to 35
    std::uint16_t rgba[4];            // what is uploaded
    bool drawn;                       // false: alpha 0, the window behind shows through
    BYTE red, green, blue;            // what an SDR screen shows
};
constexpr Patch Patches[] = {
    {4, {HOne, HHalf, HQuarter, HOne}, true, 255, 188, 137},  // opaque, sRGB-encoded
    {20, {HSix, H0, H0, HOne}, true, 255, 0, 0},              // brighter than SDR white: clipped
    {36, {HHalf, H0, H0, HHalf}, true, 128, 0, 0},            // half covered: premultiplied
    {52, {HOne, HOne, HOne, H0}, false, 0, 0, 0},             // no coverage: nothing drawn
};

std::vector<std::uint16_t> TestPicture() {
    std::vector<std::uint16_t> words(Side * Side * 4, 0);
    for (const Patch& patch : Patches)
        for (int row = 28; row < 36; ++row)
            for (int column = patch.column; column < patch.column + 8; ++column)
                for (int k = 0; k < 4; ++k) words[(row * Side + column) * 4 + k] = patch.rgba[k];
    return words;
}

COLORREF ScreenPixel(int x, int y) {
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, x, y);
    ReleaseDC(nullptr, screen);
    return colour;
}

bool Near(BYTE actual, BYTE expected) { return actual + 2 >= expected && actual <= expected + 2; }

std::vector<std::wstring> FrameFiles(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\frame-*.raw").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do names.push_back(folder + L"\\" + found.cFileName);
    while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
}

std::vector<std::uint16_t> ReadWords(const std::wstring& path) {
    std::vector<std::uint16_t> words;
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (file == nullptr) return words;
    std::uint16_t word;
    while (std::fread(&word, 2, 1, file) == 1) words.push_back(word);
    std::fclose(file);
    return words;
}

class StandInPipeline : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(StandInCreateDevice(), nullptr) << "no stand-in dcomp.dll in the run folder";
        SetControl(L"QUORVEL_COMPOSITION_FAIL", nullptr);
        SetControl(L"QUORVEL_COMPOSITION_HDR", nullptr);
        window = MakeLayeredWindow();
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override {
        SetControl(L"QUORVEL_COMPOSITION_FAIL", nullptr);
        SetControl(L"QUORVEL_COMPOSITION_FRAMES", nullptr);
        SetControl(L"QUORVEL_COMPOSITION_HDR", nullptr);
        DestroyWindow(window);
    }
    HWND window = nullptr;
};

TEST_F(StandInPipeline, ShowsAndRecordsTheCommittedFrame) {
    wchar_t folder[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    const std::wstring frames = std::wstring(folder) + L"quorvel-standin-frames";
    CreateDirectoryW(frames.c_str(), nullptr);
    for (const std::wstring& old : FrameFiles(frames)) DeleteFileW(old.c_str());
    SetControl(L"QUORVEL_COMPOSITION_FRAMES", frames.c_str());

    Pipeline p = Build(window);
    ASSERT_EQ(p.status, S_OK) << "failed at " << p.failedStep;
    EXPECT_TRUE(FrameFiles(frames).empty()) << "a commit before any Present records nothing";

    const std::vector<std::uint16_t> picture = TestPicture();
    const char* step = nullptr;
    ASSERT_EQ(Upload(p, picture, &step), S_OK) << "failed at " << step;
    SetWindowPos(window, HWND_TOPMOST, WindowX, WindowY, Side, Side,
                 SWP_NOACTIVATE | SWP_SHOWWINDOW);

    const std::vector<std::wstring> files = FrameFiles(frames);
    ASSERT_FALSE(files.empty());
    EXPECT_EQ(files.size(), 1u);
    EXPECT_EQ(ReadWords(files[0]), picture);

    for (const Patch& patch : Patches) {
        const int x = WindowX + patch.column + 4, y = WindowY + 32;
        COLORREF colour = 0;
        const bool settled = WaitUntil([&] {
            colour = ScreenPixel(x, y);
            if (!patch.drawn) return colour == ScreenPixel(WindowX - 20, y);
            return Near(GetRValue(colour), patch.red) && Near(GetGValue(colour), patch.green) &&
                   Near(GetBValue(colour), patch.blue);
        }, 5000);
        EXPECT_TRUE(settled) << "patch at column " << patch.column << ": screen shows "
                             << int(GetRValue(colour)) << "," << int(GetGValue(colour)) << ","
                             << int(GetBValue(colour));
    }
}

TEST_F(StandInPipeline, EachStepFailsAlwaysOrOnceAsAsked) {
    struct Case {
        const wchar_t* control;
        const char* step;
        bool atUpload;
    };
    const Case cases[] = {
        {L"swapchain", "swapchain", false}, {L"device", "device", false},
        {L"target", "target", false},       {L"visual", "visual", false},
        {L"commit", "commit", false},       {L"present", "present", true},
    };
    for (const Case& c : cases) {
        for (const bool once : {false, true}) {
            SCOPED_TRACE(std::string(c.step) + (once ? " once" : " always"));
            wchar_t setting[64];
            swprintf(setting, 64, L"%ls:0x%08lX%ls", c.control, static_cast<unsigned long>(InjectedHr),
                     once ? L":once" : L"");
            SetControl(L"QUORVEL_COMPOSITION_FAIL", setting);
            for (int attempt = 0; attempt < 2; ++attempt) {
                const bool mustFail = attempt == 0 || !once;
                Pipeline p = Build(window);
                HRESULT hr = p.status;
                const char* failedAt = p.failedStep;
                if (SUCCEEDED(hr) && c.atUpload) hr = Upload(p, TestPicture(), &failedAt);
                if (mustFail) {
                    EXPECT_EQ(hr, InjectedHr) << "attempt " << attempt;
                    if (FAILED(hr)) {
                        EXPECT_STREQ(failedAt, c.step);
                    }
                } else {
                    EXPECT_EQ(hr, S_OK) << "attempt " << attempt << " failed at " << failedAt;
                }
            }
        }
    }
}

TEST_F(StandInPipeline, ReportsHdr10OnlyWhenAsked) {
    ComPtr<IDXGIFactory2> factory;
    ASSERT_EQ(CreateDXGIFactory1(IID_PPV_ARGS(&factory)), S_OK);
    ComPtr<IDXGIAdapter1> adapter;
    ComPtr<IDXGIOutput> output;
    ComPtr<IDXGIOutput6> output6;
    ASSERT_EQ(factory->EnumAdapters1(0, &adapter), S_OK);
    ASSERT_EQ(adapter->EnumOutputs(0, &output), S_OK);
    ASSERT_EQ(output.As(&output6), S_OK);

    DXGI_OUTPUT_DESC1 desc = {};
    ASSERT_EQ(output6->GetDesc1(&desc), S_OK);
    EXPECT_NE(desc.ColorSpace, DXGI_COLOR_SPACE_RGB_FULL_G2084_NONE_P2020);

    for (const float nits : {1000.0f, 400.0f, 80.0f}) {
        wchar_t value[32];
        swprintf(value, 32, L"%g", nits);
        SetControl(L"QUORVEL_COMPOSITION_HDR", value);
        desc = {};
        ASSERT_EQ(output6->GetDesc1(&desc), S_OK);
        EXPECT_EQ(desc.ColorSpace, DXGI_COLOR_SPACE_RGB_FULL_G2084_NONE_P2020);
        EXPECT_EQ(desc.MaxLuminance, nits);
    }
}

}  // namespace
