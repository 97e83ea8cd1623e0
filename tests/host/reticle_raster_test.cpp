#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

#include "app/Ids.h"
#include "overlay/OverlayGeometry.h"
#include "overlay/ReticleRaster.h"

namespace {

using Image = std::vector<std::uint8_t>;
using Pixels = std::vector<std::uint16_t>;
using Words = std::array<std::uint16_t, 4>;

constexpr int Side = static_cast<int>(ReticleImageSide);

int OverlaySizeFor(int referenceWidth) { return 2 * OverlayHalfSize(referenceWidth); }

void SetPixel(Image& image, int x, int y, std::uint8_t r, std::uint8_t g, std::uint8_t b,
              std::uint8_t a) {
    std::uint8_t* p = image.data() + y * Side * 4 + x * 4;
    p[0] = r;
    p[1] = g;
    p[2] = b;
    p[3] = a;
}

Image TransparentImage() { return Image(ReticleImageBytes, 0); }

Image FilledImage(std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    Image image(ReticleImageBytes);
    for (std::size_t i = 0; i < image.size(); i += 4) {
        image[i] = r;
        image[i + 1] = g;
        image[i + 2] = b;
        image[i + 3] = a;
    }
    return image;
}

// The middle of the centre dot: the 16 pixels of rows and columns 128 to 131 in the dot's
// colour, all opaque but the one at (131, 131), which the disc covers 63/64 of: alpha bytes
// summing to 4076.
Image CentreDotImage() {
    Image image = TransparentImage();
    for (int y = 128; y < 132; ++y) {
        for (int x = 128; x < 132; ++x) SetPixel(image, x, y, 95, 255, 58, 255);
    }
    SetPixel(image, 131, 131, 95, 255, 58, 251);
    return image;
}

// Busy content that reaches every edge: transparent rows, rows visible in one stretch with
// holes, alpha 0 under non-zero colour, every alpha level.
Image SyntheticImage() {
    Image image = TransparentImage();
    std::uint32_t state = 12345;
    const auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    for (int y = 0; y < Side; ++y) {
        if (y % 7 == 3) continue;
        const int first = static_cast<int>(next() % 96);
        const int last = Side - static_cast<int>(next() % 96);
        for (int x = first; x < last; ++x) {
            const std::uint32_t v = next();
            const std::uint8_t a = v % 5 == 0 ? 0 : static_cast<std::uint8_t>(v >> 4);
            SetPixel(image, x, y, static_cast<std::uint8_t>(v >> 12),
                     static_cast<std::uint8_t>(v >> 20), static_cast<std::uint8_t>(v), a);
        }
    }
    // The corners, so the outermost output pixels have something to count.
    SetPixel(image, 0, 0, 255, 0, 0, 255);
    SetPixel(image, 255, 0, 0, 255, 0, 255);
    SetPixel(image, 0, 255, 0, 0, 255, 255);
    SetPixel(image, 255, 255, 255, 255, 255, 255);
    return image;
}

Image CommittedImage() {
    std::ifstream file(QUORVEL_SOURCE_DIR "/resources/reticle.rgba", std::ios::binary);
    return Image(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The resampler written as plainly as it is described, one output pixel at a time.
Pixels PlainRaster(const Image& image, int n, int m, float hdrScale, bool deepBlack) {
    double table[256];
    for (int v = 0; v < 256; ++v) {
        const double c = v / 255.0;
        table[v] = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    }
    Pixels pixels(static_cast<std::size_t>(n) * n * 4, 0);
    const double scale = 4 / (m / 1920.0);
    const double d = (255 * scale) * scale;
    const int h = n / 2;
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const double y0 = (i - h) * scale + 128, y1 = scale + y0;
            const double x0 = (j - h) * scale + 128, x1 = scale + x0;
            int sy0 = static_cast<int>(std::floor(y0)), sy1 = static_cast<int>(std::ceil(y1));
            int sx0 = static_cast<int>(std::floor(x0)), sx1 = static_cast<int>(std::ceil(x1));
            if (sy0 <= 0) sy0 = 0;
            if (sy1 >= 256) sy1 = 256;
            if (sx0 <= 0) sx0 = 0;
            if (sx1 >= 256) sx1 = 256;
            double red = 0, green = 0, blue = 0, coverage = 0;
            for (int r = sy0; r < sy1; ++r) {
                const double hy = std::min<double>(r + 1, y1) - std::max<double>(r, y0);
                for (int c = sx0; c < sx1; ++c) {
                    const std::uint8_t* p = image.data() + r * 1024 + c * 4;
                    const int a = p[3];
                    if (a == 0) continue;
                    const double wx = std::min<double>(c + 1, x1) - std::max<double>(c, x0);
                    const double w = (a * (wx * hy)) / d;
                    coverage += w;
                    if (deepBlack) continue;
                    const double s = hdrScale;
                    red += (table[p[0]] * s) * w;
                    green += (table[p[1]] * s) * w;
                    blue += (table[p[2]] * s) * w;
                }
            }
            std::uint16_t* out = pixels.data() + (static_cast<std::size_t>(n) * i + j) * 4;
            out[0] = EncodeHalf(red);
            out[1] = EncodeHalf(green);
            out[2] = EncodeHalf(blue);
            out[3] = EncodeHalf(coverage);
        }
    }
    return pixels;
}

// Every word is written: the buffer starts full of a pattern no pixel produces.
Pixels Rasterize(const Image& image, int n, int m, float hdrScale, bool deepBlack) {
    Pixels pixels(static_cast<std::size_t>(n) * n * 4, 0xFFFF);
    RasterizeReticle(image.data(), n, m, hdrScale, deepBlack, pixels.data());
    return pixels;
}

Words PixelAt(const Pixels& pixels, int n, int i, int j) {
    const std::uint16_t* p = pixels.data() + (static_cast<std::size_t>(n) * i + j) * 4;
    return {p[0], p[1], p[2], p[3]};
}

double HalfValue(std::uint16_t bits) { return static_cast<double>(std::bit_cast<_Float16>(bits)); }

// The first differing pixel, for a readable failure.
testing::AssertionResult SamePixels(const Pixels& actual, const Pixels& expected, int n) {
    if (actual.size() != expected.size()) return testing::AssertionFailure() << "sizes differ";
    for (std::size_t k = 0; k < actual.size(); ++k) {
        if (actual[k] == expected[k]) continue;
        const std::size_t pixel = k / 4;
        return testing::AssertionFailure()
               << "pixel (" << pixel / n << ", " << pixel % n << ") channel " << k % 4 << ": 0x"
               << std::hex << actual[k] << " instead of 0x" << expected[k];
    }
    return testing::AssertionSuccess();
}

struct WorkedExample {
    int referenceWidth;
    float hdrScale;
    bool deepBlack;
    int row;
    int column;
    Words words;
};

const WorkedExample workedExamples[] = {
    {1920, 1.0f, false, 32, 32, {0x2F51, 0x3BFE, 0x2969, 0x3BFE}},
    {1920, 4.0f, false, 32, 32, {0x3751, 0x43FE, 0x3169, 0x3BFE}},
    {1920, 1.0f, true, 32, 32, {0x0000, 0x0000, 0x0000, 0x3BFE}},
    {2560, 1.0f, false, 43, 43, {0x2F53, 0x3C00, 0x296A, 0x3C00}},
};

TEST(RasterizeReticle, WorkedExamplesToTheBit) {
    const Image image = CentreDotImage();
    for (const WorkedExample& e : workedExamples) {
        SCOPED_TRACE(testing::Message() << "M " << e.referenceWidth << " scale " << e.hdrScale
                                        << " black " << e.deepBlack);
        const int n = OverlaySizeFor(e.referenceWidth);
        const Pixels pixels = Rasterize(image, n, e.referenceWidth, e.hdrScale, e.deepBlack);
        EXPECT_EQ(PixelAt(pixels, n, e.row, e.column), e.words);
    }
}

struct RasterSize {
    int overlaySize;
    int referenceWidth;
};

// The monitor sizes of interest, the extremes, and sizes that do not match their reference
// width (wider than the image, odd, more than one strip of columns).
const RasterSize rasterSizes[] = {
    {36, 1024}, {44, 1280}, {46, 1365}, {64, 1920}, {86, 2560}, {128, 3840}, {256, 7680},
    {512, 15360}, {2, 1}, {4, 100}, {114, 3440}, {70, 1920}, {7, 1920}, {300, 1920},
    {258, 7600},
};

const float hdrScales[] = {1.0f, 0.9f, 2.7f, 6.0f};

void ExpectSameAsPlainRaster(const Image& image) {
    for (const RasterSize& size : rasterSizes) {
        for (const float scale : hdrScales) {
            for (const bool black : {false, true}) {
                if (black && scale != 1.0f) continue;  // the scale does not reach Deep Black
                SCOPED_TRACE(testing::Message() << "N " << size.overlaySize << " M "
                                                << size.referenceWidth << " scale " << scale
                                                << " black " << black);
                EXPECT_TRUE(SamePixels(
                    Rasterize(image, size.overlaySize, size.referenceWidth, scale, black),
                    PlainRaster(image, size.overlaySize, size.referenceWidth, scale, black),
                    size.overlaySize));
            }
        }
    }
}

TEST(RasterizeReticle, SameWordsAsPlainLoopOnSyntheticImage) {
    ExpectSameAsPlainRaster(SyntheticImage());
}

TEST(RasterizeReticle, SameWordsAsPlainLoopOnCommittedImage) {
    const Image image = CommittedImage();
    ASSERT_EQ(image.size(), ReticleImageBytes);
    if (std::all_of(image.begin(), image.end(), [](std::uint8_t b) { return b == 0; })) {
        GTEST_SKIP() << "resources/reticle.rgba is still blank";
    }
    ExpectSameAsPlainRaster(image);
}

TEST(RasterizeReticle, AlphaWordsAreTheSameInEveryModeAndScale) {
    const Image image = SyntheticImage();
    for (const int m : {1365, 1920, 2560}) {
        SCOPED_TRACE(testing::Message() << "M " << m);
        const int n = OverlaySizeFor(m);
        const Pixels rainbow = Rasterize(image, n, m, 1.0f, false);
        for (const auto& [scale, black] : {std::pair{4.0f, false}, std::pair{6.0f, false},
                                           std::pair{1.0f, true}, std::pair{6.0f, true}}) {
            const Pixels other = Rasterize(image, n, m, scale, black);
            for (std::size_t k = 0; k < other.size(); k += 4) {
                ASSERT_EQ(other[k + 3], rainbow[k + 3]) << "pixel " << k / 4;
                if (black) {
                    ASSERT_EQ(other[k] | other[k + 1] | other[k + 2], 0) << "pixel " << k / 4;
                }
            }
        }
    }
}

TEST(RasterizeReticle, OneSourcePixelPerOutputPixelAt7680) {
    const Image image = SyntheticImage();
    const float scale = 2.7f;
    const Pixels pixels = Rasterize(image, 256, 7680, scale, false);
    for (int y = 0; y < Side; ++y) {
        for (int x = 0; x < Side; ++x) {
            const std::uint8_t* p = image.data() + y * 1024 + x * 4;
            Words expected{};
            if (p[3] != 0) {
                const double alpha = p[3] / 255.0;
                for (int k = 0; k < 3; ++k) {
                    const double c = p[k] / 255.0;
                    const double linear =
                        c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
                    expected[k] = EncodeHalf(linear * scale * alpha);
                }
                expected[3] = EncodeHalf(alpha);
            }
            ASSERT_EQ(PixelAt(pixels, 256, y, x), expected) << "pixel (" << y << ", " << x << ")";
        }
    }
}

TEST(RasterizeReticle, BorderPixelsAt2560CountOnlyTheInsidePart) {
    // Output row 0 covers source rows [-1, 2): only two of its three rows exist, and the
    // normaliser is still that of the full 3 x 3 square.
    const int n = 86;
    const Pixels pixels = Rasterize(FilledImage(255, 255, 255, 255), n, 2560, 1.0f, false);
    const std::uint16_t twoThirds = EncodeHalf(2.0 / 3.0), fourNinths = EncodeHalf(4.0 / 9.0);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const int edges = (i == 0 || i == n - 1) + (j == 0 || j == n - 1);
            const std::uint16_t alpha = edges == 2 ? fourNinths : edges == 1 ? twoThirds : 0x3C00;
            ASSERT_EQ(PixelAt(pixels, n, i, j)[3], alpha) << "pixel (" << i << ", " << j << ")";
        }
    }
}

