// The committed reticle image, resources/reticle.rgba: layout, coverage alpha, the three
// shapes' extents and symmetry, colours, and the summary figures of the artwork.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tests/host/ArtTestSupport.h"

namespace {

constexpr int Side = 256;

const std::vector<std::uint8_t>& Image() {
    static const std::vector<std::uint8_t> image = ReadSourceFile("resources/reticle.rgba");
    return image;
}

std::uint8_t Channel(int x, int y, int c) {
    return Image()[static_cast<std::size_t>(y) * Side * 4 + static_cast<std::size_t>(x) * 4 + c];
}

std::uint8_t Alpha(int x, int y) { return Channel(x, y, 3); }

using Rgb = std::array<std::uint8_t, 3>;
constexpr Rgb Black = {0, 0, 0};
constexpr Rgb DotColor = {95, 255, 58};
Rgb Color(int x, int y) { return {Channel(x, y, 0), Channel(x, y, 1), Channel(x, y, 2)}; }
int BrightestChannel(int x, int y) { return std::max({Channel(x, y, 0), Channel(x, y, 1), Channel(x, y, 2)}); }

// Every test but the size test indexes the image; a wrong size stops them here.
class ReticleImage : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(Image().size(), 262144u); }
};

struct Box {
    int left, right, top, bottom;  // inclusive pixel ranges
};

// The extent of the non-transparent pixels within the columns first..last.
Box CoveredBox(int first, int last) {
    Box box = {Side, -1, Side, -1};
    for (int y = 0; y < Side; ++y)
        for (int x = first; x <= last; ++x)
            if (Alpha(x, y) != 0) {
                box.left = std::min(box.left, x);
                box.right = std::max(box.right, x);
                box.top = std::min(box.top, y);
                box.bottom = std::max(box.bottom, y);
            }
    return box;
}

// Sum of alpha / 255 over the columns first..last: the covered area in pixels.
double Area(int first, int last) {
    long sum = 0;
    for (int y = 0; y < Side; ++y)
        for (int x = first; x <= last; ++x) sum += Alpha(x, y);
    return sum / 255.0;
}

// Columns that hold each shape with room to spare: the shapes are more than 8 pixels apart.
constexpr int LeftWingColumns[2] = {0, 117};
constexpr int DotColumns[2] = {118, 137};
constexpr int RightWingColumns[2] = {138, 255};

TEST(ReticleImageFile, HoldsExactly256By256RgbaPixels) {
    EXPECT_EQ(Image().size(), 262144u);
}

TEST_F(ReticleImage, EveryAlphaIsA64SampleCoverageValue) {
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x)
            ASSERT_TRUE(IsCoverageAlpha(Alpha(x, y))) << "pixel " << x << ", " << y;
}

TEST_F(ReticleImage, TransparentPixelsAreAllZero) {
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x)
            ASSERT_TRUE(Alpha(x, y) != 0 || Color(x, y) == Black)
                << "pixel " << x << ", " << y;
}

TEST_F(ReticleImage, NothingOutsideTheMotifBox) {
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x)
            ASSERT_TRUE((x >= 57 && x <= 198 && y >= 83 && y <= 172) || Alpha(x, y) == 0)
                << "pixel " << x << ", " << y;
}

struct ShapeExtent {
    const char* shape;
    const int* columns;
    Box expected;
};

// The wings' top row is 84: the outer radius 44.1 straight up puts the edge at y = 83.9, and
// the lowest sample of row 83 lies at 83.875, just outside.
const ShapeExtent shapeExtents[] = {
    {"left wing", LeftWingColumns, {57, 113, 84, 172}},
    {"dot", DotColumns, {122, 133, 122, 133}},
    {"right wing", RightWingColumns, {142, 198, 84, 172}},
};

TEST_F(ReticleImage, ShapesSpanTheirBoxes) {
    for (const ShapeExtent& s : shapeExtents) {
        Box box = CoveredBox(s.columns[0], s.columns[1]);
        EXPECT_EQ(box.left, s.expected.left) << s.shape;
        EXPECT_EQ(box.right, s.expected.right) << s.shape;
        EXPECT_EQ(box.top, s.expected.top) << s.shape;
        EXPECT_EQ(box.bottom, s.expected.bottom) << s.shape;
    }
}

TEST_F(ReticleImage, DotIsADiscOfOneColour) {
    EXPECT_NEAR(Area(DotColumns[0], DotColumns[1]), 93.3, 0.1);
    // The dot's lower right quarter: its sum is a fixed reference of the resampler's results.
    int blockSum = 0;
    for (int y = 128; y <= 131; ++y)
        for (int x = 128; x <= 131; ++x) blockSum += Alpha(x, y);
    EXPECT_EQ(blockSum, 4076);
    for (int y = 0; y < Side; ++y)
        for (int x = DotColumns[0]; x <= DotColumns[1]; ++x)
            ASSERT_TRUE(Alpha(x, y) == 0 || Color(x, y) == DotColor)
                << "pixel " << x << ", " << y;
}

// Straight alpha: an edge pixel has the full colour of its angle, not one darkened by its
// coverage. Every colour of the wings' gradients, between table rows too, has a channel of at
// least 200 (the dimmest lies near 300 degrees on the left wing).
TEST_F(ReticleImage, EdgePixelsAreNotPremultiplied) {
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x)
            ASSERT_TRUE(Alpha(x, y) == 0 || BrightestChannel(x, y) >= 200)
                << "pixel " << x << ", " << y << " alpha " << int(Alpha(x, y));
}

