#include <gtest/gtest.h>

#include <cstdint>

#include "overlay/GameImageName.h"
#include "overlay/PipelineDecisions.h"

namespace {

int monitorA = 0;
int monitorB = 0;
constexpr std::int32_t Failed = static_cast<std::int32_t>(0x887A0001);  // DXGI_ERROR_INVALID_CALL

// The clock the rebuild decision reads, with a count of its reads.
std::uint64_t now = 0;
int tickReads = 0;
std::uint64_t ReadClock() {
    ++tickReads;
    return now;
}

struct RebuildCase {
    const char* what;
    const void* monitor;
    int referenceWidth;
    const void* currentMonitor;
    int currentReferenceWidth;
    std::int32_t graphicsStatus;
    std::uint64_t retryAfterTick;
    bool rebuild;
    bool readsClock;
};

const RebuildCase rebuildCases[] = {
    {"same monitor and width, healthy", &monitorA, 1920, &monitorA, 1920, 0, 0, false, false},
    {"healthy, success codes above 0 too", &monitorA, 1920, &monitorA, 1920, 1, 0, false, false},
    {"no pipeline monitor yet", &monitorA, 1920, nullptr, 0, 0, 0, true, false},
    {"other monitor of the same size", &monitorB, 1920, &monitorA, 1920, 0, 0, true, false},
    {"same monitor, new width", &monitorA, 2560, &monitorA, 1920, 0, 0, true, false},
    {"failed, retry not due", &monitorA, 1920, &monitorA, 1920, Failed, 5001, false, true},
    {"failed, retry due exactly now", &monitorA, 1920, &monitorA, 1920, Failed, 5000, true, true},
    {"failed, retry overdue", &monitorA, 1920, &monitorA, 1920, Failed, 10, true, true},
    {"failed and moved: no clock needed", &monitorB, 1920, &monitorA, 1920, Failed, 9999, true,
     false},
};

TEST(PipelineDecisions, RebuildWhenMonitorOrWidthChangedOrRetryDue) {
    now = 5000;
    for (const RebuildCase& c : rebuildCases) {
        SCOPED_TRACE(c.what);
        tickReads = 0;
        EXPECT_EQ(PipelineNeedsRebuild(c.monitor, c.referenceWidth, c.currentMonitor,
                                       c.currentReferenceWidth, c.graphicsStatus,
                                       c.retryAfterTick, ReadClock),
                  c.rebuild);
        EXPECT_EQ(tickReads, c.readsClock ? 1 : 0);
    }
}

TEST(PipelineDecisions, UploadOncePerHealthyPipeline) {
    EXPECT_TRUE(ReticleNeedsUpload(0, false));
    EXPECT_FALSE(ReticleNeedsUpload(0, true));
    EXPECT_FALSE(ReticleNeedsUpload(Failed, false));  // the rebuild comes first
    EXPECT_FALSE(ReticleNeedsUpload(Failed, true));
}

struct ShowCase {
    const char* what;
    std::int32_t graphicsStatus;
    bool hasVisual;
    int clientWidth;
    int clientHeight;
    bool shown;
};

const ShowCase showCases[] = {
    {"healthy, large client", 0, true, 1280, 720, true},
    {"client exactly the overlay", 0, true, 64, 64, true},
    {"failed pipeline", Failed, true, 1280, 720, false},
    {"no composition tree", 0, false, 1280, 720, false},
    {"client too narrow", 0, true, 60, 400, false},
    {"client too low", 0, true, 400, 63, false},
};

TEST(PipelineDecisions, ShownOnlyOverAHealthyPipelineThatFits) {
    for (const ShowCase& c : showCases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ReticleCanBeShown(c.graphicsStatus, c.hasVisual, c.clientWidth, c.clientHeight,
                                    64),
                  c.shown);
    }
}

struct PlaceCase {
    const char* what;
    bool visible;
    bool force;
    int left;
    int top;
    int right;
    bool inPlace;
};

// The window should stand at (928, 508) with side 64.
const PlaceCase placeCases[] = {
    {"visible and there", true, false, 928, 508, 992, true},
    {"forced", true, true, 928, 508, 992, false},
    {"hidden", false, false, 928, 508, 992, false},
    {"moved left", true, false, 927, 508, 991, false},
    {"moved down", true, false, 928, 509, 992, false},
    {"other width", true, false, 928, 508, 994, false},
};

TEST(PipelineDecisions, AlreadyInPlaceOnlyWhenVisibleUnforcedAndAligned) {
    for (const PlaceCase& c : placeCases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ReticleAlreadyInPlace(c.visible, c.force, c.left, c.top, c.right, 928, 508, 64),
                  c.inPlace);
    }
}

TEST(GameImageName, FileNameAfterTheLastBackslashOnly) {
    const struct {
        const wchar_t* path;
        const wchar_t* fileName;
    } cases[] = {
        {L"C:\\Games\\Overwatch\\Overwatch.exe", L"Overwatch.exe"},
        {L"\\\\?\\D:\\x\\OVERWATCH.EXE", L"OVERWATCH.EXE"},
        {L"Overwatch.exe", L"Overwatch.exe"},
        {L"C:/Games/Overwatch.exe", L"C:/Games/Overwatch.exe"},  // a slash does not separate
        {L"C:\\Games\\", L""},
    };
    for (const auto& c : cases) EXPECT_STREQ(ImageFileName(c.path), c.fileName);
}

}  // namespace
