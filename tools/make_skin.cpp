// make_skin.cpp - draws a skin from code: the image file and its "renderer.imageset".
//
//   make_skin [--style default|flat] [--font FILE.ttf] OUTPUT_DIR
//
// default: anti-aliased pictures with real alpha, sized for the default layout
//          (pitch area 87 rows, note bars 22 rows, lyric rows 30), readable over
//          any background: tinted translucent backgrounds, rounded bars with caps,
//          a glowing slider, arrow cursors, digits and five grade badges.
// flat:    every image one flat colour (some translucent), for exact pixel tests.
//
// Writes OUTPUT_DIR/renderer.png and OUTPUT_DIR/renderer.imageset.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>
#define STB_TRUETYPE_IMPLEMENTATION
#include <stb_truetype.h>

namespace {

struct Colour {
    float r, g, b, a;  // 0..1, straight alpha
};

Colour Mix(Colour x, Colour y, float t) {
    return {x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t, x.a + (y.a - x.a) * t};
}

// A picture being drawn: straight-alpha float pixels, composited with "over".
struct Canvas {
    int width, height;
    std::vector<Colour> px;
    Canvas(int w, int h) : width(w), height(h), px(size_t(w) * size_t(h), Colour{0, 0, 0, 0}) {}
    void Over(int x, int y, Colour c, float coverage) {
        if (x < 0 || y < 0 || x >= width || y >= height || coverage <= 0) return;
        Colour& d = px[size_t(y) * size_t(width) + size_t(x)];
        const float a = c.a * std::min(coverage, 1.0f);
        const float outA = a + d.a * (1 - a);
        if (outA <= 0) return;
        d.r = (c.r * a + d.r * d.a * (1 - a)) / outA;
        d.g = (c.g * a + d.g * d.a * (1 - a)) / outA;
        d.b = (c.b * a + d.b * d.a * (1 - a)) / outA;
        d.a = outA;
    }
};

// Signed distance from (px, py) to a rounded rectangle; negative inside.
float RoundedRectDistance(float px, float py, float x0, float y0, float x1, float y1, float radius) {
    const float cx = std::clamp(px, x0 + radius, x1 - radius);
    const float cy = std::clamp(py, y0 + radius, y1 - radius);
    return std::hypot(px - cx, py - cy) - radius;
}

// A rounded capsule with a vertical gradient, a darker rim and a highlight.
void Capsule(Canvas& c, float x0, float y0, float x1, float y1, Colour top, Colour bottom, Colour rim) {
    const float radius = (y1 - y0) / 2;
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            const float d = RoundedRectDistance(px, py, x0, y0, x1, y1, radius);
            const float t = std::clamp((py - y0) / (y1 - y0), 0.0f, 1.0f);
            c.Over(x, y, rim, std::clamp(0.5f - d, 0.0f, 1.0f));
            Colour fill = Mix(top, bottom, t);
            const float inner = d + 1.5f;
            c.Over(x, y, fill, std::clamp(0.5f - inner, 0.0f, 1.0f));
            if (t < 0.45f) c.Over(x, y, Colour{1, 1, 1, 0.35f * (1 - t / 0.45f)}, std::clamp(-inner - 1, 0.0f, 1.0f));
        }
}

// Cuts a bar picture into left cap, middle and right cap.
void CutBar(const Canvas& bar, int capWidth, int middleWidth, Canvas* left, Canvas* middle, Canvas* right) {
    *left = Canvas(capWidth, bar.height);
    *middle = Canvas(middleWidth, bar.height);
    *right = Canvas(capWidth, bar.height);
    for (int y = 0; y < bar.height; ++y) {
        for (int x = 0; x < capWidth; ++x) {
            left->px[size_t(y * capWidth + x)] = bar.px[size_t(y * bar.width + x)];
            right->px[size_t(y * capWidth + x)] = bar.px[size_t(y * bar.width + bar.width - capWidth + x)];
        }
        for (int x = 0; x < middleWidth; ++x)
            middle->px[size_t(y * middleWidth + x)] = bar.px[size_t(y * bar.width + bar.width / 2 + x)];
    }
}

