// karaoke_render.cpp - plays an UltraStar song through the renderer as a host would,
// natively (headless window), and writes what would be on the screen as pictures
// and as finished karaoke videos with sound.
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

#include "host_frame.h"
#include "progress.h"
#include "renderer_access.h"
#include "song_audio.h"
#include "song_json.h"
#include "ultrastar/ultrastar.h"
#include "video_encoder.h"

#ifndef RENDERER_SOURCE_DIR
#define RENDERER_SOURCE_DIR ""
#endif

namespace {

const char* const kUsage = R"(karaoke-render - play an UltraStar song through the renderer; save pictures and videos

usage: karaoke-render --song FILE [options]

  --song FILE          UltraStar .txt file to play (required)
  --voice N            duet part to play, 1 to 9 (default 1)
  --json               print the imported song as JSON (lines, words, notes, times,
                       pitches, warnings) and exit
  --skin DIR           skin directory holding renderer.imageset (default: skins/default
                       next to the program or in the project it was built from)
  --mode MODE          lyrics, game or both (default both)
  --fps N              frames per second of the simulated host (default 30); every
                       frame lasts round(1000 / N) ms of song time
  --start MS           song time of the first frame (default: the song's #START, or 0)
  --duration MS        how much of the song to play (default: to #END, or to the
                       last note and two seconds more)
  --allow-long         play more than an hour (refused without it)
  --width W            window width in pixels, 320 to 4096 (default 640)
  --height H           window height in pixels, 230 to 2160 (default 230); the
                       display sits at the bottom, the space above stays clear
  --out DIR            where pictures and videos go, created if needed (default out)
  --every N            save every Nth frame as <mode>_<ms>.png; 0 for none
                       (default: two per second of song, none with --video)
  --sheet N            frames on the contact sheet <mode>_sheet.png; 0 for none (default 12)
  --shots MS,MS,...    also save the frames at these song times as <mode>_shot_<ms>.png,
                       premultiplied over black: what a layered window shows over black
  --background COLOUR  RRGGBB to composite over, or "transparent" to keep alpha
                       (default 1d1b3a; videos are always over the colour)
  --video              also write <mode>.mp4 (H.264 and AAC) with ffmpeg: the song's
                       own audio file (#AUDIO or #MP3) when it is there, from the first
                       frame's time on, else a guide melody played from the notes
  --help               this text

The renderer is driven exactly as a host drives it: Init, SetSong, Show, then per
frame UpdateTime (every fourth frame, with a simulated singer's pitch) or Tick,
and Present; SetScore at the end of every line.  The frames are what the display
window would show, un-premultiplied, composited over the background colour.
Progress goes to standard error: a bar on a terminal, else a line every 5 seconds.
)";

struct Options {
    std::string song, skin, mode = "both", out = "out";
    int voice = 1, fps = 30, every = -1, sheet = 12, width = 640, height = 230;
    bool startGiven = false, durationGiven = false;
    uint32_t start = 0, duration = 0;
    bool transparent = false, video = false, json = false, allowLong = false;
    std::vector<uint32_t> shots;
    uint8_t background[3] = {0x1d, 0x1b, 0x3a};
};

void Fail(const std::string& message) { std::fprintf(stderr, "karaoke-render: %s\n", message.c_str()); }

// A whole number from `text` within [low, high]; false when it is anything else.
bool Whole(const std::string& text, long long low, long long high, long long* value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (*end != '\0' || errno != 0 || v < low || v > high) return false;
    *value = v;
    return true;
}

bool ParseOptions(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            std::exit(0);
        }
        if (a == "--video" || a == "--json" || a == "--allow-long") {
            (a == "--video" ? o->video : a == "--json" ? o->json : o->allowLong) = true;
            continue;
        }
        if (i + 1 >= argc) {
            Fail(a + (a.compare(0, 2, "--") == 0 ? " needs a value" : ": unknown option") + " (see --help)");
            return false;
        }
        const std::string v = argv[++i];
        long long n = 0;
        auto number = [&](long long low, long long high, auto* target) {
            if (!Whole(v, low, high, &n)) {
                Fail(a + " must be a whole number from " + std::to_string(low) + " to " + std::to_string(high) +
                     ", not \"" + v + "\"");
                return false;
            }
            *target = static_cast<std::remove_pointer_t<decltype(target)>>(n);
            return true;
        };
        bool ok = true;
        if (a == "--song") {
            o->song = v;
        } else if (a == "--skin") {
            o->skin = v;
        } else if (a == "--mode") {
            o->mode = v;
            if (v != "lyrics" && v != "game" && v != "both") {
                Fail("--mode must be lyrics, game or both, not \"" + v + "\"");
                ok = false;
            }
        } else if (a == "--out") {
            o->out = v;
        } else if (a == "--voice") {
            ok = number(1, 9, &o->voice);
        } else if (a == "--fps") {
            ok = number(1, 240, &o->fps);
        } else if (a == "--every") {
            ok = number(0, INT_MAX, &o->every);
        } else if (a == "--sheet") {
            ok = number(0, 120, &o->sheet);
        } else if (a == "--width") {
            ok = number(320, 4096, &o->width);
        } else if (a == "--height") {
            ok = number(230, 2160, &o->height);
        } else if (a == "--start") {
            ok = number(0, INT32_MAX, &o->start);
            o->startGiven = true;
        } else if (a == "--duration") {
            ok = number(1, INT32_MAX, &o->duration);
            o->durationGiven = true;
        } else if (a == "--shots") {
            for (size_t at = 0; ok && at <= v.size();) {
                size_t comma = v.find(',', at);
                if (comma == std::string::npos) comma = v.size();
                if (!Whole(v.substr(at, comma - at), 0, INT32_MAX, &n)) {
                    Fail("--shots must be song times in ms separated by commas, not \"" + v + "\"");
                    ok = false;
                }
                o->shots.push_back(uint32_t(n));
                at = comma + 1;
            }
        } else if (a == "--background") {
            if (v == "transparent") {
                o->transparent = true;
            } else if (v.size() == 6 && v.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos) {
                const unsigned long rgb = std::strtoul(v.c_str(), nullptr, 16);
                o->background[0] = uint8_t(rgb >> 16);
                o->background[1] = uint8_t(rgb >> 8);
                o->background[2] = uint8_t(rgb);
            } else {
                Fail("--background must be RRGGBB or transparent, not \"" + v + "\"");
                ok = false;
            }
        } else {
            Fail("unknown option " + a + " (see --help)");
            ok = false;
        }
        if (!ok) return false;
    }
    if (o->song.empty()) {
        Fail("--song is required (see --help)");
        return false;
    }
    return true;
}

// The folder of the running program.
std::string ProgramFolder() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return ".";
    path[n] = '\0';
    std::string p(path);
    const size_t slash = p.rfind('/');
    return slash == std::string::npos ? "." : p.substr(0, slash);
}

