// karaoke_render.cpp - plays an UltraStar song through the renderer as a host would,
// natively (headless window), and writes what would be on the screen as pictures.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include "core/renderer_impl.h"
#include "host_frame.h"
#include "ultrastar/ultrastar.h"
#include "window/headless_window.h"

namespace {

const char* const kUsage = R"(karaoke-render - play an UltraStar song through the renderer and save the frames

usage: karaoke-render --song FILE [options]

  --song FILE          UltraStar .txt file to play (required)
  --voice N            duet part to play, 1 or 2 (default 1)
  --skin DIR           skin directory holding renderer.imageset (default skins/default)
  --mode MODE          lyrics, game or both (default both)
  --fps N              frames per second of the simulated host (default 30)
  --start MS           song time of the first frame (default 0)
  --duration MS        how much of the song to play (default: to its end)
  --out DIR            where the pictures go (default out)
  --every N            save every Nth frame as PNG (default: 2 per second of song)
  --background COLOUR  RRGGBB to composite over, or "transparent" to keep alpha (default 1d1b3a)
  --sheet N            frames on the contact sheet (default 12)
  --shots MS,MS,...    also save the frames at these song times as <mode>_shot_<ms>.png,
                       premultiplied over black: what a layered window shows over black
  --video              also write an MP4 with ffmpeg when it is installed
  --help               this text

The renderer is driven exactly as a host drives it: Init, SetSong, Show, then per
frame UpdateTime (every fourth frame, with a simulated singer's pitch) or Tick,
and Present; SetScore at the end of every line.  The frames are what the display
window would show, un-premultiplied, composited over the background colour.
)";

struct Options {
    std::string song, skin = "skins/default", mode = "both", out = "out";
    int voice = 1, fps = 30, every = 0, sheet = 12;
    uint32_t start = 0, duration = 0;
    bool transparent = false, video = false;
    std::vector<uint32_t> shots;
    uint8_t background[3] = {0x1d, 0x1b, 0x3a};
};

bool ParseOptions(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        auto value = [&](std::string* v) {
            if (i + 1 >= argc) return false;
            *v = argv[++i];
            return true;
        };
        std::string v;
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        } else if (a == "--video") {
            o->video = true;
        } else if (!value(&v)) {
            std::fprintf(stderr, "karaoke-render: %s needs a value (see --help)\n", a.c_str());
            return false;
        } else if (a == "--song") {
            o->song = v;
        } else if (a == "--skin") {
            o->skin = v;
        } else if (a == "--mode") {
            o->mode = v;
        } else if (a == "--out") {
            o->out = v;
        } else if (a == "--voice") {
            o->voice = std::atoi(v.c_str());
        } else if (a == "--fps") {
            o->fps = std::atoi(v.c_str());
        } else if (a == "--every") {
            o->every = std::atoi(v.c_str());
        } else if (a == "--sheet") {
            o->sheet = std::atoi(v.c_str());
        } else if (a == "--start") {
            o->start = uint32_t(std::strtoul(v.c_str(), nullptr, 10));
        } else if (a == "--duration") {
            o->duration = uint32_t(std::strtoul(v.c_str(), nullptr, 10));
        } else if (a == "--shots") {
            for (size_t at = 0; at < v.size();) {
                o->shots.push_back(uint32_t(std::strtoul(v.c_str() + at, nullptr, 10)));
                const size_t comma = v.find(',', at);
                at = comma == std::string::npos ? v.size() : comma + 1;
            }
        } else if (a == "--background") {
            if (v == "transparent") {
                o->transparent = true;
            } else {
                const unsigned long rgb = std::strtoul(v.c_str(), nullptr, 16);
                o->background[0] = uint8_t(rgb >> 16);
                o->background[1] = uint8_t(rgb >> 8);
                o->background[2] = uint8_t(rgb);
            }
        } else {
            std::fprintf(stderr, "karaoke-render: unknown option %s (see --help)\n", a.c_str());
            return false;
        }
    }
    if (o->song.empty()) {
        std::fprintf(stderr, "karaoke-render: --song is required (see --help)\n");
        return false;
    }
    if (o->fps < 1 || o->fps > 240 || (o->mode != "lyrics" && o->mode != "game" && o->mode != "both")) {
        std::fprintf(stderr, "karaoke-render: --fps must be 1 to 240 and --mode lyrics, game or both\n");
        return false;
    }
    return true;
}

