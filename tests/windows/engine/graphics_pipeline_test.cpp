// The graphics pipeline against the test doubles, driven through RefreshOverlay with the
// stand-in game in front: what is built, in which order and with which arguments, what a
// failure leaves behind, the retry, the brightness, and the pixels that reach the swap chain.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "app/AppState.h"
#include "app/Ids.h"
#include "app/ManagerWindow.h"
#include "overlay/GraphicsSteps.h"
#include "overlay/Overlay.h"
#include "overlay/ReticleRaster.h"
#include "tests/windows/doubles/GraphicsDoubles.h"
#include "tests/windows/engine/EngineHarness.h"
#include "tests/windows/engine/EngineStandIns.h"

namespace {

// Distinct failure codes, so a test sees whose result ended up in graphicsStatus.
constexpr HRESULT Broken = static_cast<HRESULT>(0x887A0020);  // DXGI_ERROR_DRIVER_INTERNAL_ERROR
constexpr HRESULT Refused = static_cast<HRESULT>(0x80070005);  // E_ACCESSDENIED
const HMONITOR OtherMonitor = reinterpret_cast<HMONITOR>(static_cast<INT_PTR>(0x7A11));

constexpr int Hdr10 = 12;  // DXGI_COLOR_SPACE_RGB_FULL_G2084_NONE_P2020

// The game's window: 1280 x 720 on the 1920 x 1080 screen, so the overlay is 64 square.
constexpr int Side = 64;
constexpr int ReferenceWidth1080 = 1920;

// A failed pipeline is rebuilt no sooner than this after the failure.
constexpr ULONGLONG RetryDelayMs = 3000;

class Pipeline : public testing::Test {
protected:
    static void SetUpTestSuite() {
        SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
        game = StartGame(L"--client 1280x720 --at 100,100");
    }
    static void TearDownTestSuite() { EndGame(game); }

    void SetUp() override {
        ASSERT_TRUE(BringToFront(game.window));
        ResetEngine();
    }
    void TearDown() override {
        ReleaseGraphics();
        EXPECT_EQ(UnbalancedObjects(), std::vector<std::string>{});
        DeleteSettingsKey();
    }

