// reticle-preview: renders the overlay exactly as the program does for one monitor, prints its
// size, scale and centre pixel, and writes the raw words and a picture to judge it by.
// Exit codes: 0 done, 1 a file could not be read or written, 2 bad arguments.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/Ids.h"
#include "overlay/OverlayGeometry.h"
#include "overlay/ReticleRaster.h"
#include "tools/reticle-preview/PreviewOptions.h"
#include "tools/reticle-preview/PreviewPicture.h"

namespace {

bool ReadImage(const std::string& path, std::vector<std::uint8_t>& image) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    image.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad() && image.size() == ReticleImageBytes;
}

// N x N x 4 words, each low byte first.
std::string WriteRaw(const std::string& path, const std::vector<std::uint16_t>& pixels) {
    std::vector<char> bytes;
    bytes.reserve(pixels.size() * 2);
    for (const std::uint16_t word : pixels) {
        bytes.push_back(static_cast<char>(word & 0xFF));
        bytes.push_back(static_cast<char>(word >> 8));
    }
    std::ofstream file(path, std::ios::binary);
    if (file && file.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) &&
        file.flush()) {
        return {};
    }
    file.close();
    std::remove(path.c_str());
    return path + ": cannot write the raw pixels";
}

}  // namespace

int main(int argc, char** argv) {
    PreviewOptions options;
    const std::string problem = ParsePreviewOptions(
        argc, argv, QUORVEL_SOURCE_DIR "/resources/reticle.rgba", options);
    if (!problem.empty()) {
        std::fprintf(stderr, "reticle-preview: %s\n%s", problem.c_str(), PreviewUsage);
        return 2;
    }

    std::vector<std::uint8_t> image;
    if (!ReadImage(options.imagePath, image)) {
        std::fprintf(stderr, "reticle-preview: %s: not a readable %u-byte image\n",
                     options.imagePath.c_str(), ReticleImageBytes);
        return 1;
    }

    const int m = options.referenceWidth;
    const int n = 2 * OverlayHalfSize(m);
    std::vector<std::uint16_t> pixels(static_cast<std::size_t>(n) * n * 4);
    RasterizeReticle(image.data(), n, m, options.hdrScale, options.deepBlack, pixels.data());

    const std::uint16_t* centre = pixels.data() + (static_cast<std::size_t>(n / 2) * n + n / 2) * 4;
    std::printf("M %d  N %d  S %.17g\n", m, n, 4 / (m / 1920.0));
    std::printf("centre pixel (%d, %d): 0x%04X 0x%04X 0x%04X 0x%04X\n", n / 2, n / 2, centre[0],
                centre[1], centre[2], centre[3]);

    std::string failure;
    if (!options.rawPath.empty()) failure = WriteRaw(options.rawPath, pixels);
    if (failure.empty() && !options.pngPath.empty()) {
        failure = WritePreviewPng(options.pngPath, pixels.data(), n);
    }
    if (!failure.empty()) {
        std::fprintf(stderr, "reticle-preview: %s\n", failure.c_str());
        return 1;
    }
    return 0;
}
