// The reticle rasterizer beside stb_image_resize's sRGB-correct box filter, resizing the same
// 256 x 256 image to the same N for each reference width. Times only: the outputs differ.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include <stb/stb_image_resize.h>

#include "app/Ids.h"
#include "overlay/OverlayGeometry.h"
#include "overlay/ReticleRaster.h"

namespace {

using Image = std::vector<std::uint8_t>;

constexpr int Side = static_cast<int>(ReticleImageSide);

// A stand-in while the committed image is blank: a dot and two arcs of a ring around it,
// 8 x 8 supersampled, with about the real image's share of visible pixels.
Image StandInImage() {
    Image image(ReticleImageBytes, 0);
    const auto inside = [](double x, double y) {
        const double dot = std::hypot(x - 128, y - 128);
        const double ring = std::hypot(std::abs(x - 128) - 43, y - 128);
        return dot <= 5.45 || (ring >= 23 && ring <= 31 && std::abs(x - 128) >= 14);
    };
    for (int y = 0; y < Side; ++y) {
        for (int x = 0; x < Side; ++x) {
            int k = 0;
            for (int i = 0; i < 8; ++i) {
                for (int j = 0; j < 8; ++j) k += inside(x + j / 8.0, y + i / 8.0);
            }
            if (k == 0) continue;
            std::uint8_t* p = image.data() + y * Side * 4 + x * 4;
            p[0] = static_cast<std::uint8_t>(x);
            p[1] = 255;
            p[2] = static_cast<std::uint8_t>(y);
            p[3] = static_cast<std::uint8_t>((255 * k + 32) / 64);
        }
    }
    return image;
}

const Image& BenchImage() {
    static const Image image = [] {
        std::ifstream file(QUORVEL_SOURCE_DIR "/resources/reticle.rgba", std::ios::binary);
        Image committed((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        const bool usable = committed.size() == ReticleImageBytes &&
                            std::any_of(committed.begin(), committed.end(),
                                        [](std::uint8_t b) { return b != 0; });
        std::fprintf(stderr, "image: %s\n",
                     usable ? "resources/reticle.rgba" : "stand-in (the committed one is blank)");
        return usable ? committed : StandInImage();
    }();
    return image;
}

int OverlaySizeFor(int referenceWidth) { return 2 * OverlayHalfSize(referenceWidth); }

void Rasterizer(benchmark::State& state) {
    const Image& image = BenchImage();
    const int m = static_cast<int>(state.range(0));
    const int n = OverlaySizeFor(m);
    std::vector<std::uint16_t> pixels(static_cast<std::size_t>(n) * n * 4);
    for (auto _ : state) {
        RasterizeReticle(image.data(), n, m, 1.0f, false, pixels.data());
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    state.counters["N"] = n;
}

void StbBoxResize(benchmark::State& state) {
    const Image& image = BenchImage();
    const int n = OverlaySizeFor(static_cast<int>(state.range(0)));
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(n) * n * 4);
    for (auto _ : state) {
        const int ok = stbir_resize_uint8_generic(
            image.data(), Side, Side, Side * 4, pixels.data(),
            n, n, n * 4, 4, 3, 0, STBIR_EDGE_CLAMP, STBIR_FILTER_BOX, STBIR_COLORSPACE_SRGB,
            nullptr);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    state.counters["N"] = n;
}

void ReferenceWidths(benchmark::internal::Benchmark* b) {
    for (const int m : {1024, 1280, 1365, 1920, 2560, 3840, 7680}) b->Arg(m);
    b->ArgName("M")->Unit(benchmark::kMicrosecond);
}

BENCHMARK(Rasterizer)->Apply(ReferenceWidths);
BENCHMARK(StbBoxResize)->Apply(ReferenceWidths);

}  // namespace

BENCHMARK_MAIN();