    static Game game;
};
Game Pipeline::game;

// Where the overlay's top-left corner belongs for the game's current position.
POINT OriginOver(HWND gameWindow) {
    const POINT centre = ClientCentreOnScreen(gameWindow);
    return {centre.x - Side / 2, centre.y - Side / 2};
}

// What every device creation passes besides the adapter and driver type: no software module,
// BGRA support only, the platform's default feature levels, and no feature level asked back.
void ExpectDeviceArguments(const DeviceCall& call) {
    EXPECT_EQ(call.software, nullptr);
    EXPECT_EQ(call.flags, static_cast<UINT>(D3D11_CREATE_DEVICE_BGRA_SUPPORT));
    EXPECT_EQ(call.featureLevels, nullptr);
    EXPECT_EQ(call.featureLevelCount, 0u);
    EXPECT_EQ(call.sdkVersion, 7u);
    EXPECT_FALSE(call.wantsFeatureLevel);
}

long Find(const std::string& call, long from = 0) {
    const auto& calls = Doubles.calls;
    auto found = std::find(calls.begin() + from, calls.end(), call);
    return found == calls.end() ? -1 : static_cast<long>(found - calls.begin());
}

std::vector<std::uint16_t> Rasterized(float hdrScale, bool deepBlack) {
    std::vector<std::uint16_t> pixels(static_cast<std::size_t>(Side) * Side * 4);
    RasterizeReticle(AppState.reticlePixels, Side, ReferenceWidth1080, hdrScale, deepBlack,
                     pixels.data());
    return pixels;
}

TEST_F(Pipeline, FirstRefreshBuildsUploadsAndShowsInThisOrder) {
    RefreshOverlay(true, false);

    const std::vector<std::string> expected = {
        "CreateDXGIFactory1",
        "EnumAdapters1 0",
        "EnumOutputs adapter 0 0",
        "GetDesc output 0.0",
        "QueryInterface IDXGIOutput6 output 0.0",
        "GetDesc1 output 0.0",
        "Release output 0.0",  // the adapter's other outputs are not looked at
        "D3D11CreateDevice adapter 0",
        "CreateSwapChainForComposition",
        "QueryInterface IDXGIDevice",
        "DCompositionCreateDevice",
        "CreateTargetForHwnd",
        "CreateVisual",
        "SetContent",
        "SetRoot",
        "Commit",
        "Release DXGI device",  // temporaries: DXGI device, adapter, factory
        "Release adapter 0",
        "Release factory",
        "GetBuffer 0",  // the upload
        "Present",
        "Commit",
    };
    EXPECT_EQ(Doubles.calls, expected);

    EXPECT_EQ(Doubles.factoryIid, __uuidof(IDXGIFactory2));
    ASSERT_EQ(Doubles.deviceCalls.size(), 1u);
    const DeviceCall& device = Doubles.deviceCalls[0];
    EXPECT_EQ(device.adapter, "adapter 0");
    EXPECT_EQ(device.driverType, D3D_DRIVER_TYPE_UNKNOWN);
    ExpectDeviceArguments(device);
    EXPECT_TRUE(device.wantsDevice);
    EXPECT_TRUE(device.wantsContext);

    const DXGI_SWAP_CHAIN_DESC1& chain = Doubles.swapChainDesc;
    EXPECT_EQ(chain.Width, static_cast<UINT>(Side));
    EXPECT_EQ(chain.Height, static_cast<UINT>(Side));
    EXPECT_EQ(chain.Format, DXGI_FORMAT_R16G16B16A16_FLOAT);
    EXPECT_EQ(chain.Stereo, FALSE);
    EXPECT_EQ(chain.SampleDesc.Count, 1u);
    EXPECT_EQ(chain.SampleDesc.Quality, 0u);
    EXPECT_EQ(chain.BufferUsage, static_cast<DXGI_USAGE>(DXGI_USAGE_RENDER_TARGET_OUTPUT));
    EXPECT_EQ(chain.BufferCount, 2u);
    EXPECT_EQ(chain.Scaling, DXGI_SCALING_STRETCH);
    EXPECT_EQ(chain.SwapEffect, DXGI_SWAP_EFFECT_FLIP_SEQUENTIAL);
    EXPECT_EQ(chain.AlphaMode, DXGI_ALPHA_MODE_PREMULTIPLIED);
    EXPECT_EQ(chain.Flags, 0u);
    EXPECT_EQ(Doubles.swapChainDevice, Doubles.deviceHandedOut);
    EXPECT_EQ(Doubles.swapChainRestrictToOutput, nullptr);

    EXPECT_EQ(Doubles.compositionDxgiDevice, Doubles.dxgiDeviceHandedOut);
    EXPECT_EQ(Doubles.compositionIid, __uuidof(IDCompositionDevice));
    EXPECT_EQ(Doubles.targetWindow, AppState.reticleWindow);
    EXPECT_EQ(Doubles.targetTopmost, TRUE);
    EXPECT_EQ(Doubles.visualContent, Doubles.swapChainHandedOut);
    EXPECT_EQ(Doubles.targetRoot, Doubles.visualHandedOut);
    EXPECT_EQ(Doubles.getBufferIndex, 0u);
    EXPECT_EQ(Doubles.getBufferIid, __uuidof(ID3D11Texture2D));
    EXPECT_EQ(Doubles.presentSyncInterval, 0u);
    EXPECT_EQ(Doubles.presentFlags, 0u);

    EXPECT_TRUE(AppState.gameActive);
    EXPECT_EQ(AppState.graphicsStatus, S_OK);
    EXPECT_TRUE(AppState.contentUploaded);
    EXPECT_EQ(AppState.currentMonitor, PrimaryMonitor());
    EXPECT_EQ(AppState.referenceWidth, ReferenceWidth1080);
    EXPECT_EQ(AppState.overlaySize, Side);
    EXPECT_EQ(AppState.hdrScale, 1.0f);
    EXPECT_EQ(ReticleTitle(), L"Quorvel | Rainbow");

    // Pre-sized hidden at the origin, then shown topmost there.
    const POINT origin = OriginOver(game.window);
    ASSERT_GE(ReticleLog.positions.size(), 2u);
    const WINDOWPOS& presize = ReticleLog.positions.front();
    EXPECT_EQ(presize.flags & (SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW),
              static_cast<UINT>(SWP_NOZORDER | SWP_NOACTIVATE));
    EXPECT_EQ(presize.x, origin.x);
    EXPECT_EQ(presize.y, origin.y);
    EXPECT_EQ(presize.cx, Side);
    EXPECT_EQ(presize.cy, Side);
    const WINDOWPOS& shown = ReticleLog.positions.back();
    EXPECT_EQ(shown.hwndInsertAfter, HWND_TOPMOST);
    EXPECT_EQ(shown.flags & (SWP_NOACTIVATE | SWP_SHOWWINDOW),
              static_cast<UINT>(SWP_NOACTIVATE | SWP_SHOWWINDOW));
    EXPECT_TRUE(ReticleVisible());
    const RECT rect = ReticleRect();
    EXPECT_EQ(rect.left, origin.x);
    EXPECT_EQ(rect.top, origin.y);
    EXPECT_EQ(rect.right - rect.left, Side);
    EXPECT_EQ(rect.bottom - rect.top, Side);
}

// Which of the six references a failed build leaves in the state record.
struct Held {
    bool device, context, swapChain, compDevice, compTarget, compVisual;
};

void ExpectHeld(const Held& held) {
    EXPECT_EQ(AppState.d3dDevice != nullptr, held.device);
    EXPECT_EQ(AppState.d3dContext != nullptr, held.context);
    EXPECT_EQ(AppState.swapChain != nullptr, held.swapChain);
    EXPECT_EQ(AppState.compDevice != nullptr, held.compDevice);
    EXPECT_EQ(AppState.compTarget != nullptr, held.compTarget);
    EXPECT_EQ(AppState.compVisual != nullptr, held.compVisual);
}

struct BuildFailure {
    std::vector<std::string> failingSteps;  // all fail with Broken
    Held held;
};

const BuildFailure buildFailures[] = {
    {{"CreateDXGIFactory1"}, {false, false, false, false, false, false}},
    {{"D3D11CreateDevice", "D3D11CreateDevice WARP"}, {false, false, false, false, false, false}},
    {{"CreateSwapChainForComposition"}, {true, true, false, false, false, false}},
    {{"QueryInterface IDXGIDevice"}, {true, true, true, false, false, false}},
    {{"DCompositionCreateDevice"}, {true, true, true, false, false, false}},
    {{"CreateTargetForHwnd"}, {true, true, true, true, false, false}},
    {{"CreateVisual"}, {true, true, true, true, true, false}},
    {{"SetContent"}, {true, true, true, true, true, true}},
    {{"SetRoot"}, {true, true, true, true, true, true}},
    {{"Commit"}, {true, true, true, true, true, true}},
};

TEST_F(Pipeline, EveryFailingBuildStepKeepsWhatItMadeAndHidesTheOverlay) {
    for (const BuildFailure& row : buildFailures) {
        SCOPED_TRACE(row.failingSteps.back());
        ResetEngine();
        for (const std::string& step : row.failingSteps) Doubles.failures[step] = Broken;

        SetTestTick(500000);
        RefreshOverlay(false, false);

        EXPECT_EQ(AppState.graphicsStatus, Broken);
        ExpectHeld(row.held);
        EXPECT_FALSE(AppState.contentUploaded);
        EXPECT_EQ(CallCount("GetBuffer"), 0) << "no upload after a failed build";
        EXPECT_EQ(AppState.retryAfterTick, 500000 + RetryDelayMs);
        EXPECT_TRUE(AppState.gameActive);
        EXPECT_FALSE(ReticleVisible());
        EXPECT_EQ(ReticleTitle(), L"Quorvel | Display unavailable");
        // Every temporary is gone already; the references go with the next release.
        ReleaseGraphics();
        EXPECT_EQ(UnbalancedObjects(), std::vector<std::string>{});
    }
}

TEST_F(Pipeline, FailedFactoryKeepsTheBrightnessOfTheLastBuild) {
    Doubles.adapters[0].outputs[0].colorSpace = Hdr10;
    Doubles.adapters[0].outputs[0].maxLuminance = 400.0f;
    RefreshOverlay(false, false);
    ASSERT_EQ(AppState.hdrScale, 4.0f);

    Doubles.failures["CreateDXGIFactory1"] = Broken;
    RefreshOverlay(true, true);
    EXPECT_EQ(AppState.graphicsStatus, Broken);
    EXPECT_EQ(AppState.hdrScale, 4.0f);
}

struct UploadFailure {
    const char* failingStep;
    std::vector<std::string> notCalled;
};

const UploadFailure uploadFailures[] = {
    {"GetBuffer", {"Present", "Commit#2"}},
    {"Present", {"Commit#2"}},
    {"Commit#2", {}},  // the upload's commit; the first is the build's
};

TEST_F(Pipeline, FailingUploadCountsAsDoneAndHidesTheOverlay) {
    for (const UploadFailure& row : uploadFailures) {
        SCOPED_TRACE(row.failingStep);
        ResetEngine();
        Doubles.failures[row.failingStep] = Refused;

        SetTestTick(500000);
        RefreshOverlay(false, false);

        EXPECT_EQ(AppState.graphicsStatus, Refused);
        EXPECT_TRUE(AppState.contentUploaded);
        ExpectHeld({true, true, true, true, true, true});
        EXPECT_EQ(AppState.retryAfterTick, 500000 + RetryDelayMs);
        for (const std::string& step : row.notCalled) {
            const std::string name = step.substr(0, step.find('#'));
            EXPECT_EQ(CallCount(name), name == "Commit" ? 1 : 0) << step;
        }
        EXPECT_FALSE(ReticleVisible());
        EXPECT_EQ(ReticleTitle(), L"Quorvel | Display unavailable");

        // Not tried again by the next calls: the retry is a rebuild.
        RefreshOverlay(false, false);
        EXPECT_EQ(CallCount("GetBuffer"), 1);
        ReleaseGraphics();
        EXPECT_EQ(UnbalancedObjects(), std::vector<std::string>{});
    }
}

// A side of 0 cannot come from a build (the smallest monitor gives 2); should it ever reach the
// upload, it is a failed upload like any other, not a copy of nothing.
TEST_F(Pipeline, UploadOfNoPixelsIsAFailure) {
    RefreshOverlay(false, false);
    ASSERT_EQ(AppState.graphicsStatus, S_OK);
    const std::size_t calls = Doubles.calls.size();
    AppState.overlaySize = 0;
    AppState.contentUploaded = false;

    SetTestTick(700000);
    UploadReticle();

    EXPECT_EQ(AppState.graphicsStatus, E_INVALIDARG);
    EXPECT_TRUE(AppState.contentUploaded);
    EXPECT_EQ(AppState.retryAfterTick, 700000 + RetryDelayMs);
    EXPECT_EQ(Doubles.calls.size(), calls) << "a platform call was made";
}

TEST_F(Pipeline, FailureIsRebuiltAtTheFirstRefreshAfterTheDelayReleasingFirst) {
    SetTestTick(200000);
    Doubles.failures["CreateTargetForHwnd"] = Broken;
    RefreshOverlay(false, false);
    ASSERT_EQ(AppState.graphicsStatus, Broken);
    EXPECT_EQ(AppState.retryAfterTick, 203000u);
    Doubles.failures.clear();

    // Polls up to one millisecond before the retry time build nothing; the one at it rebuilds.
    for (ULONGLONG tick : {200250ull, 202750ull, 202999ull}) {
        SetTestTick(tick);
        RefreshOverlay(false, false);
        EXPECT_EQ(CallCount("CreateDXGIFactory1"), 1) << "rebuilt at " << tick;
    }
    SetTestTick(203000);
    RefreshOverlay(false, false);
    EXPECT_EQ(CallCount("CreateDXGIFactory1"), 2) << "no rebuild at the retry time";
    EXPECT_EQ(AppState.graphicsStatus, S_OK);
    EXPECT_TRUE(ReticleVisible());

    // The first pipeline was released, in order, before the new factory was asked for.
    const long secondFactory = Find("CreateDXGIFactory1", Find("CreateDXGIFactory1") + 1);
    const long device = Find("Release composition device");
    const long swapChain = Find("Release swap chain");
    const long d3dDevice = Find("Release device");
    ASSERT_NE(device, -1);
    EXPECT_LT(device, swapChain);
    EXPECT_LT(swapChain, d3dDevice);
    EXPECT_LT(d3dDevice, secondFactory);
}

TEST_F(Pipeline, PollsBeforeTheRetryTimeBuildNothing) {
    Doubles.failures["CreateSwapChainForComposition"] = Broken;
    RefreshOverlay(false, false);
    ReticleLog = ReticleLogRecord{};
    AppState.retryAfterTick = GetTickCount64() + 60000;
    const std::size_t calls = Doubles.calls.size();
    for (int poll = 0; poll < 3; ++poll) RefreshOverlay(false, false);
    EXPECT_EQ(Doubles.calls.size(), calls);
    EXPECT_EQ(ReticleLog.titleChanges, 0);
    EXPECT_FALSE(ReticleVisible());
}

TEST_F(Pipeline, ReleaseGraphicsGoesFromVisualToDeviceAndThenHasNothingToDo) {
    RefreshOverlay(false, false);
    Doubles.calls.clear();
    ReleaseGraphics();
    const std::vector<std::string> expected = {
        "Release composition visual", "Release composition target",
        "Release composition device", "Release swap chain",
        "Release device",  // the context between these two is a real one, not logged
    };
    EXPECT_EQ(Doubles.calls, expected);
    ExpectHeld({false, false, false, false, false, false});
    EXPECT_EQ(UnbalancedObjects(), std::vector<std::string>{});

    ReleaseGraphics();
    EXPECT_EQ(Doubles.calls, expected);
    EXPECT_EQ(UnbalancedObjects(), std::vector<std::string>{});
}

TEST_F(Pipeline, HardwareFailureFallsBackToWarpInSdrEvenOnHdr10) {
    Doubles.adapters[0].outputs[0].colorSpace = Hdr10;
    Doubles.adapters[0].outputs[0].maxLuminance = 1000.0f;
    Doubles.failures["D3D11CreateDevice"] = Broken;
    RefreshOverlay(false, false);

    ASSERT_EQ(Doubles.deviceCalls.size(), 2u);
    EXPECT_EQ(Doubles.deviceCalls[0].adapter, "adapter 0");
    const DeviceCall& warp = Doubles.deviceCalls[1];
    EXPECT_EQ(warp.adapter, "null");
    EXPECT_EQ(warp.driverType, D3D_DRIVER_TYPE_WARP);
    ExpectDeviceArguments(warp);
    // The matched adapter is still held while the software device is made.
    EXPECT_LT(Find("D3D11CreateDevice WARP null"), Find("Release adapter 0"));
    EXPECT_EQ(AppState.hdrScale, 1.0f);
    EXPECT_EQ(AppState.graphicsStatus, S_OK);
    EXPECT_TRUE(ReticleVisible());
    EXPECT_EQ(ReticleTitle(), L"Quorvel | Rainbow");
}

struct AdapterCase {
    const char* what;
    std::vector<AdapterSetup> adapters;  // a null monitor in a setup means the game's
    HRESULT enumAdaptersFailure;
    std::string deviceAdapter;
    D3D_DRIVER_TYPE driverType;
    float hdrScale;
    int getDesc1Calls;
};

OutputSetup OutputOn(HMONITOR monitor, int colorSpace = 0, float maxLuminance = 0.0f) {
    OutputSetup output;
    output.monitor = monitor;
    output.colorSpace = colorSpace;
    output.maxLuminance = maxLuminance;
    return output;
}

OutputSetup FailingDesc() {
    OutputSetup output = OutputOn(nullptr);
    output.getDescResult = Broken;
    return output;
}

AdapterSetup AdapterWith(std::vector<OutputSetup> outputs, HRESULT enumFailure = S_OK) {
    AdapterSetup adapter;
    adapter.outputs = std::move(outputs);
    adapter.enumOutputsResult = enumFailure;
    return adapter;
}

TEST_F(Pipeline, TheFirstAdapterWithAnOutputOnTheGameMonitorIsUsed) {
    const AdapterCase cases[] = {
        {"two adapters list the monitor",
         {AdapterWith({OutputOn(nullptr, Hdr10, 400.0f)}), AdapterWith({OutputOn(nullptr)})},
         S_OK, "adapter 0", D3D_DRIVER_TYPE_UNKNOWN, 4.0f, 1},
        {"the second adapter drives it",
         {AdapterWith({OutputOn(OtherMonitor)}), AdapterWith({OutputOn(nullptr, Hdr10, 270.0f)})},
         S_OK, "adapter 1", D3D_DRIVER_TYPE_UNKNOWN, 2.7f, 1},
        {"only the matching output's HDR state counts",
         {AdapterWith({OutputOn(OtherMonitor, Hdr10, 1000.0f), OutputOn(nullptr)})}, S_OK,
         "adapter 0", D3D_DRIVER_TYPE_UNKNOWN, 1.0f, 1},
        {"no output on the monitor",
         {AdapterWith({OutputOn(OtherMonitor, Hdr10, 1000.0f)}), AdapterWith({})}, S_OK, "null",
         D3D_DRIVER_TYPE_HARDWARE, 1.0f, 0},
        {"no adapters", {}, S_OK, "null", D3D_DRIVER_TYPE_HARDWARE, 1.0f, 0},
        {"adapters cannot be listed", {AdapterWith({OutputOn(nullptr, Hdr10, 400.0f)})}, Broken,
         "null", D3D_DRIVER_TYPE_HARDWARE, 1.0f, 0},
        {"outputs of the first cannot be listed",
         {AdapterWith({OutputOn(nullptr)}, Broken), AdapterWith({OutputOn(nullptr, Hdr10, 90.0f)})},
         S_OK, "adapter 1", D3D_DRIVER_TYPE_UNKNOWN, 0.9f, 1},
        {"an output without a description is skipped",
         {AdapterWith({FailingDesc(), OutputOn(nullptr, Hdr10, 600.0f)})}, S_OK, "adapter 0",
         D3D_DRIVER_TYPE_UNKNOWN, 6.0f, 1},
    };
    for (const AdapterCase& c : cases) {
        SCOPED_TRACE(c.what);
        ResetEngine();
        Doubles.adapters = c.adapters;
        for (AdapterSetup& adapter : Doubles.adapters)
            for (OutputSetup& output : adapter.outputs)
                if (output.monitor == nullptr) output.monitor = PrimaryMonitor();
        if (c.enumAdaptersFailure != S_OK) Doubles.failures["EnumAdapters1"] = c.enumAdaptersFailure;

        RefreshOverlay(false, false);
        ASSERT_EQ(Doubles.deviceCalls.size(), 1u);
        EXPECT_EQ(Doubles.deviceCalls[0].adapter, c.deviceAdapter);
        EXPECT_EQ(Doubles.deviceCalls[0].driverType, c.driverType);
        EXPECT_EQ(AppState.hdrScale, c.hdrScale);
        EXPECT_EQ(CallCount("GetDesc1"), c.getDesc1Calls);
        EXPECT_EQ(AppState.graphicsStatus, S_OK);
        EXPECT_TRUE(ReticleVisible());
        ReleaseGraphics();
        EXPECT_EQ(UnbalancedObjects(), std::vector<std::string>{});
    }
}

struct HdrCase {
    int colorSpace;
    float maxLuminance;
    bool hasOutput6;
    HRESULT getDesc1Result;
    float hdrScale;
    const wchar_t* title;
};

TEST_F(Pipeline, BrightnessFollowsTheMatchingOutput) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const HdrCase cases[] = {
        {Hdr10, 1000.0f, true, S_OK, 6.0f, L"Quorvel | HDR Rainbow"},
        {Hdr10, 600.0f, true, S_OK, 6.0f, L"Quorvel | HDR Rainbow"},
        {Hdr10, 400.0f, true, S_OK, 4.0f, L"Quorvel | HDR Rainbow"},
        {Hdr10, 270.0f, true, S_OK, 2.7f, L"Quorvel | HDR Rainbow"},
        {Hdr10, 100.0f, true, S_OK, 1.0f, L"Quorvel | Rainbow"},
        {Hdr10, 90.0f, true, S_OK, 0.9f, L"Quorvel | Rainbow"},
        {Hdr10, 80.0f, true, S_OK, 4.0f, L"Quorvel | HDR Rainbow"},
        {Hdr10, 0.0f, true, S_OK, 4.0f, L"Quorvel | HDR Rainbow"},
        {Hdr10, nan, true, S_OK, 4.0f, L"Quorvel | HDR Rainbow"},
        {0, 1000.0f, true, S_OK, 1.0f, L"Quorvel | Rainbow"},  // SDR colour space
        {Hdr10, 1000.0f, false, S_OK, 1.0f, L"Quorvel | Rainbow"},   // no IDXGIOutput6
        {Hdr10, 1000.0f, true, Broken, 1.0f, L"Quorvel | Rainbow"},  // GetDesc1 fails
    };
    for (const HdrCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "colour space " << c.colorSpace << ", peak "
                                        << c.maxLuminance << ", output6 " << c.hasOutput6);
        ResetEngine();
        OutputSetup& output = Doubles.adapters[0].outputs[0];
        output.colorSpace = c.colorSpace;
        output.maxLuminance = c.maxLuminance;
        output.hasOutput6 = c.hasOutput6;
        output.getDesc1Result = c.getDesc1Result;

