// platform.h - the thin seam between the renderer and the operating system.
//
// Win32 (platform_win32.cpp): DIB sections, OutputDebugStringA, CreateFileA/ReadFile.
// Linux (platform_linux.cpp): zeroed heap pixels, an in-memory debugger-output
// sink that tests read, stdio file reading.
#ifndef RENDERER_PLATFORM_PLATFORM_H
#define RENDERER_PLATFORM_PLATFORM_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// A zeroed, top-down 32-bit bitmap of width x height pixels (both > 0, size
// already checked by the caller).  `bitmap` is the handle DeleteBitmap frees.
bool CreateBitmapPixels(int32_t width, int32_t height, void** bitmap, uint8_t** pixels);
void DeleteBitmap(void* bitmap);

// Writes one text to the debugger output, as it stands (no line end is added).
void WriteDebugOutput(const char* text);

// Reads a whole file.  On Linux a backslash in the path separates directories,
// as it does on Windows.  False when it is missing, unreadable, or larger than maxBytes.
bool ReadWholeFile(const char* path, size_t maxBytes, std::vector<uint8_t>* contents);

// Text in the system's ANSI code page <-> UTF-16 (CP_ACP on Win32; UTF-8 on Linux).
// Both stop at the input's terminating zero; unconvertible input gives "".
std::u16string AnsiToUtf16(const char* text);
std::string Utf16ToAnsi(const char16_t* text);

// The library's module instance (HINSTANCE on Win32), stored by the entry point.
void SetModuleInstance(void* instance);
void* ModuleInstance();

#ifndef _WIN32
// Linux only: what has been written to the debugger output, one entry per call.
std::vector<std::string>& DebugOutputLog();
// Linux only: how many bitmaps have been created, and how many exist now.
int64_t BitmapsCreated();
int64_t LiveBitmaps();
#endif

}  // namespace platform

#endif
