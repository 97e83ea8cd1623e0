#include "tools/reticle-art/Rasterize.h"

#include <cstddef>

#include "tools/reticle-art/ReticleShape.h"

namespace {

constexpr int SamplesPerAxis = 8;
constexpr double MotifCenter = 128.0;

// The motif point that the picture point p (one axis) shows.
double MotifCoordinate(MotifView view, double p) {
    return MotifCenter + (p - view.center) / view.scale;
}

}  // namespace

std::vector<std::uint8_t> RasterizeMotif(MotifView view) {
    auto side = static_cast<std::size_t>(view.side);
    std::vector<std::uint8_t> pixels(side * side * 4, 0);
    for (int y = 0; y < view.side; ++y) {
        for (int x = 0; x < view.side; ++x) {
            // Samples per shape, indexed by ReticleShape.
            int covered[4] = {0, 0, 0, 0};
            for (int j = 0; j < SamplesPerAxis; ++j) {
                double my = MotifCoordinate(view, y + j / double(SamplesPerAxis));
                for (int i = 0; i < SamplesPerAxis; ++i) {
                    double mx = MotifCoordinate(view, x + i / double(SamplesPerAxis));
                    ++covered[static_cast<int>(ShapeAt(mx, my))];
                }
            }
            int k = SamplesPerAxis * SamplesPerAxis - covered[0];
            if (k == 0) continue;
            // The shapes lie far apart, so a pixel takes the colour of the one it mostly shows.
            auto shape = ReticleShape::Dot;
            for (auto s : {ReticleShape::LeftWing, ReticleShape::RightWing})
                if (covered[static_cast<int>(s)] > covered[static_cast<int>(shape)]) shape = s;
            Rgb color = ShapeColor(shape, MotifCoordinate(view, x + 0.5),
                                   MotifCoordinate(view, y + 0.5));
            std::uint8_t* pixel = &pixels[(static_cast<std::size_t>(y) * side + x) * 4];
            pixel[0] = color[0];
            pixel[1] = color[1];
            pixel[2] = color[2];
            pixel[3] = CoverageAlpha(k);
        }
    }
    return pixels;
}
