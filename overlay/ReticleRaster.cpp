// Reticle rasterizer: an area-weighted box filter from the 256 x 256 image to N x N pixels.
//
// Inputs: 8-bit sRGB colour with straight alpha; N = overlaySize; M = referenceWidth.
// Geometry, in double precision: S = 4 / (M / 1920) source pixels per output pixel,
// h = N / 2, and output pixel (i, j) covers the source square [x0, x0 + S) x [y0, y0 + S) with
// x0 = (j - h) S + 128 and y0 = (i - h) S + 128, so the output is centred on the source point
// (128, 128). Per output pixel, over the covered source pixels with non-zero alpha a, rows
// top to bottom and columns left to right: w = (a (wx hy)) / ((255 S) S) with wx, hy the
// overlaps; coverage += w, and in Rainbow mode colour += (T[byte] s) w with T the sRGB decoding
// table and s = hdrScale. Each sum is encoded by EncodeHalf.
// The words are bit-exact: every sum adds the same terms in the same order as that plain
// loop, so the shortcuts below only skip work whose result would be +0.0. Build with
// -ffp-contract=off.
#include "overlay/ReticleRaster.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#include "app/Ids.h"
#include "overlay/SrgbDecode.h"

namespace {

constexpr int Side = static_cast<int>(ReticleImageSide);
constexpr int RowBytes = Side * 4;

// Output columns whose source spans are computed together, so they fit a fixed table.
constexpr int StripColumns = 256;

// The source interval one output row or column covers, and the source pixels it touches.
struct SourceSpan {
    double begin;  // [begin, end) in source pixels
    double end;
    int first;  // source pixels first <= p < last inside the image; none when first >= last
    int last;
};

// Source columns first <= c < last hold every pixel of a row whose alpha is not 0.
struct VisibleColumns {
    int first;
    int last;
};

SourceSpan SpanOf(int outputIndex, int halfN, double scale) {
    SourceSpan span;
    span.begin = static_cast<double>(outputIndex - halfN) * scale + 128.0;
    span.end = scale + span.begin;
    // Clamped to the image before the conversion, which changes no visit: nothing lies beyond.
    const double first = std::floor(span.begin);
    const double last = std::ceil(span.end);
    span.first = first <= 0.0 ? 0 : first >= Side ? Side : static_cast<int>(first);
    span.last = last >= Side ? Side : last <= 0.0 ? 0 : static_cast<int>(last);
    return span;
}

// How much of source pixel p (the interval [p, p + 1)) lies inside the span.
double Overlap(int p, const SourceSpan& span) {
    return std::min(static_cast<double>(p + 1), span.end) -
           std::max(static_cast<double>(p), span.begin);
}

VisibleColumns FindVisibleColumns(const std::uint8_t* row) {
    // Most rows are transparent. OR-ing whole pixels, which vectorises, finds those quickly;
    // the alpha byte is the top byte of a little-endian pixel word.
    static_assert(std::endian::native == std::endian::little);
    std::uint32_t alphas = 0;
    for (int c = 0; c < Side; ++c) {
        std::uint32_t pixel;
        std::memcpy(&pixel, row + c * 4, sizeof pixel);
        alphas |= pixel;
    }
    if ((alphas & 0xFF000000u) == 0) return {0, 0};

    int first = 0;
    while (row[first * 4 + 3] == 0) ++first;
    int last = Side;
    while (row[(last - 1) * 4 + 3] == 0) --last;
    return {first, last};
}

// Everything one rasterization reads, prepared once per call.
struct Raster {
    const std::uint8_t* image;
    int halfN;
    double scale;       // S
    double normaliser;  // D = (255 S) S
    bool deepBlack;
    double scaledLinear[256];  // T[v] * hdrScale, the same product for every source pixel
    VisibleColumns visible[Side];
};

void StoreZero(std::uint16_t* pixel) { std::memset(pixel, 0, 4 * sizeof(std::uint16_t)); }

// One output pixel, from the visible source pixels of its square in row-major order.
void RasterizePixel(const Raster& raster, const SourceSpan& rows, const SourceSpan& columns,
                    std::uint16_t* pixel) {
    double red = 0.0, green = 0.0, blue = 0.0, coverage = 0.0;
    for (int r = rows.first; r < rows.last; ++r) {
        const int first = std::max(columns.first, raster.visible[r].first);
        const int last = std::min(columns.last, raster.visible[r].last);
        if (first >= last) continue;
        const double hy = Overlap(r, rows);
        const std::uint8_t* source = raster.image + r * RowBytes + first * 4;
        for (int c = first; c < last; ++c, source += 4) {
            const int a = source[3];
            if (a == 0) continue;
            const double wx = Overlap(c, columns);
            const double w = (a * (wx * hy)) / raster.normaliser;
            coverage += w;
            if (raster.deepBlack) continue;
            red += raster.scaledLinear[source[0]] * w;
            green += raster.scaledLinear[source[1]] * w;
            blue += raster.scaledLinear[source[2]] * w;
        }
    }
    // Every weight is positive, so no coverage means no term: all four words are 0.
    if (coverage == 0.0) {
        StoreZero(pixel);
        return;
    }
    pixel[0] = EncodeHalf(red);
    pixel[1] = EncodeHalf(green);
    pixel[2] = EncodeHalf(blue);
    pixel[3] = EncodeHalf(coverage);
}

// Output columns j0 to j0 + count - 1 of every row.
void RasterizeStrip(const Raster& raster, int overlaySize, int j0, int count,
                    std::uint16_t* pixels) {
    SourceSpan columns[StripColumns];
    for (int k = 0; k < count; ++k) columns[k] = SpanOf(j0 + k, raster.halfN, raster.scale);

    for (int i = 0; i < overlaySize; ++i) {
        std::uint16_t* out = pixels + (static_cast<std::size_t>(i) * overlaySize + j0) * 4;
        const SourceSpan rows = SpanOf(i, raster.halfN, raster.scale);

        // The visible source columns of all the rows this output row covers: output pixels
        // whose squares miss them add no term at all, so they are +0.0 in every channel.
        int visibleFirst = Side, visibleLast = 0;
        for (int r = rows.first; r < rows.last; ++r) {
            if (raster.visible[r].first >= raster.visible[r].last) continue;
            visibleFirst = std::min(visibleFirst, raster.visible[r].first);
            visibleLast = std::max(visibleLast, raster.visible[r].last);
        }

        for (int k = 0; k < count; ++k, out += 4) {
            if (columns[k].last <= visibleFirst || columns[k].first >= visibleLast) {
                StoreZero(out);
            } else {
                RasterizePixel(raster, rows, columns[k], out);
            }
        }
    }
}

}  // namespace

void RasterizeReticle(const std::uint8_t* image, int overlaySize, int referenceWidth,
                      float hdrScale, bool deepBlack, std::uint16_t* pixels) {
    if (overlaySize <= 0) return;
    const std::size_t words = static_cast<std::size_t>(overlaySize) * overlaySize * 4;
    if (referenceWidth <= 0) {  // no size on screen: nothing to show
        std::memset(pixels, 0, words * sizeof(std::uint16_t));
        return;
    }

    Raster raster;
    raster.image = image;
    raster.halfN = overlaySize / 2;
    raster.scale = 4.0 / (referenceWidth / 1920.0);
    raster.normaliser = (255.0 * raster.scale) * raster.scale;
    raster.deepBlack = deepBlack;

    const std::array<double, 256>& linear = SrgbDecodeTable();
    const double s = hdrScale;
    for (int v = 0; v < 256; ++v) raster.scaledLinear[v] = linear[v] * s;
    for (int r = 0; r < Side; ++r) raster.visible[r] = FindVisibleColumns(image + r * RowBytes);

    for (int j0 = 0; j0 < overlaySize; j0 += StripColumns) {
        RasterizeStrip(raster, overlaySize, j0, std::min(StripColumns, overlaySize - j0), pixels);
    }
}