        RefreshOverlay(false, false);
        EXPECT_EQ(AppState.hdrScale, c.hdrScale);
        EXPECT_EQ(AppState.graphicsStatus, S_OK) << "the HDR test never fails a build";
        EXPECT_EQ(Doubles.deviceCalls.at(0).adapter, "adapter 0");
        EXPECT_EQ(ReticleTitle(), c.title);
        ReleaseGraphics();
        EXPECT_EQ(UnbalancedObjects(), std::vector<std::string>{});
    }
}

// The centre pixel (32, 32) of the 64-pixel image holds the box average of source pixels 128 to
// 131 of the dot: these are its words, worked out by hand from the committed image.
TEST_F(Pipeline, TheSwapChainReceivesTheRasterizedReticle) {
    const struct {
        float peak;
        float hdrScale;
        bool deepBlack;
        std::vector<std::uint16_t> centre;  // red, green, blue, alpha
    } cases[] = {
        {0.0f, 1.0f, false, {0x2F51, 0x3BFE, 0x2969, 0x3BFE}},
        {400.0f, 4.0f, false, {0x3751, 0x43FE, 0x3169, 0x3BFE}},
        {1000.0f, 6.0f, true, {0x0000, 0x0000, 0x0000, 0x3BFE}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "scale " << c.hdrScale << ", black " << c.deepBlack);
        ResetEngine();
        AppState.deepBlack = c.deepBlack;
        if (c.peak > 0.0f) {
            Doubles.adapters[0].outputs[0].colorSpace = Hdr10;
            Doubles.adapters[0].outputs[0].maxLuminance = c.peak;
        }
        RefreshOverlay(false, false);
        ASSERT_EQ(AppState.graphicsStatus, S_OK);
        ASSERT_EQ(AppState.hdrScale, c.hdrScale);
        const std::vector<std::uint16_t> uploaded = ReadBackBuffer();
        const std::vector<std::uint16_t> expected = Rasterized(c.hdrScale, c.deepBlack);
        EXPECT_TRUE(uploaded == expected) << "the back buffer differs from the rasterizer's image";
        ASSERT_EQ(uploaded.size(), static_cast<std::size_t>(Side) * Side * 4);
        const auto centre = uploaded.begin() + (32 * Side + 32) * 4;
        EXPECT_EQ(std::vector<std::uint16_t>(centre, centre + 4), c.centre);
        ReleaseGraphics();
    }
}

