#include "overlay/GameImageName.h"

#include <cwchar>

const wchar_t* ImageFileName(const wchar_t* path) {
    const wchar_t* lastBackslash = std::wcsrchr(path, L'\\');
    return lastBackslash != nullptr ? lastBackslash + 1 : path;
}
