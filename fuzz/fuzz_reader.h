// fuzz_reader.h - takes typed values from a fuzzer's input; past its end, zeros.
#ifndef RENDERER_FUZZ_FUZZ_READER_H
#define RENDERER_FUZZ_FUZZ_READER_H

#include <cstddef>
#include <cstdint>
#include <cstring>

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
};

#endif