void BarPieces(std::vector<Canvas>* out, Colour top, Colour bottom, Colour rim, float inset) {
    const int cap = 11, middle = 16, height = 22;
    Canvas bar(cap * 2 + middle * 3, height);
    Capsule(bar, 0.5f, inset, float(bar.width) - 0.5f, float(height) - inset, top, bottom, rim);
    Canvas l(1, 1), m(1, 1), r(1, 1);
    CutBar(bar, cap, middle, &l, &m, &r);
    out->push_back(l);
    out->push_back(m);
    out->push_back(r);
}

// A translucent background tile with faint pitch guide lines.
Canvas Background(Colour top, Colour bottom, Colour line) {
    Canvas c(64, 87);
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            c.Over(x, y, Mix(top, bottom, float(y) / float(c.height - 1)), 1);
            if (y % 13 == 6) c.Over(x, y, line, 1);
        }
    return c;
}

Canvas Separator() {
    Canvas c(7, 87);
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            const float d = std::fabs(x + 0.5f - 3.5f);
            c.Over(x, y, Colour{0.55f, 0.95f, 1.0f, 1.0f}, std::clamp(1.2f - d, 0.0f, 1.0f));
            c.Over(x, y, Colour{0.4f, 0.85f, 1.0f, 0.35f}, std::clamp(1 - d / 3.5f, 0.0f, 1.0f));
        }
    return c;
}

Canvas Slider() {
    Canvas c(24, 30);
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            const float dx = (x + 0.5f - 20.0f), dy = (y + 0.5f - 15.0f) / 15.0f;
            const float glow = std::exp(-dx * dx / 40.0f) * (1 - dy * dy);
            const float trail = std::clamp((x + 0.5f) / 20.0f, 0.0f, 1.0f) * (1 - std::fabs(dy)) * 0.35f;
            c.Over(x, y, Colour{1.0f, 0.95f, 0.6f, 1.0f}, std::max(glow, 0.0f) * 0.9f + trail);
            if (std::fabs(dx) < 1.0f && std::fabs(dy) < 0.8f) c.Over(x, y, Colour{1, 1, 1, 1}, 1);
        }
    return c;
}

// An arrow pointing right with its tip at the right end of the middle row.
Canvas Cursor(Colour fill, Colour rim) {
    Canvas c(40, 20);
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            const float px = x + 0.5f, py = y + 0.5f;
            // Head: triangle from x 22..40; shaft: rounded bar from 2..26, rows 7..13.
            const float head = std::min({px - 20.0f, 40.0f - px - std::fabs(py - 10.0f) * 1.8f,
                                         10.0f - std::fabs(py - 10.0f)});
            const float shaft = -RoundedRectDistance(px, py, 1.0f, 6.5f, 26.0f, 13.5f, 3.0f);
            const float inside = std::max(head, shaft);
            c.Over(x, y, rim, std::clamp(inside + 0.5f, 0.0f, 1.0f));
            c.Over(x, y, fill, std::clamp(inside - 1.0f, 0.0f, 1.0f));
        }
    return c;
}

struct Font {
    std::vector<unsigned char> data;
    stbtt_fontinfo info{};
    bool ok = false;
    explicit Font(const char* path) {
        FILE* f = std::fopen(path, "rb");
        if (!f) return;
        unsigned char buffer[65536];
        size_t got;
        while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) data.insert(data.end(), buffer, buffer + got);
        std::fclose(f);
        ok = stbtt_InitFont(&info, data.data(), stbtt_GetFontOffsetForIndex(data.data(), 0)) != 0;
    }
};

