// The file name part of a process image path. Windows-free.
#pragma once

// The text after the last backslash of path, or path itself when it has none. Only the
// backslash separates: the Win32 path form that QueryFullProcessImageNameW gives with flags 0.
const wchar_t* ImageFileName(const wchar_t* path);
