// karaoke-render as a user runs it: --json, skin and output errors, the default
// skin from anywhere, other window sizes, long songs, progress in a log, words of
// unpitched lines on the screen, and finished videos checked with ffprobe and by
// listening to their sound.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "audio_analysis.h"
#include "imaging/stb_image_api.h"
#include "song_audio.h"
#include "test_files.h"
#include "video_encoder.h"

namespace {

using Json = nlohmann::json;

std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

struct Result {
    int status = -1;
    std::string out, err;
};

const std::string& WorkDir() {
    static const std::string dir = test_files::TempDir("karaoke_render");
    return dir;
}

// Runs a program with its output captured; `cwd` is where it runs.
Result RunProgram(const std::vector<std::string>& args, const std::string& cwd = "") {
    std::string command = cwd.empty() ? "" : "cd " + Quote(cwd) + " && ";
    for (const std::string& a : args) command += Quote(a) + " ";
    const std::string out = WorkDir() + "/stdout", err = WorkDir() + "/stderr";
    command += "> " + Quote(out) + " 2> " + Quote(err) + " < /dev/null";
    Result r;
    const int status = std::system(command.c_str());
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const std::vector<uint8_t> o = test_files::Read(out), e = test_files::Read(err);
    r.out.assign(o.begin(), o.end());
    r.err.assign(e.begin(), e.end());
    return r;
}

Result Render(std::vector<std::string> args, const std::string& cwd = "") {
    args.insert(args.begin(), KARAOKE_RENDER);
    return RunProgram(args, cwd);
}

std::string WriteSong(const std::string& name, const std::string& text) {
    const std::string path = WorkDir() + "/" + name + ".txt";
    test_files::WriteText(path, text);
    return path;
}

std::string Skin() { return test_files::SourceDir() + "/skins/default"; }

// Width and height from a PNG's header.
bool PngSize(const std::string& path, int* width, int* height) {
    const std::vector<uint8_t> b = test_files::Read(path);
    if (b.size() < 24 || b[1] != 'P' || b[2] != 'N' || b[3] != 'G') return false;
    *width = int(uint32_t(b[16]) << 24 | b[17] << 16 | b[18] << 8 | b[19]);
    *height = int(uint32_t(b[20]) << 24 | b[21] << 16 | b[22] << 8 | b[23]);
    return true;
}

// A song with everything the importer reads: CP1250 text, a relative duet whose
// voices interleave, a tempo change, a melisma, a negative #GAP and a rap note.
// BPM 300: 50 ms a beat up to beat 30, then 100 ms (B 20 150 at voice 1's offset 10).
const char* const kFeatureSong =
    "#TITLE:Pie\x9C\xF1\n"           // line 1: "Pieśń"
    "#ARTIST:Test\n"
    "#ENCODING:CP1250\n"
    "#BPM:300\n"
    "#GAP:-100\n"                    // line 5
    "#RELATIVE:yes\n"
    "P1\n"
    ": 0 4 2 Za\xBF\xF3\xB3\xE6\n"   // line 8: "Zażółć", beat 0: -100 ms, starts at 0
    ": 4 4 4 ~\n"                    // the melisma: 100 to 300 ms
    "- 8 10\n"                       // voice 1 counts from beat 10
    "B 20 150\n"                     // beat 30
    "R 2 4 0 rap\n"                  // beat 12: 500 to 700 ms
    "P2\n"
    ": 0 2 7 dwa\n"                  // line 14: beat 0 of voice 2
    "- 4 40\n"                       // voice 2 counts from beat 40
    ": 0 2 9 trzy\n"                 // beat 40: 30 * 50 + 10 * 100 - 100 = 2400 ms
    "P1\n"
    ": 20 2 5 koniec\n"              // beat 30: 30 * 50 - 100 = 1400 ms
    "E\n";

TEST(KaraokeRender, JsonShowsWhatWillBeSung) {
    const std::string song = WriteSong("features", kFeatureSong);
    Result r = Render({"--song", song, "--json"});
    ASSERT_EQ(0, r.status) << r.err;
    const Json j = Json::parse(r.out);
    EXPECT_EQ("Pieśń", j["title"]);
    EXPECT_EQ("CP1250", j["encoding"]);
    EXPECT_EQ(1, j["voice"]);
    EXPECT_EQ(2, j["voices"]);
    EXPECT_EQ(true, j["relative"]);
    ASSERT_EQ(1u, j["tempoChanges"].size());
    EXPECT_EQ(30.0, j["tempoChanges"][0]["beat"]);
    EXPECT_EQ(11, j["tempoChanges"][0]["line"]);
    bool warned = false;
    for (const auto& w : j["warnings"]) warned |= w.get<std::string>().find("line 8: the note would start at -100 ms") == 0;
    EXPECT_TRUE(warned) << j["warnings"].dump();
    const Json& lines = j["lines"];
    ASSERT_EQ(2u, lines.size());
    // Line 1: one word sung over two notes.
    ASSERT_EQ(1u, lines[0]["words"].size());
    EXPECT_EQ("Zażółć", lines[0]["words"][0]["text"]);
    EXPECT_EQ(0, lines[0]["words"][0]["startMs"]);
    EXPECT_EQ(8 * 50 - 100, lines[0]["words"][0]["endMs"]);
    EXPECT_EQ(8, lines[0]["words"][0]["line"]);
    ASSERT_EQ(2u, lines[0]["notes"].size());
    EXPECT_EQ(4 * 50 - 100, lines[0]["notes"][1]["startMs"]);
    EXPECT_EQ(64.0, lines[0]["notes"][1]["pitch"]);
    EXPECT_EQ("normal", lines[0]["notes"][1]["kind"]);
    // Line 2: the rap word without a note, then a word after the tempo change.
    ASSERT_EQ(2u, lines[1]["words"].size());
    EXPECT_EQ("rap", lines[1]["words"][0]["text"]);
    EXPECT_EQ(12 * 50 - 100, lines[1]["words"][0]["startMs"]);
    EXPECT_EQ(1400, lines[1]["words"][1]["startMs"]);
    EXPECT_EQ(30 * 50 + 2 * 100 - 100, lines[1]["words"][1]["endMs"]);
    ASSERT_EQ(1u, lines[1]["notes"].size());
    EXPECT_EQ(65.0, lines[1]["notes"][0]["pitch"]);
    EXPECT_EQ(1600 + 2000, j["lengthMs"]);

    r = Render({"--song", song, "--json", "--voice", "2"});
    ASSERT_EQ(0, r.status) << r.err;
    const Json second = Json::parse(r.out);
    EXPECT_EQ(2, second["voice"]);
    ASSERT_EQ(2u, second["lines"].size());
    EXPECT_EQ("dwa", second["lines"][0]["words"][0]["text"]);
    EXPECT_EQ(30 * 50 + 10 * 100 - 100, second["lines"][1]["words"][0]["startMs"]);
    EXPECT_EQ(69.0, second["lines"][1]["notes"][0]["pitch"]);

    // A song that cannot be read: the reason, by line, and a failing status.
    r = Render({"--song", WriteSong("bad_bpm", "#TITLE:x\n#BPM:0\n: 0 1 0 a\n"), "--json"});
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find("line 2: #BPM 0")) << r.err;
}

