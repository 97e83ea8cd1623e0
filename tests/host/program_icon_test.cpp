// The committed program icon: resources/quorvel-icon.png (the image of RT_ICON 1) and
// resources/quorvel-icon.grp (the icon directory of RT_GROUP_ICON 102 that points at it).
#include <gtest/gtest.h>

#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tests/host/ArtTestSupport.h"

namespace {

constexpr int Side = 96;

const std::vector<std::uint8_t>& Png() {
    static const std::vector<std::uint8_t> png = ReadSourceFile("resources/quorvel-icon.png");
    return png;
}

std::uint32_t BigEndian32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

unsigned LittleEndian(const std::vector<std::uint8_t>& bytes, std::size_t at, int count) {
    unsigned value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[at + i];
    return value;
}

struct Chunk {
    std::string type;
    std::vector<std::uint8_t> data;
    bool crcMatches;
};

// The file's chunks in order; stops at the first one that runs past the end.
std::vector<Chunk> Chunks(const std::vector<std::uint8_t>& png) {
    std::vector<Chunk> chunks;
    std::size_t at = 8;
    while (at + 12 <= png.size()) {
        std::uint32_t length = BigEndian32(&png[at]);
        if (length > png.size() - at - 12) break;
        const std::uint8_t* typeAndData = &png[at + 4];
        uLong crc = crc32(0, typeAndData, 4 + length);
        chunks.push_back({std::string(typeAndData, typeAndData + 4),
                          std::vector<std::uint8_t>(typeAndData + 4, typeAndData + 4 + length),
                          crc == BigEndian32(typeAndData + 4 + length)});
        at += 12 + length;
    }
    return chunks;
}

const Chunk* Find(const std::vector<Chunk>& chunks, const char* type) {
    for (const Chunk& c : chunks)
        if (c.type == type) return &c;
    return nullptr;
}

// The decoded pixels, 96 x 96 straight RGBA, or empty if libpng cannot decode the file.
std::vector<std::uint8_t> DecodedPixels() {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, Png().data(), Png().size())) return {};
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (image.width != Side || image.height != Side ||
        !png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return {};
    }
    return pixels;
}

TEST(ProgramIcon, IsA96By96RgbaPngWithColourAndResolutionChunks) {
    const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    ASSERT_GT(Png().size(), 8u);
    ASSERT_EQ(std::memcmp(Png().data(), signature, 8), 0);
    std::vector<Chunk> chunks = Chunks(Png());
    ASSERT_FALSE(chunks.empty());
    for (const Chunk& c : chunks) EXPECT_TRUE(c.crcMatches) << c.type;
    EXPECT_EQ(chunks.back().type, "IEND");

    const Chunk& header = chunks.front();
    ASSERT_EQ(header.type, "IHDR");
    ASSERT_EQ(header.data.size(), 13u);
    EXPECT_EQ(BigEndian32(&header.data[0]), 96u);  // width
    EXPECT_EQ(BigEndian32(&header.data[4]), 96u);  // height
    EXPECT_EQ(header.data[8], 8);                  // bits per channel
    EXPECT_EQ(header.data[9], 6);                  // colour type: RGB with alpha
    EXPECT_EQ(header.data[12], 0);                 // not interlaced

    const Chunk* srgb = Find(chunks, "sRGB");
    ASSERT_NE(srgb, nullptr);
    EXPECT_EQ(srgb->data, std::vector<std::uint8_t>{0});  // perceptual
    const Chunk* gamma = Find(chunks, "gAMA");
    ASSERT_NE(gamma, nullptr);
    ASSERT_EQ(gamma->data.size(), 4u);
    EXPECT_EQ(BigEndian32(gamma->data.data()), 45455u);
    const Chunk* resolution = Find(chunks, "pHYs");
    ASSERT_NE(resolution, nullptr);
    ASSERT_EQ(resolution->data.size(), 9u);
    EXPECT_EQ(BigEndian32(&resolution->data[0]), 3779u);
    EXPECT_EQ(BigEndian32(&resolution->data[4]), 3779u);
    EXPECT_EQ(resolution->data[8], 1);  // per metre

    // The colour chunks count only before the image data; a time stamp would break
    // reproducibility.
    auto firstData = std::find_if(chunks.begin(), chunks.end(),
                                  [](const Chunk& c) { return c.type == "IDAT"; });
    for (const char* type : {"sRGB", "gAMA", "pHYs"})
        EXPECT_LT(Find(chunks, type), &*firstData) << type;
    EXPECT_EQ(Find(chunks, "tIME"), nullptr);
}

