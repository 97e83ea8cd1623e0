#include "tools/reticle-preview/PreviewOptions.h"

#include <charconv>
#include <cmath>
#include <string_view>

#include "overlay/OverlayGeometry.h"

const char PreviewUsage[] =
    "usage: reticle-preview (--monitor WxH | --reference-width M) [--hdr-scale S] [--black]\n"
    "                       [--raw FILE] [--png FILE] [--image FILE]\n"
    "  W, H, M: whole pixels from 1 to 16384; S: above 0 and at most 6 (default 1)\n";

namespace {

constexpr int LargestSide = 16384;  // keeps the 8x picture within reason

// A whole number from 1 to LargestSide, digits only.
bool ParseSide(std::string_view text, int& value) {
    if (text.empty() || text.front() < '0' || text.front() > '9') return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= 1 &&
           value <= LargestSide;
}

bool ParseMonitor(std::string_view text, int& width, int& height) {
    const std::size_t x = text.find('x');
    return x != std::string_view::npos && ParseSide(text.substr(0, x), width) &&
           ParseSide(text.substr(x + 1), height);
}

bool ParseScale(std::string_view text, float& value) {
    if (text.empty()) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && std::isfinite(value) &&
           value > 0.0f && value <= 6.0f;
}

}  // namespace

std::string ParsePreviewOptions(int argc, const char* const* argv, const std::string& defaultImage,
                                PreviewOptions& options) {
    options = PreviewOptions{};
    options.imagePath = defaultImage;
    bool haveMonitor = false, haveWidth = false, haveScale = false, haveRaw = false,
         havePng = false, haveImage = false;

    for (int k = 1; k < argc; ++k) {
        const std::string_view option = argv[k];
        if (option == "--black") {
            if (options.deepBlack) return "--black given twice";
            options.deepBlack = true;
            continue;
        }
        bool* seen = option == "--monitor"           ? &haveMonitor
                     : option == "--reference-width" ? &haveWidth
                     : option == "--hdr-scale"       ? &haveScale
                     : option == "--raw"             ? &haveRaw
                     : option == "--png"             ? &havePng
                     : option == "--image"           ? &haveImage
                                                     : nullptr;
        if (!seen) return "unknown argument: " + std::string(option);
        if (*seen) return std::string(option) + " given twice";
        *seen = true;
        // An option where its value should be is a forgotten value, not a file name.
        if (k + 1 == argc || std::string_view(argv[k + 1]).starts_with("--")) {
            return std::string(option) + " needs a value";
        }
        const std::string_view value = argv[++k];

        if (option == "--monitor") {
            int width = 0, height = 0;
            if (!ParseMonitor(value, width, height)) {
                return "--monitor needs WxH, each from 1 to 16384: " + std::string(value);
            }
            options.referenceWidth = ReferenceWidth(width, height);
        } else if (option == "--reference-width") {
            if (!ParseSide(value, options.referenceWidth)) {
                return "--reference-width needs a whole number from 1 to 16384: " +
                       std::string(value);
            }
        } else if (option == "--hdr-scale") {
            if (!ParseScale(value, options.hdrScale)) {
                return "--hdr-scale needs a number above 0 and at most 6: " + std::string(value);
            }
        } else {
            if (value.empty()) return std::string(option) + " needs a file name";
            std::string& path = option == "--raw"   ? options.rawPath
                                : option == "--png" ? options.pngPath
                                                    : options.imagePath;
            path = value;
        }
    }

    if (haveMonitor && haveWidth) return "give --monitor or --reference-width, not both";
    if (!haveMonitor && !haveWidth) return "--monitor or --reference-width is required";
    if (haveRaw && havePng && options.rawPath == options.pngPath) {
        return "--raw and --png name the same file";
    }
    return {};
}
