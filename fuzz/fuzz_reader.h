// fuzz_reader.h - takes typed values from a fuzzer's input; past its end, zeros.
//
// Int, UInt and Float take a selector byte first: half of its values pick one of
// the numbers that break arithmetic (the ends of the range, zero, NaN, infinities,
// the silence threshold), the other half take the value itself from the input.
#ifndef RENDERER_FUZZ_FUZZ_READER_H
#define RENDERER_FUZZ_FUZZ_READER_H

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>

struct FuzzReader {
    const uint8_t* data;
    size_t size;
    size_t at = 0;
    template <typename T>
    T Take() {
        T v{};
        if (at + sizeof v <= size) std::memcpy(&v, data + at, sizeof v);
        at += sizeof v;
        return v;
    }
    bool Done() const { return at >= size; }

    int32_t Int() {
        static constexpr int32_t kSpecial[] = {0,          1,          -1,         2,          100,
                                               1000,       4096,       65535,      65536,      0x7FFF,
                                               -0x8000,    1 << 24,    -(1 << 24), 1 << 30,    INT32_MAX,
                                               INT32_MIN,  INT32_MAX - 1, INT32_MIN + 1};
        return Pick<int32_t>(kSpecial, sizeof kSpecial / sizeof kSpecial[0]);
    }
    uint32_t UInt() {
        static constexpr uint32_t kSpecial[] = {0,           1,          2,          500,        1000,
                                                4096,        0xFFFF,     0x10000,    0x7FFFFFFF, 0x80000000u,
                                                0xFFFFFFFEu, 0xFFFFFFFFu, 0xFFFFFE0Cu, 0xFFFFFC18u};
        return Pick<uint32_t>(kSpecial, sizeof kSpecial / sizeof kSpecial[0]);
    }
    float Float() {
        using L = std::numeric_limits<float>;
        static const float kSpecial[] = {0.0f,         -0.0f,        1.0f,          -1.0f,         0.5f,
                                         1e-8f,        -1e-8f,       1.0000001e-8f, 0.001f,        1000.0f,
                                         1e9f,         2147483648.0f, -2147483648.0f, 4294967296.0f, L::max(),
                                         -L::max(),    L::min(),     L::denorm_min(), L::infinity(), -L::infinity(),
                                         L::quiet_NaN(), -L::quiet_NaN()};
        return Pick<float>(kSpecial, sizeof kSpecial / sizeof kSpecial[0]);
    }

private:
    template <typename T>
    T Pick(const T* special, size_t count) {
        const uint8_t selector = Take<uint8_t>();
        if (selector < 128) return special[selector % count];
        return Take<T>();
    }
};

#endif
