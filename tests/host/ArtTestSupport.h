// What the artwork tests share: reading committed files (QUORVEL_SOURCE_DIR is set by
// tests/host) and the alpha values that 8 x 8 coverage can give.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// The file's bytes, or an empty vector if it cannot be read.
inline std::vector<std::uint8_t> ReadSourceFile(const std::string& relativePath) {
    std::ifstream file(std::string(QUORVEL_SOURCE_DIR) + "/" + relativePath, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file),
                                     std::istreambuf_iterator<char>());
}

// The 65 alpha values that 8 x 8 coverage can give: round(255 k / 64), halves up.
inline bool IsCoverageAlpha(std::uint8_t alpha) {
    for (int k = 0; k <= 64; ++k)
        if (alpha == (255 * k + 32) / 64) return true;
    return false;
}