TEST(KaraokeRender, SkinProblemsAreErrorsNamingThePath) {
    const std::string song = WriteSong("skin_song", "#BPM:150\n: 0 4 2 a\nE\n");
    const std::string out = WorkDir() + "/skin_out";
    Result r = Render({"--song", song, "--skin", "/nonexistent/skin", "--out", out});
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find("/nonexistent/skin")) << r.err;
    // An imageset whose image file is missing.
    const std::string broken = test_files::TempDir("broken_skin");
    const std::vector<uint8_t> imageset = test_files::Read(Skin() + "/renderer.imageset");
    test_files::Write(broken + "/renderer.imageset", imageset);
    r = Render({"--song", song, "--skin", broken, "--out", out});
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find(broken + "/renderer.png")) << r.err;
    // Not XML.
    test_files::WriteText(broken + "/renderer.imageset", "<Imageset Name=");
    r = Render({"--song", song, "--skin", broken, "--out", out});
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find(broken + "/renderer.imageset")) << r.err;
    // An image file, but no bar pieces.
    test_files::Write(broken + "/renderer.png", test_files::Read(Skin() + "/renderer.png"));
    test_files::WriteText(broken + "/renderer.imageset",
                          "<Imageset Name=\"Renderer\" Imagefile=\"renderer.png\">"
                          "<Image Name=\"GameBkg\" XPos=\"0\" YPos=\"0\" Width=\"8\" Height=\"8\"/></Imageset>");
    r = Render({"--song", song, "--skin", broken, "--out", out});
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find("WaveYellowL")) << r.err;
    EXPECT_EQ(0u, test_files::Read(out + "/game_sheet.png").size());  // no frames without bars
}