TEST(RasterizeReticle, FractionalScaleAt1365CountsPartialOverlaps) {
    // S = 5.626...: source squares start and end inside source pixels. An opaque image still
    // gives full coverage inside, which only the partial pixels at each square's sides make up.
    const int n = 46;
    const Pixels filled = Rasterize(FilledImage(255, 255, 255, 255), n, 1365, 1.0f, false);
    for (int i = 1; i < n - 1; ++i) {
        for (int j = 1; j < n - 1; ++j) {
            ASSERT_EQ(PixelAt(filled, n, i, j)[3], 0x3C00) << "pixel (" << i << ", " << j << ")";
        }
    }

    // One opaque pixel on the corner shared by four squares: x = 128 + 5S = 156.13 and
    // y = 128 - 4S = 105.49 fall inside pixel (156, 105). Each square gets its share of it.
    Image dot = TransparentImage();
    SetPixel(dot, 156, 105, 255, 255, 255, 255);
    const Pixels pixels = Rasterize(dot, n, 1365, 1.0f, false);
    const double scale = 4 / (1365 / 1920.0);
    const double xSeam = 128 + 5 * scale - 156, ySeam = 128 - 4 * scale - 105;
    const double shares[2][2] = {{ySeam * xSeam, ySeam * (1 - xSeam)},
                                 {(1 - ySeam) * xSeam, (1 - ySeam) * (1 - xSeam)}};
    double total = 0;
    for (int di = 0; di < 2; ++di) {
        for (int dj = 0; dj < 2; ++dj) {
            const double alpha = HalfValue(PixelAt(pixels, n, 18 + di, 27 + dj)[3]);
            const double expected = shares[di][dj] / (scale * scale);
            EXPECT_NEAR(alpha, expected, expected / 1024) << di << ", " << dj;
            total += alpha;
        }
    }
    EXPECT_NEAR(total, 1 / (scale * scale), 1 / (scale * scale) / 512);
}

