// platform_linux.cpp - the Linux side of the platform seam, for native tests and tools.
#include <iconv.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

namespace platform {

namespace {
int64_t g_bitmapsCreated = 0;
int64_t g_liveBitmaps = 0;
}  // namespace

// The "bitmap" is the heap block itself; the pixels start at it.
bool CreateBitmapPixels(int32_t width, int32_t height, void** bitmap, uint8_t** pixels) {
    void* block = std::calloc(size_t(width) * size_t(height), 4);
    if (!block) return false;
    *bitmap = block;
    *pixels = static_cast<uint8_t*>(block);
    ++g_bitmapsCreated;
    ++g_liveBitmaps;
    return true;
}

void DeleteBitmap(void* bitmap) {
    if (bitmap) --g_liveBitmaps;
    std::free(bitmap);
}

int64_t BitmapsCreated() { return g_bitmapsCreated; }
int64_t LiveBitmaps() { return g_liveBitmaps; }

std::vector<std::string>& DebugOutputLog() {
    static std::vector<std::string> log;
    return log;
}

void WriteDebugOutput(const char* text) {
    if (!text) return;
    DebugOutputLog().emplace_back(text);
    if (std::getenv("RENDERER_DEBUG_OUTPUT")) std::fputs(text, stderr);
}

namespace {

// Converts with iconv; "" when the input is not valid in `from`.
std::string Convert(const char* from, const char* to, const char* data, size_t bytes) {
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1)) return std::string();
    std::string out(bytes * 2 + 16, '\0');
    char* in = const_cast<char*>(data);
    size_t inLeft = bytes;
    char* dst = &out[0];
    size_t outLeft = out.size();
    const size_t rc = iconv(cd, &in, &inLeft, &dst, &outLeft);
    iconv_close(cd);
    if (rc == size_t(-1)) return std::string();
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace

std::u16string AnsiToUtf16(const char* text) {
    const std::string bytes = Convert("UTF-8", "UTF-16LE", text, std::strlen(text));
    std::u16string out(bytes.size() / 2, u'\0');
    if (!out.empty()) std::memcpy(&out[0], bytes.data(), out.size() * 2);
    return out;
}

std::string Utf16ToAnsi(const char16_t* text) {
    size_t units = 0;
    while (text[units]) ++units;
    return Convert("UTF-16LE", "UTF-8", reinterpret_cast<const char*>(text), units * 2);
}

bool ReadWholeFile(const char* path, size_t maxBytes, std::vector<uint8_t>* contents) {
    if (!path || !contents) return false;
    std::string unixPath(path);
    for (char& c : unixPath)
        if (c == '\\') c = '/';
    FILE* f = std::fopen(unixPath.c_str(), "rb");
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