// On a 2560-pixel-wide monitor (an 86-pixel overlay, three source pixels per output pixel)
// output pixel (43, 43) averages nine fully opaque pixels of the dot; its words worked out by hand.
TEST_F(Pipeline, RasterizerGivesTheWorkedExampleAt2560) {
    constexpr int side = 86;
    std::vector<std::uint16_t> pixels(static_cast<std::size_t>(side) * side * 4);
    RasterizeReticle(AppState.reticlePixels, side, 2560, 1.0f, false, pixels.data());
    const auto centre = pixels.begin() + (43 * side + 43) * 4;
    EXPECT_EQ(std::vector<std::uint16_t>(centre, centre + 4),
              (std::vector<std::uint16_t>{0x2F53, 0x3C00, 0x296A, 0x3C00}));
}

TEST_F(Pipeline, ColourCommandUploadsAgainWithoutARebuild) {
    RefreshOverlay(false, false);
    ASSERT_EQ(ReticleTitle(), L"Quorvel | Rainbow");
    const std::size_t buildCalls = Doubles.calls.size();

    ExecuteCommand(CmdDeepBlack);

    const std::vector<std::string> upload(Doubles.calls.begin() + buildCalls, Doubles.calls.end());
    EXPECT_EQ(upload, (std::vector<std::string>{"GetBuffer 0", "Present", "Commit"}));
    EXPECT_TRUE(ReadBackBuffer() == Rasterized(1.0f, true));
    EXPECT_TRUE(AppState.contentUploaded);
    EXPECT_TRUE(ReticleVisible());
    EXPECT_EQ(ReticleTitle(), L"Quorvel | Deep Black");
}