// Draws text centred in the canvas, filled with a vertical gradient and outlined.
void Text(Canvas& c, const Font& font, const std::string& text, float pixelHeight, Colour top, Colour bottom,
          Colour outline, float centreY) {
    const float scale = stbtt_ScaleForPixelHeight(&font.info, pixelHeight);
    int ascent = 0, descent = 0, gap = 0;
    stbtt_GetFontVMetrics(&font.info, &ascent, &descent, &gap);
    float width = 0;
    for (char ch : text) {
        int advance = 0, lsb = 0;
        stbtt_GetCodepointHMetrics(&font.info, ch, &advance, &lsb);
        width += advance * scale;
    }
    Canvas mask(c.width, c.height);
    float pen = (c.width - width) / 2;
    const float baseline = centreY + (ascent + descent) * scale / 2;
    for (char ch : text) {
        int w = 0, h = 0, xoff = 0, yoff = 0;
        unsigned char* bitmap = stbtt_GetCodepointBitmapSubpixel(&font.info, scale, scale, pen - std::floor(pen), 0,
                                                                 ch, &w, &h, &xoff, &yoff);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int tx = int(std::floor(pen)) + xoff + x, ty = int(baseline) + yoff + y;
                if (tx >= 0 && ty >= 0 && tx < c.width && ty < c.height)
                    mask.px[size_t(ty * c.width + tx)].a = std::max(mask.px[size_t(ty * c.width + tx)].a,
                                                                    bitmap[y * w + x] / 255.0f);
            }
        stbtt_FreeBitmap(bitmap, nullptr);
        int advance = 0, lsb = 0;
        stbtt_GetCodepointHMetrics(&font.info, ch, &advance, &lsb);
        pen += advance * scale;
    }
    // Outline: the mask dilated by about 1.5 pixels.
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            float grown = 0;
            for (int dy = -2; dy <= 2; ++dy)
                for (int dx = -2; dx <= 2; ++dx) {
                    const int sx = x + dx, sy = y + dy;
                    if (sx < 0 || sy < 0 || sx >= c.width || sy >= c.height) continue;
                    const float fall = std::clamp(2.3f - std::hypot(float(dx), float(dy)), 0.0f, 1.0f);
                    grown = std::max(grown, mask.px[size_t(sy * c.width + sx)].a * fall);
                }
            c.Over(x, y, outline, grown);
        }
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x)
            c.Over(x, y, Mix(top, bottom, float(y) / float(c.height)), mask.px[size_t(y * c.width + x)].a);
}

Canvas Digit(const Font& font, int d) {
    Canvas c(18, 26);
    Text(c, font, std::string(1, char('0' + d)), 26.0f, Colour{1, 1, 1, 1}, Colour{1.0f, 0.85f, 0.35f, 1},
         Colour{0.1f, 0.05f, 0.2f, 0.9f}, 13.0f);
    return c;
}

Canvas Badge(const Font& font, const std::string& text, Colour a, Colour b) {
    Canvas c(140, 44);
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) {
            const float d = RoundedRectDistance(x + 0.5f, y + 0.5f, 2, 4, 138, 40, 12);
            c.Over(x, y, Colour{0, 0, 0, 0.35f}, std::clamp(2.5f - d, 0.0f, 1.0f) * 0.6f);  // soft shadow
            c.Over(x, y, Colour{1, 1, 1, 0.95f}, std::clamp(0.5f - d, 0.0f, 1.0f));
            c.Over(x, y, Mix(a, b, float(y) / 44.0f), std::clamp(-1.5f - d, 0.0f, 1.0f));
        }
    Text(c, font, text, 26.0f, Colour{1, 1, 1, 1}, Colour{1, 1, 0.9f, 1}, Colour{0, 0, 0, 0.55f}, 22.0f);
    return c;
}

Canvas Flat(int w, int h, Colour c) {
    Canvas out(w, h);
    for (Colour& p : out.px) p = c;
    return out;
}

const char* const kNames[] = {"GameBkg",      "GameBkgSeperator", "KtvBkg",       "WaveYellowL",  "WaveYellowM",
                              "WaveYellowR",  "WaveLightBlueL",   "WaveLightBlueM", "WaveLightBlueR", "Slider",
                              "CursorGreen",  "CursorRed",        "CursorYellow", "WaveBlueL",    "WaveBlueM",
                              "WaveBlueR",    "Number0",          "Number1",      "Number2",      "Number3",
                              "Number4",      "Number5",          "Number6",      "Number7",      "Number8",
                              "Number9",      "Miss",             "Poor",         "Good",         "Great",
                              "Perfect"};

