// reticle-preview's command line.
#pragma once

#include <string>

struct PreviewOptions {
    int referenceWidth = 0;  // M, from --reference-width or from --monitor
    float hdrScale = 1.0f;
    bool deepBlack = false;
    std::string rawPath;    // empty: no raw file
    std::string pngPath;    // empty: no picture
    std::string imagePath;  // the 256 x 256 RGBA image
};

extern const char PreviewUsage[];

// Reads argv[1..argc-1] into options. Returns an empty string, or the one-line reason why the
// arguments cannot be used. imagePath starts as defaultImage.
std::string ParsePreviewOptions(int argc, const char* const* argv, const std::string& defaultImage,
                                PreviewOptions& options);