TEST_F(Pipeline, SteadyPollTouchesNothing) {
    RefreshOverlay(false, false);
    ASSERT_TRUE(ReticleVisible());
    const std::size_t calls = Doubles.calls.size();
    ReticleLog = ReticleLogRecord{};

    for (int poll = 0; poll < 4; ++poll) RefreshOverlay(false, false);

    EXPECT_EQ(Doubles.calls.size(), calls) << "a build or an upload ran";
    EXPECT_TRUE(ReticleLog.positions.empty()) << "SetWindowPos was called";
    EXPECT_EQ(ReticleLog.titleChanges, 0) << "the tray was refreshed";
    EXPECT_TRUE(ReticleVisible());
}

TEST_F(Pipeline, ForcedRefreshPlacesAgainAndRefreshesTheTray) {
    RefreshOverlay(false, false);
    const std::size_t calls = Doubles.calls.size();
    ReticleLog = ReticleLogRecord{};

    RefreshOverlay(true, false);

    EXPECT_EQ(Doubles.calls.size(), calls) << "force rebuilt or uploaded";
    ASSERT_EQ(ReticleLog.positions.size(), 1u);
    EXPECT_EQ(ReticleLog.positions[0].hwndInsertAfter, HWND_TOPMOST);
    EXPECT_EQ(ReticleLog.positions[0].flags & (SWP_NOACTIVATE | SWP_SHOWWINDOW),
              static_cast<UINT>(SWP_NOACTIVATE | SWP_SHOWWINDOW));
    EXPECT_EQ(ReticleLog.titleChanges, 1);
}

