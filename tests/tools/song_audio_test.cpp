// The sound of the videos: the guide melody (each note at its pitch, in time),
// the WAV file it is written as, and finding the song's own audio file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "audio_analysis.h"
#include "song_audio.h"
#include "song_files.h"
#include "test_files.h"
#include "video_encoder.h"

namespace {

using audio_analysis::Frequency;
using audio_analysis::Loudness;
using audio_analysis::Strength;

constexpr int kRate = player::kGuideSampleRate;

TEST(GuideMelody, EveryNoteSoundsAtItsPitchAndTime) {
    // BPM 150: 100 ms a beat.  Notes: C4+2 at 0.5-0.9 s, C4+9 at 1.2-1.8 s, a rap
    // note at 2.2 s, a freestyle note at 2.6 s, C4-5 at 3.0-3.4 s.
    // (Its own folder: the parser tests of another executable use song_files' folder.)
    const std::string path = test_files::TempDir("guide_song") + "/guide.txt";
    test_files::WriteText(path, "#BPM:150\n#GAP:500\n: 0 4 2 a\n* 7 6 9 b\n- 14\nR 17 2 0 c\nF 21 2 0 d\n"
                                ": 25 4 -5 e\nE\n");
    song_files::Loaded l;
    l.ok = ultrastar::Load(path, 1, &l.song, &l.error);
    ASSERT_TRUE(l.ok) << l.error;
    const std::vector<int16_t> s = player::SynthesiseGuideMelody(l.song, 0, 4000, kRate);
    ASSERT_EQ(size_t(4 * kRate), s.size());
    struct Note {
        double start, end, midi;
    } notes[] = {{0.5, 0.9, 62}, {1.2, 1.8, 69}, {3.0, 3.4, 55}};
    for (const Note& n : notes) {
        const double middle = (n.start + n.end) / 2 - 0.05;
        const double own = Strength(s, kRate, middle, 0.1, Frequency(n.midi));
        EXPECT_GT(own, 0.15) << n.midi;
        for (const Note& other : notes)
            if (other.midi != n.midi) {
                EXPECT_LT(Strength(s, kRate, middle, 0.1, Frequency(other.midi)), own / 5);
            }
        // It starts and stops with the note (rising in 15 ms, falling in the last 60 ms).
        EXPECT_LT(Loudness(s, kRate, n.start - 0.05, 0.05), 1e-4);
        EXPECT_GT(Loudness(s, kRate, n.start + 0.02, 0.02), 0.05);
        EXPECT_LT(Loudness(s, kRate, n.end + 0.001, 0.05), 1e-4);
    }
    // The rap note knocks at its start; the freestyle note is silent.
    EXPECT_GT(Loudness(s, kRate, 2.2, 0.03), 0.05);
    EXPECT_LT(Loudness(s, kRate, 2.32, 0.05), 0.01);
    EXPECT_LT(Loudness(s, kRate, 2.6, 0.2), 1e-4);
    // Samples never clip.
    EXPECT_LT(*std::max_element(s.begin(), s.end()), 32767);
    // From a later start, the same sound earlier in the samples.
    const std::vector<int16_t> later = player::SynthesiseGuideMelody(l.song, 1000, 2000, kRate);
    ASSERT_EQ(size_t(kRate), later.size());
    EXPECT_NEAR(Strength(later, kRate, 0.45, 0.1, Frequency(69)), Strength(s, kRate, 1.45, 0.1, Frequency(69)), 0.01);
}

TEST(GuideMelody, WavFileHoldsTheSamples) {
    const std::string dir = test_files::TempDir("guide_wav");
    std::vector<int16_t> samples;
    for (int i = 0; i < 1001; ++i) samples.push_back(int16_t(i * 37 - 20000));
    ASSERT_TRUE(player::WriteWav(dir + "/a.wav", samples, 22050));
    const std::vector<uint8_t> b = test_files::Read(dir + "/a.wav");
    ASSERT_EQ(44u + samples.size() * 2, b.size());
    auto u32 = [&](size_t at) { return uint32_t(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24); };
    auto u16 = [&](size_t at) { return uint16_t(b[at] | b[at + 1] << 8); };
    EXPECT_EQ(0, std::memcmp(b.data(), "RIFF", 4));
    EXPECT_EQ(b.size() - 8, u32(4));
    EXPECT_EQ(0, std::memcmp(b.data() + 8, "WAVEfmt ", 8));
    EXPECT_EQ(1, u16(20));  // PCM
    EXPECT_EQ(1, u16(22));  // mono
    EXPECT_EQ(22050u, u32(24));
    EXPECT_EQ(44100u, u32(28));
    EXPECT_EQ(16, u16(34));
    EXPECT_EQ(samples.size() * 2, u32(40));
    for (size_t i = 0; i < samples.size(); ++i) ASSERT_EQ(samples[i], int16_t(u16(44 + i * 2)));
    EXPECT_FALSE(player::WriteWav("/nonexistent/dir/a.wav", samples, 22050));
}

TEST(SongAudio, TheSongsOwnFileIsFound) {
    const std::string dir = test_files::TempDir("song_audio");
    test_files::WriteText(dir + "/Track One.MP3", "not really audio");
    test_files::WriteText(dir + "/other.ogg", "x");
    auto song = [&](const std::string& header) {
        const std::string path = dir + "/song.txt";
        test_files::WriteText(path, header + "#BPM:100\n: 0 1 0 a\nE\n");
        ultrastar::Song s;
        std::string error;
        EXPECT_TRUE(ultrastar::Load(path, 1, &s, &error)) << error;
        return s;
    };
    std::string note;
    EXPECT_EQ(dir + "/Track One.MP3", player::FindAudioFile(song("#MP3:Track One.MP3\n"), &note));
    EXPECT_EQ(dir + "/Track One.MP3", player::FindAudioFile(song("#MP3:track one.mp3\n"), &note));  // another case
    EXPECT_EQ(dir + "/other.ogg", player::FindAudioFile(song("#MP3:Track One.MP3\n#AUDIO:other.ogg\n"), &note));
    // #AUDIO is meant even when it is missing.
    EXPECT_EQ("", player::FindAudioFile(song("#MP3:Track One.MP3\n#AUDIO:gone.ogg\n"), &note));
    EXPECT_NE(std::string::npos, note.find("gone.ogg"));
    EXPECT_EQ("", player::FindAudioFile(song("#MP3:/etc/passwd\n"), &note));
    EXPECT_NE(std::string::npos, note.find("absolute"));
    EXPECT_EQ("", player::FindAudioFile(song(""), &note));
    EXPECT_EQ("", note);
}

TEST(SongAudio, FfmpegCommandLine) {
    player::VideoSettings s;
    s.path = "out dir/game.mp4";
    s.width = 641;
    s.height = 230;
    s.frameMs = 33;
    s.audioPath = "a b.wav";
    s.audioStartSeconds = 2.5;
    s.durationSeconds = 44.88;
    const std::vector<std::string> c = player::VideoEncoder::Command("/usr/bin/ffmpeg", s);
    auto after = [&](const std::string& flag) {
        const auto it = std::find(c.begin(), c.end(), flag);
        return it == c.end() || it + 1 == c.end() ? std::string() : *(it + 1);
    };
    EXPECT_EQ("/usr/bin/ffmpeg", c.front());
    EXPECT_EQ("641x230", after("-s"));
    EXPECT_EQ("1000/33", after("-framerate"));
    EXPECT_EQ("2.500", after("-ss"));
    EXPECT_EQ("44.880", after("-t"));
    EXPECT_EQ("libx264", after("-c:v"));
    EXPECT_EQ("aac", after("-c:a"));
    EXPECT_EQ("out dir/game.mp4", c.back());  // one argument, no shell in between
    EXPECT_NE(c.end(), std::find(c.begin(), c.end(), "a b.wav"));
    // From the start of the audio: no seek.
    s.audioStartSeconds = 0;
    const std::vector<std::string> fromStart = player::VideoEncoder::Command("ffmpeg", s);
    EXPECT_EQ(fromStart.end(), std::find(fromStart.begin(), fromStart.end(), "-ss"));
    EXPECT_EQ(c.size() - 2, fromStart.size());
}

}  // namespace
