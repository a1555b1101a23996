// platform_linux.cpp - the Linux side of the platform seam, for native tests and tools.
#include <cstdio>
#include <cstdlib>

#include "platform/platform.h"

namespace platform {

// The "bitmap" is the heap block itself; the pixels start at it.
bool CreateBitmapPixels(int32_t width, int32_t height, void** bitmap, uint8_t** pixels) {
    void* block = std::calloc(size_t(width) * size_t(height), 4);
    if (!block) return false;
    *bitmap = block;
    *pixels = static_cast<uint8_t*>(block);
    return true;
}

void DeleteBitmap(void* bitmap) { std::free(bitmap); }

std::vector<std::string>& DebugOutputLog() {
    static std::vector<std::string> log;
    return log;
}

void WriteDebugOutput(const char* text) {
    if (!text) return;
    DebugOutputLog().emplace_back(text);
    if (std::getenv("RENDERER_DEBUG_OUTPUT")) std::fputs(text, stderr);
}

bool ReadWholeFile(const char* path, size_t maxBytes, std::vector<uint8_t>* contents) {
    if (!path || !contents) return false;
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    std::vector<uint8_t> data;
    uint8_t buffer[65536];
    bool ok = true;
    for (;;) {
        const size_t got = std::fread(buffer, 1, sizeof buffer, f);
        if (got == 0) {
            ok = !std::ferror(f);
            break;
        }
        if (data.size() + got > maxBytes) {
            ok = false;
            break;
        }
        data.insert(data.end(), buffer, buffer + got);
    }
    std::fclose(f);
    if (ok) contents->swap(data);
    return ok;
}

}  // namespace platform