// The premultiplied frame as straight RGBA, over the background unless transparent.
std::vector<uint8_t> ToRgba(const std::vector<uint8_t>& bgra, const Options& o) {
    std::vector<uint8_t> rgba(bgra.size());
    for (size_t i = 0; i < bgra.size(); i += 4) {
        const int a = bgra[i + 3];
        for (int c = 0; c < 3; ++c) {
            const int premultiplied = bgra[i + 2 - size_t(c)];
            if (o.transparent)
                rgba[i + size_t(c)] = uint8_t(a ? std::min(255, premultiplied * 255 / a) : 0);
            else
                rgba[i + size_t(c)] = uint8_t(std::min(255, premultiplied + o.background[c] * (255 - a) / 255));
        }
        rgba[i + 3] = o.transparent ? uint8_t(a) : 255;
    }
    return rgba;
}

void Progress(const char* mode, size_t done, size_t total) {
    static const bool terminal = isatty(2) != 0;
    if (!terminal && done != total) return;  // a log gets the final line only
    const int width = 40;
    const int filled = total ? int(done * width / total) : width;
    std::fprintf(stderr, "\r%-6s [%.*s%*s] %3d%%  frame %zu/%zu", mode, filled,
                 "########################################", width - filled, "", total ? int(done * 100 / total) : 100,
                 done, total);
    if (done == total) std::fputc('\n', stderr);
}

