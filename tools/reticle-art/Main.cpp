// reticle-art: draws the program's artwork from its geometric description and writes
//   RESOURCE_DIR/reticle.rgba       the raw 256 x 256 RGBA reticle image (262144 bytes)
//   RESOURCE_DIR/quorvel-icon.png   the 96 x 96 program icon
//   RESOURCE_DIR/quorvel-icon.grp   the icon directory of icon group 102 (20 bytes)
//   PREVIEW_PNG                     the reticle enlarged 4x over a checkerboard
// The output depends on nothing but this program, so it is reproducible byte for byte.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/reticle-art/PngEncode.h"
#include "tools/reticle-art/Preview.h"
#include "tools/reticle-art/Rasterize.h"

namespace {

// The icon shows the motif at 0.476 of its size, its centre (128, 128) on the icon's (48, 48).
constexpr MotifView IconView = {96, 48.0, 0.476};
constexpr int PreviewFactor = 4;
constexpr std::uint16_t IconImageId = 1;  // RT_ICON 1 in the resource script

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "reticle-art: cannot create %s\n", path.c_str());
        return false;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    written = std::fclose(file) == 0 && written;
    if (!written) std::fprintf(stderr, "reticle-art: cannot write %s\n", path.c_str());
    return written;
}

void PutLittleEndian(std::vector<std::uint8_t>* out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out->push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// An icon directory as an RT_GROUP_ICON resource holds it: one 96 x 96, 32-bit entry.
std::vector<std::uint8_t> IconGroup(std::uint32_t imageBytes) {
    std::vector<std::uint8_t> group;
    PutLittleEndian(&group, 0, 2);  // reserved
    PutLittleEndian(&group, 1, 2);  // type: icon
    PutLittleEndian(&group, 1, 2);  // one entry
    group.push_back(static_cast<std::uint8_t>(IconView.side));  // width
    group.push_back(static_cast<std::uint8_t>(IconView.side));  // height
    group.push_back(0);             // colour count: not a palette image
    group.push_back(0);             // reserved
    PutLittleEndian(&group, 1, 2);  // planes
    PutLittleEndian(&group, 32, 2);  // bits per pixel
    PutLittleEndian(&group, imageBytes, 4);
    PutLittleEndian(&group, IconImageId, 2);
    return group;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: reticle-art RESOURCE_DIR PREVIEW_PNG\n");
        return 2;
    }
    std::string dir = argv[1];
    std::string previewPath = argv[2];

    std::vector<std::uint8_t> reticle = RasterizeMotif(ReticleView);
    std::vector<std::uint8_t> icon = EncodePng(RasterizeMotif(IconView), IconView.side,
                                               IconView.side, 4);
    int previewSide = ReticleView.side * PreviewFactor;
    std::vector<std::uint8_t> preview = EncodePng(
        CheckerboardPreview(reticle, ReticleView.side, PreviewFactor), previewSide, previewSide, 3);
    if (icon.empty() || preview.empty()) {
        std::fprintf(stderr, "reticle-art: PNG encoding failed\n");
        return 1;
    }
    bool ok = WriteFile(dir + "/reticle.rgba", reticle) &&
              WriteFile(dir + "/quorvel-icon.png", icon) &&
              WriteFile(dir + "/quorvel-icon.grp", IconGroup(static_cast<std::uint32_t>(icon.size()))) &&
              WriteFile(previewPath, preview);
    return ok ? 0 : 1;
}