// Every build starts from SDR brightness: after a build on an HDR10 output, a rebuild for an
// output that is SDR now, or for a monitor that no adapter lists, gets 1.0 and "Rainbow".
TEST_F(Pipeline, EveryBuildStartsFromSdrBrightness) {
    const struct {
        const char* what;
        HMONITOR outputMonitor;  // null: the game's
        int colorSpace;
    } cases[] = {
        {"the output is SDR now", nullptr, 0},
        {"no adapter lists the monitor", OtherMonitor, Hdr10},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ResetEngine();
        OutputSetup& output = Doubles.adapters[0].outputs[0];
        output.colorSpace = Hdr10;
        output.maxLuminance = 400.0f;
        RefreshOverlay(false, false);
        ASSERT_EQ(AppState.hdrScale, 4.0f);
        ASSERT_EQ(ReticleTitle(), L"Quorvel | HDR Rainbow");

        output.monitor = c.outputMonitor != nullptr ? c.outputMonitor : PrimaryMonitor();
        output.colorSpace = c.colorSpace;
        RefreshOverlay(true, true);

        ASSERT_EQ(CallCount("CreateDXGIFactory1"), 2);
        ASSERT_EQ(AppState.graphicsStatus, S_OK);
        EXPECT_EQ(AppState.hdrScale, 1.0f);
        EXPECT_EQ(ReticleTitle(), L"Quorvel | Rainbow");
        const std::vector<std::uint16_t> uploaded = ReadBackBuffer();
        ASSERT_EQ(uploaded.size(), static_cast<std::size_t>(Side) * Side * 4);
        const auto centre = uploaded.begin() + (32 * Side + 32) * 4;
        EXPECT_EQ(std::vector<std::uint16_t>(centre, centre + 4),
                  (std::vector<std::uint16_t>{0x2F51, 0x3BFE, 0x2969, 0x3BFE}));
        ReleaseGraphics();
    }
}

