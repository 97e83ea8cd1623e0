/* The implementation of Debian's stb_image_resize.h, for the benchmark's comparison. */
#define STB_IMAGE_RESIZE_IMPLEMENTATION
#include <stb/stb_image_resize.h>
