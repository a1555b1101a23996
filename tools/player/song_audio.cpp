// song_audio.cpp - see song_audio.h.
#include "song_audio.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace player {

namespace {

bool IsFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

std::string FindAudioFile(const ultrastar::Song& song, std::string* note) {
    note->clear();
    const std::string name = song.AudioFile();
    if (name.empty()) return std::string();
    if (name[0] == '/' || name[0] == '\\' || (name.size() > 1 && name[1] == ':')) {
        *note = "the song's audio file \"" + name + "\" is an absolute path, which songs may not use";
        return std::string();
    }
    const size_t slash = song.sourcePath.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : song.sourcePath.substr(0, slash);
    std::string relative = name;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    const std::string path = folder + "/" + relative;
    if (IsFile(path)) return path;
    if (relative.find('/') == std::string::npos) {
        if (DIR* d = opendir(folder.c_str())) {
            std::string found;
            while (dirent* entry = readdir(d))
                if (strcasecmp(entry->d_name, relative.c_str()) == 0 && IsFile(folder + "/" + entry->d_name)) {
                    found = folder + "/" + entry->d_name;
                    break;
                }
            closedir(d);
            if (!found.empty()) return found;
        }
    }
    *note = "the song's audio file " + path + " is not there";
    return std::string();
}

std::vector<int16_t> SynthesiseGuideMelody(const ultrastar::Song& song, uint32_t fromMs, uint32_t toMs,
                                           int sampleRate) {
    const double pi = 3.14159265358979323846;
    const size_t count = toMs > fromMs ? size_t(uint64_t(toMs - fromMs) * uint64_t(sampleRate) / 1000) : 0;
    std::vector<float> mix(count, 0.0f);
    auto sampleAt = [&](uint32_t ms) {
        return ms <= fromMs ? int64_t(0) : int64_t(uint64_t(ms - fromMs) * uint64_t(sampleRate) / 1000);
    };
    for (const ultrastar::Line& line : song.lines)
        for (const ultrastar::Syllable& s : line.syllables) {
            if (s.endMs <= fromMs || s.startMs >= toMs) continue;
            const int64_t first = sampleAt(s.startMs), last = std::min<int64_t>(sampleAt(s.endMs), int64_t(count));
            // Time within the note, so that a note cut by fromMs sounds as it would have.
            const double offset = s.startMs < fromMs ? double(fromMs - s.startMs) / 1000.0 : 0.0;
            if (ultrastar::HasPitch(s.kind)) {
                const double frequency = 440.0 * std::pow(2.0, (s.pitch + 60 - 69) / 12.0);
                const double length = double(s.endMs - s.startMs) / 1000.0;
                const double release = std::min(0.06, length / 3.0);
                for (int64_t i = first; i < last; ++i) {
                    const double t = offset + double(i - first) / sampleRate;
                    // envelope: linear rise over 15 ms, linear fall over the last `release`
                    double envelope = std::min(1.0, t / 0.015);
                    if (length - t < release) envelope *= std::max(0.0, (length - t) / release);
                    const double phase = 2.0 * pi * frequency * t;
                    // a soft tone: the fundamental with a little of two overtones
                    const double tone = std::sin(phase) + 0.3 * std::sin(2 * phase) + 0.1 * std::sin(3 * phase);
                    mix[size_t(i)] += float(0.22 * envelope * tone);
                }
            } else if (s.kind == ultrastar::NoteKind::Rap || s.kind == ultrastar::NoteKind::GoldenRap) {
                // a knock: 160 Hz dying away over 80 ms
                const int64_t end = std::min<int64_t>(last, first + sampleRate * 8 / 100);
                for (int64_t i = first; i < end; ++i) {
                    const double t = offset + double(i - first) / sampleRate;
                    mix[size_t(i)] += float(0.3 * std::exp(-t / 0.02) * std::sin(2.0 * pi * 160.0 * t));
                }
            }
        }
    std::vector<int16_t> samples(count);
    for (size_t i = 0; i < count; ++i)
        samples[i] = int16_t(std::lround(std::clamp(mix[i], -1.0f, 1.0f) * 32767.0f));
    return samples;
}

bool WriteWav(const std::string& path, const std::vector<int16_t>& samples, int sampleRate) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const uint32_t dataBytes = uint32_t(samples.size() * 2);
    auto u32 = [&](uint32_t v) {
        const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
        std::fwrite(b, 1, 4, f);
    };
    auto u16 = [&](uint16_t v) {
        const uint8_t b[2] = {uint8_t(v), uint8_t(v >> 8)};
        std::fwrite(b, 1, 2, f);
    };
    // RIFF header, a PCM format chunk (1 channel, 16 bits), then the samples little-endian.
    std::fwrite("RIFF", 1, 4, f);
    u32(36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, f);
    u32(16);
    u16(1);
    u16(1);
    u32(uint32_t(sampleRate));
    u32(uint32_t(sampleRate) * 2);
    u16(2);
    u16(16);
    std::fwrite("data", 1, 4, f);
    u32(dataBytes);
    for (int16_t s : samples) u16(uint16_t(s));
    const bool ok = std::ferror(f) == 0;
    return std::fclose(f) == 0 && ok;
}

}  // namespace player