// Pixel x and pixel 255 - x mirror each other, but their 8 x 8 samples do not: the mirrored
// samples are shifted by 1/8 pixel, so at most one column of 8 samples (alpha 32) differs.
TEST_F(ReticleImage, AlphaMirrorsInXUpToTheSamplingGrid) {
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side / 2; ++x)
            ASSERT_LE(std::abs(Alpha(x, y) - Alpha(Side - 1 - x, y)), 32)
                << "pixels " << x << " and " << Side - 1 - x << " of row " << y;
    EXPECT_NEAR(Area(LeftWingColumns[0], LeftWingColumns[1]),
                Area(RightWingColumns[0], RightWingColumns[1]), 1.0);
}

// The wings' lower halves are larger than their upper halves.
TEST_F(ReticleImage, AlphaIsNotSymmetricInY) {
    int differing = 0;
    long upper = 0;
    long lower = 0;
    for (int y = 0; y < Side / 2; ++y)
        for (int x = 0; x < Side; ++x) {
            if (std::abs(Alpha(x, y) - Alpha(x, Side - 1 - y)) > 32) ++differing;
            upper += Alpha(x, y);
            lower += Alpha(x, Side - 1 - y);
        }
    EXPECT_GT(differing, 200);
    EXPECT_GT(lower, upper + 20 * 255);
    // The bottom row 172 mirrors to row 83, which is empty.
    Box box = CoveredBox(0, Side - 1);
    EXPECT_NE(box.top, Side - 1 - box.bottom);
}

struct SamplePixel {
    int x, y;
    std::uint8_t rgba[4];
};

const SamplePixel samplePixels[] = {
    {0, 0, {0, 0, 0, 0}},            // corner
    {128, 100, {0, 0, 0, 0}},        // between the dot and the wing tips
    {127, 127, {95, 255, 58, 255}},  // dot
    {128, 128, {95, 255, 58, 255}},
    {122, 127, {95, 255, 58, 92}},   // left edge of the dot
    {133, 128, {95, 255, 58, 128}},  // right edge of the dot
    {61, 128, {46, 252, 231, 255}},  // left wing, its leftmost part
    {57, 128, {46, 252, 231, 96}},   // outer edge there
    {84, 86, {57, 255, 178, 255}},   // left wing, top
    {100, 90, {170, 218, 116, 255}},   // left wing, upper arm
    {111, 103, {255, 189, 72, 255}},   // left wing, upper tip
    {84, 168, {217, 255, 75, 255}},    // left wing, bottom
    {111, 153, {255, 136, 68, 255}},   // left wing, lower tip
    {194, 128, {187, 142, 255, 255}},  // right wing, its rightmost part
    {171, 86, {251, 70, 187, 255}},    // right wing, top
    {144, 103, {255, 121, 86, 255}},   // right wing, upper tip
    {171, 168, {249, 124, 228, 255}},  // right wing, bottom
    {144, 153, {255, 68, 174, 255}},   // right wing, lower tip
};

// Reference values that came with the artwork's description; the exact drawing of the tabled
// gradients lands up to 3 levels away from some of them, between table rows and at the tips.
TEST_F(ReticleImage, SamplePixelsWithinThreeLevels) {
    for (const SamplePixel& s : samplePixels) {
        int deviation = 0;
        for (int c = 0; c < 4; ++c)
            deviation = std::max(deviation, std::abs(Channel(s.x, s.y, c) - s.rgba[c]));
        std::printf("sample (%d, %d): %d %d %d %d, %d levels off\n", s.x, s.y,
                    Channel(s.x, s.y, 0), Channel(s.x, s.y, 1), Channel(s.x, s.y, 2),
                    Alpha(s.x, s.y), deviation);
        EXPECT_LE(deviation, 3) << "pixel " << s.x << ", " << s.y;
    }
}

// The reference figures (3046 pixels, 2230 opaque, a wing area of 1272.4) do not belong exactly
// to the shape with radii rounded to 0.1 that is drawn; that shape gives 3030, 2231 and 1269.7.
TEST_F(ReticleImage, SummaryFiguresWithinTolerance) {
    int covered = 0;
    int opaque = 0;
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x) {
            covered += Alpha(x, y) != 0;
            opaque += Alpha(x, y) == 255;
        }
    double leftArea = Area(LeftWingColumns[0], LeftWingColumns[1]);
    double rightArea = Area(RightWingColumns[0], RightWingColumns[1]);
    double dotArea = Area(DotColumns[0], DotColumns[1]);
    std::printf("non-transparent %d, opaque %d, left wing area %.2f, right wing area %.2f, "
                "dot area %.2f\n", covered, opaque, leftArea, rightArea, dotArea);
    EXPECT_NEAR(covered, 3046, 3046 * 0.01);
    EXPECT_NEAR(opaque, 2230, 2230 * 0.01);
    EXPECT_NEAR(leftArea, 1272.4, 1272.4 * 0.005);
    EXPECT_NEAR(rightArea, 1272.4, 1272.4 * 0.005);
}

}  // namespace
