#include "tools/reticle-art/PngEncode.h"

#include <csetjmp>
#include <cstddef>

#include <png.h>
#include <zlib.h>

namespace {

constexpr png_fixed_point GammaOneOver2_2 = 45455;  // 1 / 2.2 in units of 1 / 100000
constexpr png_uint_32 PixelsPerMetre96Dpi = 3779;

void AppendToVector(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<std::uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

// libpng reports errors by longjmp, so this frame holds nothing that needs destroying.
bool Encode(png_structp png, png_infop info, std::vector<std::uint8_t>* out,
            const std::uint8_t* pixels, int width, int height, int channels) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, out, AppendToVector, NoFlush);
    // Fixed compression settings: the output depends on the pixels alone.
    png_set_compression_level(png, Z_BEST_COMPRESSION);
    png_set_compression_mem_level(png, 9);
    png_set_compression_strategy(png, Z_DEFAULT_STRATEGY);
    png_set_compression_window_bits(png, 15);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);

    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE, PNG_FILTER_TYPE_BASE);
    png_set_sRGB(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
    png_set_gAMA_fixed(png, info, GammaOneOver2_2);
    png_set_pHYs(png, info, PixelsPerMetre96Dpi, PixelsPerMetre96Dpi, PNG_RESOLUTION_METER);
    png_write_info(png, info);
    auto stride = static_cast<std::size_t>(width) * static_cast<std::size_t>(channels);
    for (int y = 0; y < height; ++y)
        png_write_row(png, pixels + static_cast<std::size_t>(y) * stride);
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

std::vector<std::uint8_t> EncodePng(const std::vector<std::uint8_t>& pixels, int width,
                                    int height, int channels) {
    std::vector<std::uint8_t> out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return out;
    png_infop info = png_create_info_struct(png);
    bool encoded = info && Encode(png, info, &out, pixels.data(), width, height, channels);
    png_destroy_write_struct(&png, &info);
    if (!encoded) out.clear();
    return out;
}
