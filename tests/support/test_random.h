// test_random.h - a small seeded generator whose numbers are the same with every
// compiler and standard library (the standard distributions are not), so that the
// checksums of seeded tests are the same natively and in the Win32 build.
#ifndef RENDERER_TESTS_TEST_RANDOM_H
#define RENDERER_TESTS_TEST_RANDOM_H

#include <cstdint>

class TestRandom {
public:
    explicit TestRandom(uint64_t seed) : state_(seed) {}

    // SplitMix64: the state steps by the golden-ratio constant, the output is mixed.
    uint64_t Next64() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    uint32_t operator()() { return uint32_t(Next64() >> 32); }

    // lo..hi inclusive; the remainder's bias is far below anything a test notices.
    int Uniform(int lo, int hi) { return lo + int(Next64() % uint64_t(int64_t(hi) - lo + 1)); }
    uint8_t Byte() { return uint8_t(Next64() >> 56); }

private:
    uint64_t state_;
};

#endif