bool IsFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// skins/default beside the program, in a folder above it (a build tree inside the
// project), or in the project it was built from.
std::string FindDefaultSkin() {
    const std::string program = ProgramFolder();
    std::vector<std::string> candidates;
    std::string up = program;
    for (int level = 0; level < 4; ++level, up += "/..") candidates.push_back(up + "/skins/default");
    if (*RENDERER_SOURCE_DIR) candidates.push_back(std::string(RENDERER_SOURCE_DIR) + "/skins/default");
    for (const std::string& c : candidates)
        if (IsFile(c + "/renderer.imageset")) return c;
    return std::string();
}

// Creates `dir` and its parents; false with the reason.
bool MakeFolders(const std::string& dir, std::string* error) {
    for (size_t at = 1; at <= dir.size(); ++at) {
        if (at != dir.size() && dir[at] != '/') continue;
        const std::string part = dir.substr(0, at);
        struct stat info;
        if (stat(part.c_str(), &info) == 0) {
            if (!S_ISDIR(info.st_mode)) {
                *error = "cannot make the output folder " + dir + ": " + part + " is not a folder";
                return false;
            }
            continue;
        }
        if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) {
            *error = "cannot make the output folder " + part + ": " + std::strerror(errno);
            return false;
        }
    }
    // Writable: a file can be made there.
    const std::string probe = dir + "/.karaoke-render-" + std::to_string(getpid());
    FILE* f = std::fopen(probe.c_str(), "wb");
    if (!f) {
        *error = "cannot write in the output folder " + dir + ": " + std::strerror(errno);
        return false;
    }
    std::fclose(f);
    std::remove(probe.c_str());
    return true;
}