std::vector<Canvas> DefaultImages(const Font& font) {
    std::vector<Canvas> v;
    v.push_back(Background({0.05f, 0.07f, 0.18f, 0.80f}, {0.10f, 0.12f, 0.28f, 0.72f}, {1, 1, 1, 0.06f}));
    v.push_back(Separator());
    v.push_back(Background({0.16f, 0.05f, 0.22f, 0.78f}, {0.08f, 0.04f, 0.16f, 0.70f}, {1, 1, 1, 0.05f}));
    BarPieces(&v, {1.0f, 0.92f, 0.45f, 1}, {0.98f, 0.62f, 0.10f, 1}, {0.45f, 0.22f, 0.0f, 0.95f}, 1.0f);
    BarPieces(&v, {0.75f, 0.93f, 1.0f, 0.95f}, {0.35f, 0.70f, 0.95f, 0.95f}, {0.05f, 0.2f, 0.4f, 0.9f}, 1.0f);
    v.push_back(Slider());
    v.push_back(Cursor({0.35f, 0.95f, 0.45f, 1}, {0.0f, 0.25f, 0.05f, 1}));
    v.push_back(Cursor({1.0f, 0.35f, 0.30f, 1}, {0.35f, 0.0f, 0.0f, 1}));
    v.push_back(Cursor({1.0f, 0.88f, 0.25f, 1}, {0.35f, 0.25f, 0.0f, 1}));
    // Trail pieces: a slimmer core in the bar's rows, so the note shows around it.
    BarPieces(&v, {0.45f, 0.75f, 1.0f, 1}, {0.10f, 0.35f, 0.95f, 1}, {0.0f, 0.08f, 0.35f, 1}, 5.0f);
    for (int d = 0; d < 10; ++d) v.push_back(Digit(font, d));
    v.push_back(Badge(font, "MISS", {0.45f, 0.45f, 0.50f, 1}, {0.25f, 0.25f, 0.30f, 1}));
    v.push_back(Badge(font, "POOR", {0.85f, 0.35f, 0.25f, 1}, {0.55f, 0.15f, 0.10f, 1}));
    v.push_back(Badge(font, "GOOD", {0.30f, 0.70f, 0.95f, 1}, {0.10f, 0.40f, 0.75f, 1}));
    v.push_back(Badge(font, "GREAT", {0.35f, 0.85f, 0.40f, 1}, {0.10f, 0.55f, 0.20f, 1}));
    v.push_back(Badge(font, "PERFECT", {1.0f, 0.80f, 0.20f, 1}, {0.95f, 0.40f, 0.10f, 1}));
    return v;
}

// Flat colours: each image its own colour; the backgrounds and trail are translucent.
std::vector<Canvas> FlatImages() {
    std::vector<Canvas> v;
    auto rgb = [](int r, int g, int b, int a = 255) { return Colour{r / 255.0f, g / 255.0f, b / 255.0f, a / 255.0f}; };
    v.push_back(Flat(64, 87, rgb(0, 0, 128, 200)));
    v.push_back(Flat(3, 87, rgb(255, 255, 255)));
    v.push_back(Flat(64, 87, rgb(128, 0, 128, 200)));
    v.push_back(Flat(6, 22, rgb(255, 200, 0)));
    v.push_back(Flat(10, 22, rgb(255, 160, 0)));
    v.push_back(Flat(6, 22, rgb(255, 120, 0)));
    v.push_back(Flat(6, 22, rgb(100, 200, 255)));
    v.push_back(Flat(10, 22, rgb(80, 180, 255)));
    v.push_back(Flat(6, 22, rgb(60, 160, 255)));
    v.push_back(Flat(24, 30, rgb(255, 255, 200, 160)));
    v.push_back(Flat(40, 20, rgb(0, 255, 0)));
    v.push_back(Flat(40, 20, rgb(255, 0, 0)));
    v.push_back(Flat(40, 20, rgb(255, 255, 0)));
    v.push_back(Flat(6, 22, rgb(0, 0, 255)));
    v.push_back(Flat(10, 22, rgb(0, 0, 230)));
    v.push_back(Flat(6, 22, rgb(0, 0, 200)));
    for (int d = 0; d < 10; ++d) v.push_back(Flat(18, 26, rgb(10 + d * 20, 255 - d * 20, 77)));
    const int gradeWidths[] = {60, 70, 80, 90, 100};
    for (int g = 0; g < 5; ++g) v.push_back(Flat(gradeWidths[g], 40, rgb(50 * g, 100, 255 - 50 * g)));
    return v;
}

}  // namespace

