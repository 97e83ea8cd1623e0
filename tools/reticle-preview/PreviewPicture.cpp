// Preview picture: compositing in linear light, then sRGB encoding, row by row into libpng.
#include "tools/reticle-preview/PreviewPicture.h"

#include <png.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <vector>

#include "overlay/SrgbDecode.h"

namespace {

constexpr int Zoom = 8;
constexpr int Margin = 8;
constexpr std::uint8_t MarginLevel = 16;  // near-black frame between the panels

enum class Backdrop { MidGrey, DarkScene };

struct Layout {
    int n;       // overlay side
    int panel;   // side of each panel: Zoom * n
    int offset;  // where the overlay starts inside a 1:1 panel, so that it is centred
    int side;    // the whole picture
};

double HalfValue(std::uint16_t bits) { return static_cast<double>(std::bit_cast<_Float16>(bits)); }

std::uint8_t EncodeSrgb(double linear) {
    const double c = std::clamp(linear, 0.0, 1.0);
    const double encoded = c <= 0.0031308 ? 12.92 * c : 1.055 * std::pow(c, 1 / 2.4) - 0.055;
    return static_cast<std::uint8_t>(std::lround(encoded * 255));
}

// The backdrop's sRGB colour at (x, y) of a 1:1 panel of the given side.
void BackdropColour(Backdrop backdrop, int x, int y, int side, std::uint8_t rgb[3]) {
    if (backdrop == Backdrop::MidGrey) {
        rgb[0] = rgb[1] = rgb[2] = 128;
        return;
    }
    // Dusky sky over dark ground with a faint horizon, and a little fixed grain.
    const double v = static_cast<double>(y) / side;
    const double sky[3] = {30, 38, 56}, ground[3] = {34, 32, 24};
    const double horizon = std::exp(-std::pow((v - 0.58) * 40, 2)) * 18;
    const std::uint32_t hash = (static_cast<std::uint32_t>(x) * 73856093u) ^
                               (static_cast<std::uint32_t>(y) * 19349663u);
    const double grain = static_cast<double>((hash >> 7) % 7) - 3;
    for (int k = 0; k < 3; ++k) {
        const double base = v < 0.58 ? sky[k] + (ground[k] - sky[k]) * v / 0.58 : ground[k];
        rgb[k] = static_cast<std::uint8_t>(std::clamp(base + horizon + grain, 0.0, 255.0));
    }
}

// The overlay over the backdrop at (x, y) of a 1:1 panel.
void CompositeAt(const std::uint16_t* pixels, const Layout& layout, Backdrop backdrop, int x,
                 int y, png_byte* out) {
    const auto& linear = SrgbDecodeTable();
    std::uint8_t backdropRgb[3];
    BackdropColour(backdrop, x, y, layout.panel, backdropRgb);
    const int i = y - layout.offset, j = x - layout.offset;
    const bool onOverlay = i >= 0 && i < layout.n && j >= 0 && j < layout.n;
    const std::uint16_t* pixel =
        onOverlay ? pixels + (static_cast<std::size_t>(i) * layout.n + j) * 4 : nullptr;
    const double alpha = pixel ? HalfValue(pixel[3]) : 0.0;
    for (int k = 0; k < 3; ++k) {
        const double colour = pixel ? HalfValue(pixel[k]) : 0.0;
        out[k] = EncodeSrgb(colour + linear[backdropRgb[k]] * (1 - alpha));  // premultiplied
    }
}

// One row of the picture: the 1:1 panels in the top half, the 8x panels below.
void FillRow(const std::uint16_t* pixels, const Layout& layout, int row, png_byte* out) {
    std::fill(out, out + layout.side * 3, MarginLevel);
    const int inTop = row - Margin, inBottom = row - (2 * Margin + layout.panel);
    const bool top = inTop >= 0 && inTop < layout.panel;
    const bool bottom = inBottom >= 0 && inBottom < layout.panel;
    if (!top && !bottom) return;
    const Backdrop backdrops[2] = {Backdrop::MidGrey, Backdrop::DarkScene};
    for (int p = 0; p < 2; ++p) {
        png_byte* panel = out + (Margin + p * (layout.panel + Margin)) * 3;
        for (int x = 0; x < layout.panel; ++x) {
            // The 8x panels magnify the overlay's square at the centre of the 1:1 panel.
            if (top) {
                CompositeAt(pixels, layout, backdrops[p], x, inTop, panel + x * 3);
            } else {
                CompositeAt(pixels, layout, backdrops[p], layout.offset + x / Zoom,
                            layout.offset + inBottom / Zoom, panel + x * 3);
            }
        }
    }
}

// libpng reports errors by longjmp; only plain data lives in this frame.
bool WritePng(std::FILE* file, const std::uint16_t* pixels, const Layout& layout,
              png_byte* row) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, layout.side, layout.side, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_sRGB_gAMA_and_cHRM(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
    png_write_info(png, info);
    for (int y = 0; y < layout.side; ++y) {
        FillRow(pixels, layout, y, row);
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

std::string WritePreviewPng(const std::string& path, const std::uint16_t* pixels, int n) {
    Layout layout;
    layout.n = n;
    layout.panel = Zoom * n;
    layout.offset = (layout.panel - n) / 2;
    layout.side = 3 * Margin + 2 * layout.panel;
    std::vector<png_byte> row(static_cast<std::size_t>(layout.side) * 3);

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return path + ": cannot create the file";
    const bool written = WritePng(file, pixels, layout, row.data());
    const bool closed = std::fclose(file) == 0;
    if (written && closed) return {};
    std::remove(path.c_str());
    return path + ": cannot write the picture";
}
