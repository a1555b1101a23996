// compare_frames.cpp - compares a frame saved by karaoke-render (--shots, premultiplied
// over black) with a screenshot of the Win32 host at the same song time, on the
// pixels that do not depend on glyph rasterisation: the pitch area (background,
// note bars, trail, cursor).  The lyric text rows differ between font engines.
//
//   compare_frames NATIVE.png SCREENSHOT.png MODE X Y
//
// MODE is lyrics or game; (X, Y) is where the renderer's window lies in the screenshot.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb_image.h>

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: compare_frames NATIVE.png SCREENSHOT.png lyrics|game X Y\n");
        return 2;
    }
    int nw = 0, nh = 0, sw = 0, sh = 0, channels = 0;
    unsigned char* native = stbi_load(argv[1], &nw, &nh, &channels, 4);
    unsigned char* screen = stbi_load(argv[2], &sw, &sh, &channels, 4);
    if (!native || !screen) {
        std::fprintf(stderr, "compare_frames: cannot read %s or %s\n", argv[1], argv[2]);
        return 2;
    }
    const bool game = std::strcmp(argv[3], "game") == 0;
    const int ox = std::atoi(argv[4]), oy = std::atoi(argv[5]);
    const int top = game ? 77 + 30 : 77, bottom = top + 87;  // the default layout's pitch area
    long compared = 0, different = 0;
    int firstX = -1, firstY = -1;
    for (int y = top; y < bottom && y < nh && y + oy < sh; ++y)
        for (int x = 0; x < nw && x + ox < sw; ++x) {
            const unsigned char* a = native + (size_t(y) * size_t(nw) + size_t(x)) * 4;
            const unsigned char* b = screen + (size_t(y + oy) * size_t(sw) + size_t(x + ox)) * 4;
            ++compared;
            if (a[0] != b[0] || a[1] != b[1] || a[2] != b[2]) {
                if (!different) firstX = x, firstY = y;
                ++different;
            }
        }
    std::printf("compare_frames: %s vs %s: %ld of %ld pitch-area pixels differ", argv[1], argv[2], different,
                compared);
    if (different) std::printf(" (first at %d, %d)", firstX, firstY);
    std::printf("\n");
    stbi_image_free(native);
    stbi_image_free(screen);
    return different || !compared ? 1 : 0;
}