bool HaveFfmpeg() { return std::system("command -v ffmpeg > /dev/null 2>&1") == 0; }

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseOptions(argc, argv, &o)) return 2;
    ultrastar::Song song;
    std::string error;
    if (!ultrastar::Load(o.song, o.voice, &song, &error)) {
        std::fprintf(stderr, "karaoke-render: %s\n", error.c_str());
        return 1;
    }
    mkdir(o.out.c_str(), 0755);
    auto* renderer = static_cast<CGDIRendererImpl*>(CreateRenderer());
    IRenderer* r = renderer;
    RendererWindowHandle host = headless::CreateHostWindow(0, 0, 800, 600);
    RendererLayout layout = {150, 490, 640, 77, 87, 30, 200, 230, 0.15f, 22, 22, 2,
                             100, 100, 100, 100, 10, 120, 8, 150, 0, 180, 2000};
    std::vector<int> modes;
    if (o.mode != "game") modes.push_back(0);
    if (o.mode != "lyrics") modes.push_back(1);
    if (!r->Init(o.skin.c_str(), host, 0, 0, &layout, modes[0], false)) {
        std::fprintf(stderr, "karaoke-render: Init failed\n");
        return 1;
    }
    const uint32_t end = o.duration ? std::min(song.info.endTime, o.start + o.duration) : song.info.endTime;
    // Whole milliseconds per frame, as a host's timer gives them.
    const uint32_t frameMs = uint32_t(std::lround(1000.0 / o.fps));
    const int every = o.every > 0 ? o.every : std::max(1, o.fps / 2);
    std::printf("karaoke-render: \"%s\" by %s, %u lines, %.1f s, mode %s\n", song.Title().c_str(),
                song.Artist().c_str(), song.info.lineCount, (end - o.start) / 1000.0, o.mode.c_str());
    std::vector<std::string> made;
    for (int mode : modes) {
        const char* name = mode == 0 ? "lyrics" : "game";
        r->SetMode(mode);
        r->SetSong(&song.info);
        r->Show();
        Singer singer(song.info, 7);
        const size_t frames = size_t((end - o.start) / frameMs) + 1;
        std::vector<uint32_t> shots = o.shots;
        std::vector<std::vector<uint8_t>> sheet;
        FILE* video = nullptr;
        std::string videoPath = o.out + "/" + name + ".mp4";
        if (o.video && HaveFfmpeg()) {
            const std::string command = "ffmpeg -loglevel error -y -f rawvideo -pix_fmt rgba -s 640x230 -r " +
                                        std::to_string(o.fps) + " -i - -pix_fmt yuv420p '" + videoPath + "'";
            video = popen(command.c_str(), "w");
        }
        const size_t sheetEvery = std::max<size_t>(1, frames / size_t(std::max(1, o.sheet)));
        uint32_t lastLineScored = UINT32_MAX;
        for (size_t f = 0; f < frames; ++f) {
            const uint32_t t = o.start + uint32_t(f) * frameMs;
            const int elapsed = int(frameMs);
            HostFrame(r, &singer, uint32_t(f), t, elapsed, &lastLineScored);
            r->Present();
            const std::vector<uint8_t>& shown = renderer->window->presentedPixels;
            for (uint32_t& shot : shots)
                if (shot != UINT32_MAX && t >= shot) {
                    Options black = o;
                    black.transparent = false;
                    black.background[0] = black.background[1] = black.background[2] = 0;
                    const std::vector<uint8_t> rgba = ToRgba(shown, black);
                    const std::string path = o.out + "/" + name + "_shot_" + std::to_string(shot) + ".png";
                    stbi_write_png(path.c_str(), 640, 230, 4, rgba.data(), 640 * 4);
                    made.push_back(path);
                    shot = UINT32_MAX;
                }
            const bool saveFrame = f % size_t(every) == 0, sheetFrame = f % sheetEvery == 0;
            if (saveFrame || sheetFrame || video) {
                const std::vector<uint8_t> rgba = ToRgba(shown, o);
                if (saveFrame) {
                    char path[512];
                    std::snprintf(path, sizeof path, "%s/%s_%06u.png", o.out.c_str(), name, t);
                    stbi_write_png(path, 640, 230, 4, rgba.data(), 640 * 4);
                }
                if (sheetFrame && sheet.size() < size_t(o.sheet)) sheet.push_back(rgba);
                if (video) std::fwrite(rgba.data(), 1, rgba.size(), video);
            }
            if (f % 16 == 0 || f + 1 == frames) Progress(name, f + 1, frames);
        }
        // Contact sheet: the chosen frames at half size, three columns.
        const int columns = 3, w = 320, h = 115;
        const int rows = int((sheet.size() + columns - 1) / columns);
        std::vector<uint8_t> canvas(size_t(columns * w) * size_t(rows * h) * 4, 0);
        for (size_t i = 0; i < sheet.size(); ++i)
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x)
                    std::memcpy(&canvas[((size_t(int(i) / columns * h + y)) * size_t(columns * w) +
                                         size_t(int(i) % columns * w + x)) * 4],
                                &sheet[i][(size_t(y * 2) * 640 + size_t(x * 2)) * 4], 4);
        const std::string sheetPath = o.out + "/" + name + "_sheet.png";
        stbi_write_png(sheetPath.c_str(), columns * w, rows * h, 4, canvas.data(), columns * w * 4);
        made.push_back(sheetPath);
        if (video) {
            pclose(video);
            made.push_back(videoPath);
        }
        made.push_back(o.out + "/" + name + "_*.png (every " + std::to_string(every) + " frames)");
    }
    r->Hide();
    r->ClearSong();
    r->Uninit();
    for (const std::string& m : made) std::printf("  %s\n", m.c_str());
    if (o.video && !HaveFfmpeg()) std::printf("  (no video: ffmpeg is not installed)\n");
    return 0;
}