TEST(KaraokeRender, DefaultSkinFromAnywhereAndOutputFolders) {
    const std::string song = WriteSong("anywhere", "#BPM:150\n: 0 4 2 a\nE\n");
    const std::string out = WorkDir() + "/new/nested/folders";
    // Run from / with no --skin: the skin is found from the program's place.
    Result r = Render({"--song", song, "--out", out, "--mode", "game", "--every", "0", "--shots", "100"}, "/");
    ASSERT_EQ(0, r.status) << r.err;
    int w = 0, h = 0;
    ASSERT_TRUE(PngSize(out + "/game_shot_100.png", &w, &h));
    EXPECT_EQ(640, w);
    EXPECT_EQ(230, h);
    EXPECT_TRUE(PngSize(out + "/game_sheet.png", &w, &h));
    // An output below a file cannot be made.
    test_files::WriteText(WorkDir() + "/a_file", "x");
    r = Render({"--song", song, "--out", WorkDir() + "/a_file/sub"});
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find(WorkDir() + "/a_file")) << r.err;
    // Bad options say which and why.
    r = Render({"--song", song, "--fps", "fast"});
    EXPECT_EQ(2, r.status);
    EXPECT_NE(std::string::npos, r.err.find("--fps")) << r.err;
    r = Render({"--song", song, "--colour", "red"});
    EXPECT_EQ(2, r.status);
    EXPECT_NE(std::string::npos, r.err.find("--colour")) << r.err;
}

TEST(KaraokeRender, OtherWindowSizes) {
    const std::string song = WriteSong("sizes", "#BPM:150\n: 0 4 2 a\n: 4 4 7 b\nE\n");
    const std::string out = WorkDir() + "/sizes";
    const Result r = Render({"--song", song, "--out", out, "--width", "960", "--height", "300", "--every", "0",
                             "--sheet", "3", "--shots", "300", "--skin", Skin()});
    ASSERT_EQ(0, r.status) << r.err;
    int w = 0, h = 0;
    for (const char* mode : {"lyrics", "game"}) {
        ASSERT_TRUE(PngSize(out + "/" + mode + "_shot_300.png", &w, &h)) << mode;
        EXPECT_EQ(960, w);
        EXPECT_EQ(300, h);
        ASSERT_TRUE(PngSize(out + "/" + mode + "_sheet.png", &w, &h)) << mode;
        EXPECT_EQ(3 * 480, w);
    }
    EXPECT_EQ(2, Render({"--song", song, "--width", "100"}).status);
}

TEST(KaraokeRender, LongSongsNeedAnOptionAndProgressGoesToTheLog) {
    const std::string song = WriteSong("long", "#BPM:100\n#GAP:3700000\n: 0 4 0 late\nE\n");
    Result r = Render({"--song", song, "--out", WorkDir() + "/long"});
    EXPECT_EQ(2, r.status);
    EXPECT_NE(std::string::npos, r.err.find("--allow-long")) << r.err;
    r = Render({"--song", song, "--out", WorkDir() + "/long", "--start", "3699000", "--duration", "1500", "--every", "0",
                "--sheet", "0", "--skin", Skin()});
    ASSERT_EQ(0, r.status) << r.err;
    // Not a terminal: plain lines, the last of each mode saying it is done.
    EXPECT_NE(std::string::npos, r.err.find("lyrics: 100% (0:01 of 0:01)")) << r.err;
    EXPECT_NE(std::string::npos, r.err.find("game: 100%")) << r.err;
    EXPECT_EQ(std::string::npos, r.err.find('\r'));
    EXPECT_NE(std::string::npos, r.out.find("frames per second")) << r.out;
}

