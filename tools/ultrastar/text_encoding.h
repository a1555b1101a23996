// text_encoding.h - the text encodings of UltraStar files and their conversion to
// UTF-16, done by the platform's converter: iconv natively, MultiByteToWideChar
// and WideCharToMultiByte on Windows (text_encoding_iconv.cpp, text_encoding_win32.cpp).
//
// An encoding is known by the names an #ENCODING header uses for it, compared
// without case, '-', '_', '.' and spaces: "CP1250", "windows-1250", "cp-1250" and
// "Win1250" are one encoding.
#ifndef RENDERER_TOOLS_ULTRASTAR_TEXT_ENCODING_H
#define RENDERER_TOOLS_ULTRASTAR_TEXT_ENCODING_H

#include <string>

namespace ultrastar {

struct TextEncoding {
    std::string name;       // canonical name, as reports show it: "UTF-8", "CP1250", "ISO-8859-2"
    unsigned codePage = 0;  // the Windows code page
    std::string iconvName;  // the name iconv knows it by
};

// The encoding an #ENCODING value names; false when the name is not known.
bool FindTextEncoding(const std::string& value, TextEncoding* encoding);

TextEncoding Utf8Encoding();
TextEncoding Utf16Encoding(bool bigEndian);
TextEncoding Cp1252Encoding();

// Converts bytes in `encoding` to UTF-16.  Strict: false at the first byte
// sequence the encoding does not define.  Lenient: each such byte becomes
// U+FFFD and the conversion goes on; false only when the platform cannot
// convert from the encoding at all.
bool DecodeText(const std::string& bytes, const TextEncoding& encoding, bool strict, std::u16string* out);

// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string EncodeUtf8(const std::u16string& text);

}  // namespace ultrastar

#endif