// A rebuild while the reticle is shown: hidden first, then pre-sized hidden at the origin, then
// shown topmost there, in that order and nothing else.
TEST_F(Pipeline, RebuildWhileShownHidesPreSizesThenShowsTopmost) {
    RefreshOverlay(false, false);
    ASSERT_TRUE(ReticleVisible());
    ReticleLog = ReticleLogRecord{};

    RefreshOverlay(true, true);

    ASSERT_EQ(CallCount("CreateDXGIFactory1"), 2);
    const POINT origin = OriginOver(game.window);
    const UINT shownOrHidden = SWP_SHOWWINDOW | SWP_HIDEWINDOW;
    ASSERT_EQ(ReticleLog.positions.size(), 3u);
    const WINDOWPOS& hide = ReticleLog.positions[0];
    EXPECT_EQ(hide.flags & shownOrHidden, static_cast<UINT>(SWP_HIDEWINDOW));
    const WINDOWPOS& presize = ReticleLog.positions[1];
    EXPECT_EQ(presize.flags & (shownOrHidden | SWP_NOZORDER | SWP_NOACTIVATE),
              static_cast<UINT>(SWP_NOZORDER | SWP_NOACTIVATE));
    EXPECT_EQ(presize.x, origin.x);
    EXPECT_EQ(presize.y, origin.y);
    EXPECT_EQ(presize.cx, Side);
    EXPECT_EQ(presize.cy, Side);
    const WINDOWPOS& shown = ReticleLog.positions[2];
    EXPECT_EQ(shown.hwndInsertAfter, HWND_TOPMOST);
    EXPECT_EQ(shown.flags & (shownOrHidden | SWP_NOACTIVATE),
              static_cast<UINT>(SWP_SHOWWINDOW | SWP_NOACTIVATE));
    EXPECT_EQ(shown.x, origin.x);
    EXPECT_EQ(shown.y, origin.y);
    EXPECT_EQ(shown.cx, Side);
    EXPECT_EQ(shown.cy, Side);
    EXPECT_TRUE(ReticleVisible());
}