// Bright pixels in rows [top, bottom) of a picture.
int BrightPixels(const std::string& path, int top, int bottom) {
    const std::vector<uint8_t> bytes = test_files::Read(path);
    int w = 0, h = 0;
    uint8_t* rgba = stb::LoadRgba(bytes.data(), int(bytes.size()), &w, &h);
    if (!rgba) return -1;
    int bright = 0;
    for (int y = std::max(0, top); y < std::min(h, bottom); ++y)
        for (int x = 0; x < w; ++x) {
            const uint8_t* p = rgba + (size_t(y) * size_t(w) + size_t(x)) * 4;
            bright += std::max({p[0], p[1], p[2]}) > 128;
        }
    stb::Free(rgba);
    return bright;
}

TEST(KaraokeRender, LinesOfFreestyleOrRapShowTheirWords) {
    // Line 0 (even, upper row) sung, line 1 (odd, lower row) freestyle, line 2 rap.
    const std::string song = WriteSong("unpitched", "#BPM:150\n: 0 8 2 Sung\n- 10\nF 12 10 0 WHISPER\n- 24\n"
                                                    "R 26 10 0 RAPPED\nE\n");
    const std::string out = WorkDir() + "/unpitched";
    const Result r = Render({"--song", song, "--out", out, "--mode", "lyrics", "--every", "0", "--sheet", "0",
                             "--shots", "1700,3100", "--skin", Skin()});
    ASSERT_EQ(0, r.status) << r.err;
    // The lyric rows lie below the 87-row pitch area that starts at row 77.
    const int upper = 77 + 87, lower = upper + 30;
    EXPECT_GT(BrightPixels(out + "/lyrics_shot_1700.png", lower, lower + 30), 100);  // WHISPER
    EXPECT_GT(BrightPixels(out + "/lyrics_shot_3100.png", upper, upper + 30), 100);  // RAPPED
}

// ---- videos

bool HaveFfmpeg() { return !player::FindProgram("ffmpeg").empty() && !player::FindProgram("ffprobe").empty(); }

Json Probe(const std::string& path) {
    const Result r = RunProgram({"ffprobe", "-v", "error", "-show_entries", "stream=codec_type,codec_name,duration,width,height",
                                 "-of", "json", path});
    return r.status == 0 ? Json::parse(r.out) : Json();
}

// The sound of a video, mono at 44100 Hz.
std::vector<int16_t> SoundOf(const std::string& path) {
    const std::string raw = WorkDir() + "/sound.raw";
    const Result r = RunProgram({"ffmpeg", "-v", "error", "-y", "-i", path, "-f", "s16le", "-ac", "1", "-ar", "44100", raw});
    std::vector<int16_t> samples;
    if (r.status != 0) return samples;
    const std::vector<uint8_t> b = test_files::Read(raw);
    for (size_t i = 0; i + 1 < b.size(); i += 2) samples.push_back(int16_t(b[i] | b[i + 1] << 8));
    return samples;
}

// One video stream and one audio stream, both `seconds` long.
void ExpectStreams(const std::string& path, int width, int height, double seconds) {
    const Json probe = Probe(path);
    ASSERT_TRUE(probe.contains("streams")) << path;
    bool video = false, audio = false;
    for (const Json& s : probe["streams"]) {
        const double duration = std::stod(s.value("duration", "0"));
        if (s["codec_type"] == "video") {
            video = true;
            EXPECT_EQ("h264", s["codec_name"]);
            EXPECT_EQ(width, s["width"]);
            EXPECT_EQ(height, s["height"]);
        } else if (s["codec_type"] == "audio") {
            audio = true;
            EXPECT_EQ("aac", s["codec_name"]);
        }
        EXPECT_NEAR(seconds, duration, 0.05) << path << " " << s.dump();
    }
    EXPECT_TRUE(video && audio) << probe.dump();
}

