// text_encoding_win32.cpp - text conversion through MultiByteToWideChar and
// WideCharToMultiByte (the Win32 demo host).
#include <windows.h>

#include <cstdint>

#include "text_encoding.h"

namespace ultrastar {

bool DecodeText(const std::string& bytes, const TextEncoding& encoding, bool strict, std::u16string* out) {
    out->clear();
    if (bytes.empty()) return true;
    if (encoding.codePage == 1200 || encoding.codePage == 1201) {
        // UTF-16 is Windows' own: the units are only put together in the file's byte order.
        const bool big = encoding.codePage == 1201;
        for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
            const uint8_t a = uint8_t(bytes[i]), b = uint8_t(bytes[i + 1]);
            out->push_back(char16_t(big ? (a << 8) | b : (b << 8) | a));
        }
        if (bytes.size() % 2) {
            if (strict) return false;
            out->push_back(u'\xFFFD');
        }
        return true;
    }
    if (bytes.size() > 0x7FFFFFFF) return false;
    const DWORD flags = strict ? MB_ERR_INVALID_CHARS : 0;
    const int size = MultiByteToWideChar(encoding.codePage, flags, bytes.data(), int(bytes.size()), nullptr, 0);
    if (size <= 0) return false;
    std::wstring wide(size_t(size), L'\0');
    if (MultiByteToWideChar(encoding.codePage, flags, bytes.data(), int(bytes.size()), &wide[0], size) != size)
        return false;
    out->assign(wide.begin(), wide.end());
    return true;
}

std::string EncodeUtf8(const std::u16string& text) {
    if (text.empty() || text.size() > 0x7FFFFFFF) return std::string();
    const std::wstring wide(text.begin(), text.end());
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    if (size <= 0) return std::string();
    std::string out(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), &out[0], size, nullptr, nullptr);
    return out;
}

}  // namespace ultrastar