// With the tick count set by the test: a successful build also sets the retry time 3000 ms
// ahead; a failed upload (here after a colour command, with no build in that call) sets it 3000
// ms after the upload, and the first refresh at that time, not one millisecond earlier, rebuilds
// and uploads afresh.
TEST_F(Pipeline, RetryTimeFollowsEveryBuildAndAFailedUpload) {
    SetTestTick(100000);
    RefreshOverlay(false, false);
    ASSERT_EQ(AppState.graphicsStatus, S_OK);
    EXPECT_EQ(AppState.retryAfterTick, 103000u);

    SetTestTick(101000);
    Doubles.failures["Present"] = Refused;
    ExecuteCommand(CmdDeepBlack);
    ASSERT_EQ(CallCount("CreateDXGIFactory1"), 1);
    ASSERT_EQ(CallCount("GetBuffer"), 2);
    ASSERT_EQ(AppState.graphicsStatus, Refused);
    EXPECT_EQ(AppState.retryAfterTick, 104000u);
    EXPECT_FALSE(ReticleVisible());
    Doubles.failures.clear();

    SetTestTick(103999);
    RefreshOverlay(false, false);
    EXPECT_EQ(CallCount("CreateDXGIFactory1"), 1) << "rebuilt before the retry time";
    EXPECT_EQ(CallCount("GetBuffer"), 2) << "the failed upload was tried again";
    EXPECT_FALSE(ReticleVisible());

    SetTestTick(104000);
    RefreshOverlay(false, false);
    EXPECT_EQ(CallCount("CreateDXGIFactory1"), 2) << "no rebuild at the retry time";
    EXPECT_EQ(CallCount("GetBuffer"), 3) << "no upload after the rebuild";
    EXPECT_EQ(AppState.graphicsStatus, S_OK);
    EXPECT_EQ(AppState.retryAfterTick, 107000u);
    EXPECT_TRUE(ReadBackBuffer() == Rasterized(1.0f, true));
    EXPECT_TRUE(ReticleVisible());
    EXPECT_EQ(ReticleTitle(), L"Quorvel | Deep Black");
}

}  // namespace