// The default 640 x 230 layout, widened or heightened: horizontal positions scale
// with the width, and extra height goes above the display.
RendererLayout PlayerLayout(int width, int height) {
    RendererLayout l = {150, 490, 640, 77, 87, 30, 200, 230, 0.15f, 22, 22, 2,
                        100, 100, 100, 100, 10, 120, 8, 150, 0, 180, 2000};
    auto x = [&](int32_t v) { return int32_t(std::lround(double(v) * width / 640.0)); };
    l.timeMarkerX = x(l.timeMarkerX);
    l.reserved1 = x(l.reserved1);
    l.windowWidth = width;
    l.firstLineLeft = x(l.firstLineLeft);
    l.secondLineRight = x(l.secondLineRight);
    l.pitchAreaLeft = x(l.pitchAreaLeft);
    l.pitchAreaRight = x(l.pitchAreaRight);
    l.scoreX = x(l.scoreX);
    l.gradeRight = x(l.gradeRight);
    l.leadInDistance = x(l.leadInDistance);
    const int32_t extra = height - 230;
    l.windowHeight = height;
    l.topMargin += extra;
    l.scoreTop += extra;
    l.gradeTop += extra;
    return l;
}

// The premultiplied frame as straight RGBA, over the background unless transparent.
std::vector<uint8_t> ToRgba(const std::vector<uint8_t>& bgra, bool transparent, const uint8_t background[3]) {
    std::vector<uint8_t> rgba(bgra.size());
    for (size_t i = 0; i + 3 < bgra.size(); i += 4) {
        const int a = bgra[i + 3];
        for (int c = 0; c < 3; ++c) {
            const int premultiplied = bgra[i + 2 - size_t(c)];
            if (transparent)
                rgba[i + size_t(c)] = uint8_t(a ? std::min(255, premultiplied * 255 / a) : 0);
            else
                rgba[i + size_t(c)] = uint8_t(std::min(255, premultiplied + background[c] * (255 - a) / 255));
        }
        rgba[i + 3] = transparent ? uint8_t(a) : 255;
    }
    return rgba;
}

// The premultiplied frame over the background as packed RGB, for the video.
void ToRgb(const std::vector<uint8_t>& bgra, const uint8_t background[3], std::vector<uint8_t>* rgb) {
    rgb->resize(bgra.size() / 4 * 3);
    for (size_t i = 0, o = 0; i + 3 < bgra.size(); i += 4, o += 3) {
        const int a = bgra[i + 3];
        for (int c = 0; c < 3; ++c)
            (*rgb)[o + size_t(c)] = uint8_t(std::min(255, bgra[i + 2 - size_t(c)] + background[c] * (255 - a) / 255));
    }
}

std::string Minutes(uint32_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%u:%02u.%u", ms / 60000, ms / 1000 % 60, ms / 100 % 10);
    return text;
}

// Removes the temporary guide melody however the program ends normally.
struct TemporaryFile {
    std::string path;
    ~TemporaryFile() {
        if (!path.empty()) std::remove(path.c_str());
    }
};

}  // namespace