TEST(KaraokeVideo, GuideMelodyVideosOfTheSongsLength) {
    ASSERT_TRUE(HaveFfmpeg()) << "ffmpeg is not installed (./run setup installs it)";
    // BPM 150: 100 ms a beat.  Notes at 0.5-0.9 s (C4+2), 1.2-1.8 s (C4+9), 2.2-2.6 s (C4-5);
    // the song lasts to 2.6 s + 2 s.
    const std::string song = WriteSong("video", "#BPM:150\n#GAP:500\n: 0 4 2 a\n* 7 6 9 b\n- 14\n: 17 4 -5 c\nE\n");
    const std::string out = WorkDir() + "/video";
    const Result r = Render({"--song", song, "--out", out, "--video", "--skin", Skin()});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_NE(std::string::npos, r.out.find("guide melody")) << r.out;
    // 4600 ms in frames of 33 ms: 140 frames, 4.62 s.
    const double seconds = (4600 / 33 + 1) * 0.033;
    for (const char* mode : {"lyrics", "game"}) {
        const std::string path = out + "/" + mode + ".mp4";
        ExpectStreams(path, 640, 230, seconds);
        // Each note sounds at its pitch while its bar is sung.
        const std::vector<int16_t> sound = SoundOf(path);
        ASSERT_GT(sound.size(), size_t(4 * 44100)) << path;
        struct Note {
            double start, end, midi;
        } notes[] = {{0.5, 0.9, 62}, {1.2, 1.8, 69}, {2.2, 2.6, 55}};
        for (const Note& n : notes) {
            const double own = audio_analysis::Strength(sound, 44100, n.start + 0.1, 0.2, audio_analysis::Frequency(n.midi));
            EXPECT_GT(own, 0.1) << mode << " " << n.midi;
            for (const Note& other : notes)
                if (other.midi != n.midi) {
                    EXPECT_LT(audio_analysis::Strength(sound, 44100, n.start + 0.1, 0.2, audio_analysis::Frequency(other.midi)),
                              own / 4);
                }
        }
        EXPECT_LT(audio_analysis::Loudness(sound, 44100, 1.0, 0.1), 0.01) << mode;  // between notes
        EXPECT_LT(audio_analysis::Loudness(sound, 44100, 3.2, 1.0), 0.01) << mode;  // after the last
    }
}

TEST(KaraokeVideo, TheSongsOwnAudioFromItsStart) {
    ASSERT_TRUE(HaveFfmpeg()) << "ffmpeg is not installed (./run setup installs it)";
    // The song's audio: 880 Hz for 3 s, then 440 Hz to 5 s.
    const std::string dir = test_files::TempDir("own_audio");
    std::vector<int16_t> samples(size_t(5 * 44100));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = int16_t(12000 * std::sin(2 * 3.14159265358979 * (i < 3 * 44100 ? 880 : 440) * double(i) / 44100));
    ASSERT_TRUE(player::WriteWav(dir + "/Track.WAV", samples, 44100));
    // #START 2 s; notes at 2.5-2.9 s and 3.5-3.9 s, so the song ends at 5.9 s.
    const std::string song = dir + "/song.txt";
    test_files::WriteText(song, "#TITLE:Own\n#MP3:track.wav\n#START:2\n#BPM:150\n#GAP:2500\n: 0 4 0 a\n: 10 4 0 b\nE\n");
    const Result r = Render({"--song", song, "--out", dir + "/out", "--video", "--mode", "game", "--skin", Skin()});
    ASSERT_EQ(0, r.status) << r.err;
    EXPECT_NE(std::string::npos, r.out.find(dir + "/Track.WAV")) << r.out;
    const double seconds = (3900 / 33 + 1) * 0.033;  // from 2000 to 5900 ms
    ExpectStreams(dir + "/out/game.mp4", 640, 230, seconds);
    EXPECT_EQ(0u, test_files::Read(dir + "/out/lyrics.mp4").size());
    const std::vector<int16_t> sound = SoundOf(dir + "/out/game.mp4");
    // Video time 0.5 s is audio time 2.5 s (880 Hz), 1.5 s is 3.5 s (440 Hz);
    // after the audio file ends (3 s in), silence.
    EXPECT_GT(audio_analysis::Strength(sound, 44100, 0.4, 0.2, 880), 0.2);
    EXPECT_LT(audio_analysis::Strength(sound, 44100, 0.4, 0.2, 440), 0.05);
    EXPECT_GT(audio_analysis::Strength(sound, 44100, 1.4, 0.2, 440), 0.2);
    EXPECT_LT(audio_analysis::Strength(sound, 44100, 1.4, 0.2, 880), 0.05);
    EXPECT_LT(audio_analysis::Loudness(sound, 44100, 3.2, 0.5), 0.01);
}

}  // namespace