int main(int argc, char** argv) {
    std::string style = "default", fontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", out;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--style" && i + 1 < argc) style = argv[++i];
        else if (a == "--font" && i + 1 < argc) fontPath = argv[++i];
        else out = a;
    }
    if (out.empty() || (style != "default" && style != "flat")) {
        std::fprintf(stderr, "usage: make_skin [--style default|flat] [--font FILE.ttf] OUTPUT_DIR\n");
        return 2;
    }
    std::vector<Canvas> images;
    if (style == "flat") {
        images = FlatImages();
    } else {
        Font font(fontPath.c_str());
        if (!font.ok) {
            std::fprintf(stderr, "make_skin: cannot read the font %s\n", fontPath.c_str());
            return 1;
        }
        images = DefaultImages(font);
    }
    // Shelf packing, 1 transparent pixel between images.
    const int atlasWidth = 512;
    std::vector<int> xs(images.size()), ys(images.size());
    int x = 0, y = 0, shelf = 0;
    for (size_t i = 0; i < images.size(); ++i) {
        if (x + images[i].width > atlasWidth) {
            x = 0;
            y += shelf + 1;
            shelf = 0;
        }
        xs[i] = x;
        ys[i] = y;
        x += images[i].width + 1;
        shelf = std::max(shelf, images[i].height);
    }
    const int atlasHeight = y + shelf;
    std::vector<uint8_t> rgba(size_t(atlasWidth) * size_t(atlasHeight) * 4, 0);
    for (size_t i = 0; i < images.size(); ++i)
        for (int py = 0; py < images[i].height; ++py)
            for (int px = 0; px < images[i].width; ++px) {
                const Colour& c = images[i].px[size_t(py * images[i].width + px)];
                uint8_t* d = &rgba[(size_t(ys[i] + py) * atlasWidth + size_t(xs[i] + px)) * 4];
                const uint8_t a = uint8_t(std::lround(std::clamp(c.a, 0.0f, 1.0f) * 255));
                d[0] = a ? uint8_t(std::lround(std::clamp(c.r, 0.0f, 1.0f) * 255)) : 0;
                d[1] = a ? uint8_t(std::lround(std::clamp(c.g, 0.0f, 1.0f) * 255)) : 0;
                d[2] = a ? uint8_t(std::lround(std::clamp(c.b, 0.0f, 1.0f) * 255)) : 0;
                d[3] = a;
            }
    if (!stbi_write_png((out + "/renderer.png").c_str(), atlasWidth, atlasHeight, 4, rgba.data(), atlasWidth * 4)) {
        std::fprintf(stderr, "make_skin: cannot write %s/renderer.png\n", out.c_str());
        return 1;
    }
    FILE* f = std::fopen((out + "/renderer.imageset").c_str(), "wb");
    if (!f) return 1;
    std::fprintf(f, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    std::fprintf(f, "<!-- Generated by tools/make_skin (style %s); regenerate instead of editing. -->\n",
                 style.c_str());
    std::fprintf(f, "<Imageset Name=\"Renderer\" Imagefile=\"renderer.png\">\n");
    for (size_t i = 0; i < images.size(); ++i)
        std::fprintf(f, "  <Image Name=\"%s\" XPos=\"%d\" YPos=\"%d\" Width=\"%d\" Height=\"%d\"/>\n", kNames[i], xs[i],
                     ys[i], images[i].width, images[i].height);
    std::fprintf(f, "</Imageset>\n");
    std::fclose(f);
    std::printf("make_skin: %s/renderer.png (%d x %d) and renderer.imageset, %zu images\n", out.c_str(), atlasWidth,
                atlasHeight, images.size());
    return 0;
}
