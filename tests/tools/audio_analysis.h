// audio_analysis.h - what a stretch of mono samples sounds like: the strength of
// one frequency in it (Goertzel) and its loudness.
#ifndef RENDERER_TESTS_TOOLS_AUDIO_ANALYSIS_H
#define RENDERER_TESTS_TOOLS_AUDIO_ANALYSIS_H

#include <cmath>
#include <cstdint>
#include <vector>

namespace audio_analysis {

// Amplitude of `frequency` in samples [first, first + count), 0 to about 1 for a
// full-scale sine.  Goertzel: s[n] = x[n] + 2 cos(w) s[n-1] - s[n-2],
// |X|^2 = s1^2 + s2^2 - 2 cos(w) s1 s2, amplitude = 2 |X| / count.
inline double Strength(const std::vector<int16_t>& samples, int rate, double seconds, double length,
                       double frequency) {
    const size_t first = size_t(seconds * rate), count = size_t(length * rate);
    if (first + count > samples.size() || count == 0) return -1.0;
    const double w = 2.0 * 3.14159265358979323846 * frequency / rate, c = 2.0 * std::cos(w);
    double s1 = 0, s2 = 0;
    for (size_t i = first; i < first + count; ++i) {
        const double s0 = samples[i] / 32768.0 + c * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    return 2.0 * std::sqrt(std::max(0.0, s1 * s1 + s2 * s2 - c * s1 * s2)) / double(count);
}

// Root mean square of samples [first, first + count), 0 to 1.
inline double Loudness(const std::vector<int16_t>& samples, int rate, double seconds, double length) {
    const size_t first = size_t(seconds * rate), count = size_t(length * rate);
    if (first + count > samples.size() || count == 0) return -1.0;
    double sum = 0;
    for (size_t i = first; i < first + count; ++i) sum += (samples[i] / 32768.0) * (samples[i] / 32768.0);
    return std::sqrt(sum / double(count));
}

// MIDI pitch to Hz.
inline double Frequency(double midi) { return 440.0 * std::pow(2.0, (midi - 69.0) / 12.0); }

}  // namespace audio_analysis

#endif