TEST(RasterizeReticle, OutputBeyondTheImageIsZero) {
    // 70 pixels at S = 4 span source [-12, 268): three output rows and columns on each side
    // lie wholly outside the image, even over an opaque one.
    const int n = 70;
    const Pixels pixels = Rasterize(FilledImage(255, 255, 255, 255), n, 1920, 6.0f, false);
    for (int i = 0; i < n; ++i) {
        for (int j = 0; j < n; ++j) {
            const bool outside = i < 3 || i >= n - 3 || j < 3 || j >= n - 3;
            const Words words = PixelAt(pixels, n, i, j);
            if (outside) {
                ASSERT_EQ(words, (Words{0, 0, 0, 0})) << "pixel (" << i << ", " << j << ")";
            } else {
                ASSERT_EQ(words, (Words{0x4600, 0x4600, 0x4600, 0x3C00}))
                    << "pixel (" << i << ", " << j << ")";
            }
        }
    }
}

TEST(RasterizeReticle, TransparentPixelsContributeNothingWhateverTheirColour) {
    Image clean = CentreDotImage();
    Image tinted = clean;
    for (std::size_t k = 0; k < tinted.size(); k += 4) {
        if (tinted[k + 3] == 0) tinted[k] = tinted[k + 1] = tinted[k + 2] = 255;
    }
    for (const int m : {1365, 1920, 2560, 7680}) {
        SCOPED_TRACE(testing::Message() << "M " << m);
        const int n = OverlaySizeFor(m);
        EXPECT_TRUE(SamePixels(Rasterize(tinted, n, m, 6.0f, false),
                               Rasterize(clean, n, m, 6.0f, false), n));
    }
}

TEST(RasterizeReticle, DegenerateSizes) {
    const Image image = FilledImage(255, 255, 255, 255);
    std::uint16_t untouched[4] = {1, 2, 3, 4};
    RasterizeReticle(image.data(), 0, 1920, 1.0f, false, untouched);
    RasterizeReticle(image.data(), -2, 1920, 1.0f, false, untouched);
    EXPECT_EQ(untouched[0], 1);
    EXPECT_EQ(untouched[3], 4);

    // No reference width, no size on screen: a transparent overlay.
    for (const int m : {0, -1920}) {
        const Pixels pixels = Rasterize(image, 4, m, 1.0f, false);
        EXPECT_TRUE(std::all_of(pixels.begin(), pixels.end(), [](auto w) { return w == 0; }));
    }
}

}  // namespace