int main(int argc, char** argv) {
    Options o;
    if (!ParseOptions(argc, argv, &o)) return 2;
    ultrastar::Song song;
    std::string error;
    if (!ultrastar::Load(o.song, o.voice, &song, &error)) {
        Fail(error);
        return 1;
    }
    if (o.json) {
        std::printf("%s\n", player::SongJson(song).c_str());
        return 0;
    }
    for (const std::string& w : song.warnings) std::fprintf(stderr, "karaoke-render: warning: %s: %s\n", o.song.c_str(), w.c_str());

    // The skin: the one asked for, or the default; either must be complete.
    if (o.skin.empty()) {
        o.skin = FindDefaultSkin();
        if (o.skin.empty()) {
            Fail("no default skin: skins/default is neither next to " + ProgramFolder() +
                 " nor in the project; give one with --skin");
            return 1;
        }
    }
    std::vector<std::string> skinWarnings;
    if (!player::CheckSkin(o.skin, &error, &skinWarnings)) {
        Fail(error);
        return 1;
    }
    for (const std::string& w : skinWarnings) std::fprintf(stderr, "karaoke-render: warning: %s\n", w.c_str());

    // What to play: from --start (or #START) to --duration (or #END, or the song's end).
    const uint32_t start = o.startGiven ? o.start : song.startMs;
    uint32_t end = song.endMs > start ? song.endMs : song.info.endTime;
    if (o.durationGiven) end = uint32_t(std::min<uint64_t>(uint64_t(start) + o.duration, INT32_MAX));
    if (end <= start) {
        Fail("nothing to play: the song ends at " + Minutes(song.info.endTime) + ", before the start at " +
             Minutes(start));
        return 1;
    }
    if (end - start > 3600000u && !o.allowLong) {
        Fail("playing " + Minutes(end - start) + " is more than an hour; pass --allow-long to play it all, or "
             "choose a part with --start and --duration");
        return 2;
    }
    if (!MakeFolders(o.out, &error)) {
        Fail(error);
        return 1;
    }

    // The sound of the videos: the song's own file, else the guide melody.
    const uint32_t frameMs = uint32_t(std::lround(1000.0 / o.fps));
    const size_t frames = size_t((end - start) / frameMs) + 1;
    std::string ffmpeg, audio, audioNote;
    TemporaryFile guide;
    double audioStart = 0;
    if (o.video) {
        ffmpeg = player::FindProgram("ffmpeg");
        if (ffmpeg.empty()) {
            Fail("--video needs ffmpeg, which is not installed (apt-get install ffmpeg)");
            return 1;
        }
        audio = player::FindAudioFile(song, &audioNote);
        if (!audio.empty()) {
            audioStart = start / 1000.0;
        } else {
            char name[] = "/tmp/karaoke-guide-XXXXXX.wav";
            const int fd = mkstemps(name, 4);
            if (fd < 0) {
                Fail(std::string("cannot make a temporary file for the guide melody: ") + std::strerror(errno));
                return 1;
            }
            close(fd);
            guide.path = audio = name;
            const uint32_t videoEnd = start + uint32_t(frames) * frameMs;
            if (!player::WriteWav(audio, player::SynthesiseGuideMelody(song, start, videoEnd), player::kGuideSampleRate)) {
                Fail("cannot write the guide melody to " + audio);
                return 1;
            }
        }
    }

    IRenderer* r = CreateRenderer();
    RendererWindowHandle host = player::CreateHostWindow(o.width + 160, o.height + 370);
    RendererLayout layout = PlayerLayout(o.width, o.height);
    std::vector<int> modes;
    if (o.mode != "game") modes.push_back(0);
    if (o.mode != "lyrics") modes.push_back(1);
    if (!r || !r->Init(o.skin.c_str(), host, 0, 0, &layout, modes[0], false)) {
        Fail("the renderer did not initialise with the skin " + o.skin);
        return 1;
    }
    const int every = o.every >= 0 ? o.every : (o.video ? 0 : std::max(1, o.fps / 2));
    std::printf("karaoke-render: \"%s\" by %s, voice %d, %u lines, %s to %s, %d x %d, %u fps, mode %s\n",
                song.Title().c_str(), song.Artist().c_str(), song.voice, song.info.lineCount, Minutes(start).c_str(),
                Minutes(end).c_str(), o.width, o.height, 1000 / frameMs, o.mode.c_str());
    if (o.video)
        std::printf("  sound: %s\n", guide.path.empty() ? audio.c_str()
                                                        : ("a guide melody from the notes" +
                                                           (audioNote.empty() ? std::string() : " (" + audioNote + ")"))
                                                              .c_str());
    std::vector<std::string> made;
    int status = 0;
    for (int mode : modes) {
        const char* name = mode == 0 ? "lyrics" : "game";
        r->SetMode(mode);
        if (!r->SetSong(&song.info)) {
            Fail("the renderer refused the song");
            status = 1;
            break;
        }
        r->Show();
        Singer singer(song.info, 7);
        std::vector<uint32_t> shots = o.shots;
        std::vector<std::vector<uint8_t>> sheet;
        int sheetWidth = 0, sheetHeight = 0;
        player::VideoEncoder video;
        const std::string videoPath = o.out + "/" + name + ".mp4";
        if (o.video) {
            player::VideoSettings settings;
            settings.path = videoPath;
            settings.width = o.width;
            settings.height = std::max(o.height, 230);
            settings.frameMs = int(frameMs);
            settings.audioPath = audio;
            settings.audioStartSeconds = audioStart;
            settings.durationSeconds = double(frames) * frameMs / 1000.0;
            if (!video.Start(ffmpeg, settings, &error)) {
                Fail(error);
                status = 1;
                break;
            }
        }
        const size_t sheetEvery = o.sheet ? std::max<size_t>(1, frames / size_t(o.sheet)) : 0;
        player::Progress progress(stderr, isatty(2) != 0, name, end - start);
        uint32_t lastLineScored = UINT32_MAX;
        std::vector<uint8_t> rgb;
        bool failed = false;
        for (size_t f = 0; f < frames && !failed; ++f) {
            const uint32_t t = start + uint32_t(f) * frameMs;
            HostFrame(r, &singer, uint32_t(f), t, int(frameMs), &lastLineScored);
            r->Present();
            int width = 0, height = 0;
            const std::vector<uint8_t>* shown = player::PresentedFrame(r, &width, &height);
            if (!shown || shown->size() != size_t(width) * size_t(height) * 4) {
                Fail("the renderer presented no frame");
                failed = true;
                break;
            }
            auto writePng = [&](const std::string& path, const std::vector<uint8_t>& rgba) {
                if (stbi_write_png(path.c_str(), width, height, 4, rgba.data(), width * 4)) return true;
                Fail("cannot write " + path);
                failed = true;
                return false;
            };
            for (uint32_t& shot : shots)
                if (shot != UINT32_MAX && t >= shot) {
                    const uint8_t black[3] = {0, 0, 0};
                    const std::string path = o.out + "/" + name + "_shot_" + std::to_string(shot) + ".png";
                    if (writePng(path, ToRgba(*shown, false, black))) made.push_back(path);
                    shot = UINT32_MAX;
                }
            const bool saveFrame = every > 0 && f % size_t(every) == 0;
            const bool sheetFrame = sheetEvery && f % sheetEvery == 0 && sheet.size() < size_t(o.sheet);
            if (saveFrame || sheetFrame) {
                const std::vector<uint8_t> rgba = ToRgba(*shown, o.transparent, o.background);
                if (saveFrame) {
                    char file[64];
                    std::snprintf(file, sizeof file, "/%s_%06u.png", name, t);
                    writePng(o.out + file, rgba);
                }
                if (sheetFrame) {
                    sheet.push_back(rgba);
                    sheetWidth = width;
                    sheetHeight = height;
                }
            }
            if (o.video) {
                ToRgb(*shown, o.background, &rgb);
                if (!video.WriteFrame(rgb.data())) {
                    failed = true;
                    break;
                }
            }
            progress.Update(t - start);
        }
        if (o.video) {
            if (!video.Finish(&error)) {
                Fail(videoPath + ": " + error);
                failed = true;
            } else if (!failed) {
                made.push_back(videoPath);
            }
        }
        if (failed) {
            status = 1;
            break;
        }
        progress.Finish();
        const double seconds = progress.Seconds();
        std::printf("  %s: %zu frames in %.2f s: %.0f frames per second, %.1fx real time\n", name, frames, seconds,
                    frames / std::max(seconds, 1e-9), (end - start) / 1000.0 / std::max(seconds, 1e-9));
        // Contact sheet: the chosen frames at half size, three columns.
        if (!sheet.empty()) {
            const int columns = 3, w = sheetWidth / 2, h = sheetHeight / 2;
            const int rows = int((sheet.size() + columns - 1) / columns);
            std::vector<uint8_t> canvas(size_t(columns * w) * size_t(rows * h) * 4, 0);
            for (size_t i = 0; i < sheet.size(); ++i)
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x)
                        std::memcpy(&canvas[(size_t(int(i) / columns * h + y) * size_t(columns * w) +
                                             size_t(int(i) % columns * w + x)) * 4],
                                    &sheet[i][(size_t(y * 2) * size_t(sheetWidth) + size_t(x * 2)) * 4], 4);
            const std::string sheetPath = o.out + "/" + name + "_sheet.png";
            if (!stbi_write_png(sheetPath.c_str(), columns * w, rows * h, 4, canvas.data(), columns * w * 4)) {
                Fail("cannot write " + sheetPath);
                status = 1;
                break;
            }
            made.push_back(sheetPath);
        }
        if (every > 0) made.push_back(o.out + "/" + name + "_*.png (every " + std::to_string(every) + " frames)");
    }
    r->Hide();
    r->ClearSong();
    r->Uninit();
    for (const std::string& m : made) std::printf("  %s\n", m.c_str());
    return status;
}
