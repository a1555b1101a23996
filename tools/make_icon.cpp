// make_icon.cpp - draws the library's icon (resource 107) and writes it as an .ico
// holding one 32 x 32 PNG image.
//
//   make_icon OUTPUT.ico
//
// The picture: a rounded dark tile with a pitch bar in green and a yellow note.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace {

constexpr int kSize = 32;

// Coverage of a rounded rectangle at pixel centre (px, py), anti-aliased over one pixel.
float RoundedRectCoverage(float px, float py, float x0, float y0, float x1, float y1, float radius) {
    const float cx = std::fmax(x0 + radius, std::fmin(px, x1 - radius));
    const float cy = std::fmax(y0 + radius, std::fmin(py, y1 - radius));
    const float distance = std::hypot(px - cx, py - cy) - radius;
    return std::fmax(0.0f, std::fmin(1.0f, 0.5f - distance));
}

void Over(uint8_t* p, float r, float g, float b, float coverage) {
    const float a = p[3] / 255.0f;
    const float outA = coverage + a * (1 - coverage);
    if (outA <= 0) return;
    p[0] = uint8_t((r * coverage + p[0] * a * (1 - coverage)) / outA + 0.5f);
    p[1] = uint8_t((g * coverage + p[1] * a * (1 - coverage)) / outA + 0.5f);
    p[2] = uint8_t((b * coverage + p[2] * a * (1 - coverage)) / outA + 0.5f);
    p[3] = uint8_t(outA * 255 + 0.5f);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_icon OUTPUT.ico\n");
        return 2;
    }
    std::vector<uint8_t> rgba(kSize * kSize * 4, 0);
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            uint8_t* p = &rgba[(y * kSize + x) * 4];
            const float px = x + 0.5f, py = y + 0.5f;
            Over(p, 28, 30, 48, RoundedRectCoverage(px, py, 1, 1, 31, 31, 6));
            Over(p, 80, 220, 120, RoundedRectCoverage(px, py, 5, 19, 21, 24, 2.5f));
            Over(p, 250, 200, 40, RoundedRectCoverage(px, py, 17, 6, 27, 11, 2.5f));
            Over(p, 250, 200, 40, RoundedRectCoverage(px, py, 21, 8, 23, 16, 1.0f));
        }
    }
    int pngSize = 0;
    unsigned char* png = stbi_write_png_to_mem(rgba.data(), kSize * 4, kSize, kSize, 4, &pngSize);
    if (!png) return 1;
    FILE* out = std::fopen(argv[1], "wb");
    if (!out) return 1;
    // ICONDIR, one ICONDIRENTRY, then the PNG image.
    const uint8_t header[6] = {0, 0, 1, 0, 1, 0};
    const uint32_t size = uint32_t(pngSize), offset = 22;
    const uint8_t entry[16] = {kSize, kSize, 0, 0, 1, 0, 32, 0,
                               uint8_t(size), uint8_t(size >> 8), uint8_t(size >> 16), uint8_t(size >> 24),
                               uint8_t(offset), 0, 0, 0};
    bool ok = std::fwrite(header, 1, 6, out) == 6 && std::fwrite(entry, 1, 16, out) == 16 &&
              std::fwrite(png, 1, size_t(pngSize), out) == size_t(pngSize);
    ok = std::fclose(out) == 0 && ok;
    STBIW_FREE(png);
    return ok ? 0 : 1;
}
