// text_encoding_iconv.cpp - text conversion through iconv (Linux and other POSIX systems).
#include <iconv.h>

#include <cerrno>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "text_encoding.h"

namespace ultrastar {

namespace {

// An open converter from `from` to `to`, in its initial state; converters are
// kept for the life of the program (opening one costs more than most conversions).
iconv_t Converter(const char* from, const char* to) {
    // Never destroyed, so that the converters stay reachable until the very end.
    static auto* open = new std::map<std::pair<std::string, std::string>, iconv_t>();
    const auto key = std::make_pair(std::string(from), std::string(to));
    auto it = open->find(key);
    if (it == open->end()) {
        const iconv_t cd = iconv_open(to, from);
        if (cd == reinterpret_cast<iconv_t>(-1)) return cd;
        it = open->emplace(key, cd).first;
    }
    iconv(it->second, nullptr, nullptr, nullptr, nullptr);
    return it->second;
}

// Runs `in` through iconv from `from` to `to`.  A byte sequence that `from` does
// not define (or that the input cuts short) fails a strict conversion; a lenient
// one appends `replacement` and goes on at the next `step` bytes.
bool Convert(const char* from, const char* to, const std::string& in, bool strict, const std::string& replacement,
             size_t step, std::string* out) {
    out->clear();
    const iconv_t cd = Converter(from, to);
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    std::vector<char> input(in.begin(), in.end());
    char* inAt = input.data();
    size_t inLeft = input.size();
    char buffer[16384];
    bool ok = true;
    while (inLeft > 0) {
        char* outAt = buffer;
        size_t outLeft = sizeof buffer;
        const size_t result = iconv(cd, &inAt, &inLeft, &outAt, &outLeft);
        out->append(buffer, size_t(outAt - buffer));
        if (result != size_t(-1)) continue;
        if (errno == E2BIG) continue;
        if ((errno == EILSEQ || errno == EINVAL) && !strict) {
            out->append(replacement);
            const size_t skip = inLeft < step ? inLeft : step;
            inAt += skip;
            inLeft -= skip;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);  // back to the initial shift state
            continue;
        }
        ok = false;
        break;
    }
    if (ok) {
        char* outAt = buffer;
        size_t outLeft = sizeof buffer;
        iconv(cd, nullptr, nullptr, &outAt, &outLeft);
        out->append(buffer, size_t(outAt - buffer));
    }
    return ok;
}

}  // namespace

bool DecodeText(const std::string& bytes, const TextEncoding& encoding, bool strict, std::u16string* out) {
    out->clear();
    const size_t unit = encoding.codePage == 1200 || encoding.codePage == 1201 ? 2 : 1;
    std::string utf16;
    if (!Convert(encoding.iconvName.c_str(), "UTF-16LE", bytes, strict, std::string("\xFD\xFF", 2), unit, &utf16))
        return false;
    out->reserve(utf16.size() / 2);
    for (size_t i = 0; i + 1 < utf16.size(); i += 2)
        out->push_back(char16_t(uint8_t(utf16[i]) | (uint8_t(utf16[i + 1]) << 8)));
    return true;
}

std::string EncodeUtf8(const std::u16string& text) {
    std::string utf16;
    utf16.reserve(text.size() * 2);
    for (char16_t c : text) {
        utf16 += char(c & 0xFF);
        utf16 += char(c >> 8);
    }
    std::string out;
    Convert("UTF-16LE", "UTF-8", utf16, false, "\xEF\xBF\xBD", 2, &out);
    return out;
}

}  // namespace ultrastar