TEST(ProgramIcon, GroupDirectoryPointsAtThePng) {
    std::vector<std::uint8_t> group = ReadSourceFile("resources/quorvel-icon.grp");
    ASSERT_EQ(group.size(), 20u);
    EXPECT_EQ(LittleEndian(group, 0, 2), 0u);   // reserved
    EXPECT_EQ(LittleEndian(group, 2, 2), 1u);   // type: icon
    EXPECT_EQ(LittleEndian(group, 4, 2), 1u);   // one entry
    EXPECT_EQ(group[6], 96);                    // width
    EXPECT_EQ(group[7], 96);                    // height
    EXPECT_EQ(group[8], 0);                     // colour count
    EXPECT_EQ(group[9], 0);                     // reserved
    EXPECT_EQ(LittleEndian(group, 10, 2), 1u);  // planes
    EXPECT_EQ(LittleEndian(group, 12, 2), 32u);  // bits per pixel
    EXPECT_EQ(LittleEndian(group, 14, 4), Png().size());
    EXPECT_EQ(LittleEndian(group, 18, 2), 1u);  // RT_ICON id
}

TEST(ProgramIcon, ShowsTheMotifCentredOnTheIcon) {
    std::vector<std::uint8_t> pixels = DecodedPixels();
    ASSERT_EQ(pixels.size(), std::size_t(Side) * Side * 4);
    auto at = [&](int x, int y, int c) { return pixels[(std::size_t(y) * Side + x) * 4 + c]; };

    int left = Side, right = -1, top = Side, bottom = -1;
    double dotWeight = 0, dotX = 0, dotY = 0;
    for (int y = 0; y < Side; ++y)
        for (int x = 0; x < Side; ++x) {
            std::uint8_t alpha = at(x, y, 3);
            ASSERT_TRUE(IsCoverageAlpha(alpha)) << "pixel " << x << ", " << y;
            if (alpha == 0) {
                ASSERT_TRUE(at(x, y, 0) == 0 && at(x, y, 1) == 0 && at(x, y, 2) == 0)
                    << "pixel " << x << ", " << y;
                continue;
            }
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
            // The dot lies alone within 6 pixels of the centre, all in its one colour.
            if (std::abs(x - 48) <= 6 && std::abs(y - 48) <= 6) {
                EXPECT_TRUE(at(x, y, 0) == 95 && at(x, y, 1) == 255 && at(x, y, 2) == 58)
                    << "pixel " << x << ", " << y;
                // A pixel's samples lie at offsets 0 to 7/8, centred on 7/16 rather than 1/2.
                dotWeight += alpha;
                dotX += alpha * (x + 7.0 / 16);
                dotY += alpha * (y + 7.0 / 16);
            }
        }
    double dotRadius = std::sqrt(dotWeight / 255 / 3.14159265358979);
    std::printf("icon motif x %d..%d, y %d..%d; dot centre %.3f, %.3f, radius %.3f\n", left, right,
                top, bottom, dotX / dotWeight, dotY / dotWeight, dotRadius);
    EXPECT_EQ(left, 14);
    EXPECT_EQ(right, 81);
    EXPECT_EQ(top, 27);
    EXPECT_EQ(bottom, 69);
    EXPECT_NEAR(dotX / dotWeight, 48.0, 0.05);
    EXPECT_NEAR(dotY / dotWeight, 48.0, 0.05);
    EXPECT_NEAR(dotRadius, 2.6, 0.1);
}

}  // namespace
