// text_encoding.cpp - the names of the encodings the importer honours.
//
// The format's documentation names UTF-8, CP1252 and CP1250 for #ENCODING; real
// collections also carry the other Windows and DOS code pages, the ISO 8859
// family, KOI8 and the East Asian code pages, so every one that both iconv and
// Windows convert is known here.  Only names live here: the conversion is the
// platform's.
#include "text_encoding.h"

#include <cctype>
#include <cstdlib>

namespace ultrastar {

namespace {

struct CodePage {
    unsigned number;
    const char* name;       // canonical
    const char* iconvName;
};

// Code pages reached by number: "CP1250", "WINDOWS1250", "IBM850", "MS932".
const CodePage kNumbered[] = {
    {1250, "CP1250", "CP1250"}, {1251, "CP1251", "CP1251"}, {1252, "CP1252", "CP1252"},
    {1253, "CP1253", "CP1253"}, {1254, "CP1254", "CP1254"}, {1255, "CP1255", "CP1255"},
    {1256, "CP1256", "CP1256"}, {1257, "CP1257", "CP1257"}, {1258, "CP1258", "CP1258"},
    {437, "CP437", "CP437"},    {737, "CP737", "CP737"},    {775, "CP775", "CP775"},
    {850, "CP850", "CP850"},    {852, "CP852", "CP852"},    {855, "CP855", "CP855"},
    {857, "CP857", "CP857"},    {860, "CP860", "CP860"},    {861, "CP861", "CP861"},
    {862, "CP862", "CP862"},    {863, "CP863", "CP863"},    {864, "CP864", "CP864"},
    {865, "CP865", "CP865"},    {866, "CP866", "CP866"},    {869, "CP869", "CP869"},
    {874, "CP874", "CP874"},    {932, "CP932", "CP932"},    {936, "CP936", "CP936"},
    {949, "CP949", "CP949"},    {950, "CP950", "CP950"},
};

// Code pages reached by name, after normalising it.
struct Alias {
    const char* alias;
    unsigned number;
    const char* name;
    const char* iconvName;
};
const Alias kAliases[] = {
    {"UTF8", 65001, "UTF-8", "UTF-8"},
    {"ISO88591", 28591, "ISO-8859-1", "ISO-8859-1"},   {"LATIN1", 28591, "ISO-8859-1", "ISO-8859-1"},
    {"ISO88592", 28592, "ISO-8859-2", "ISO-8859-2"},   {"LATIN2", 28592, "ISO-8859-2", "ISO-8859-2"},
    {"ISO88593", 28593, "ISO-8859-3", "ISO-8859-3"},   {"LATIN3", 28593, "ISO-8859-3", "ISO-8859-3"},
    {"ISO88594", 28594, "ISO-8859-4", "ISO-8859-4"},   {"LATIN4", 28594, "ISO-8859-4", "ISO-8859-4"},
    {"ISO88595", 28595, "ISO-8859-5", "ISO-8859-5"},   {"ISO88596", 28596, "ISO-8859-6", "ISO-8859-6"},
    {"ISO88597", 28597, "ISO-8859-7", "ISO-8859-7"},   {"ISO88598", 28598, "ISO-8859-8", "ISO-8859-8"},
    {"ISO88599", 28599, "ISO-8859-9", "ISO-8859-9"},   {"LATIN5", 28599, "ISO-8859-9", "ISO-8859-9"},
    {"ISO885913", 28603, "ISO-8859-13", "ISO-8859-13"}, {"LATIN7", 28603, "ISO-8859-13", "ISO-8859-13"},
    {"ISO885915", 28605, "ISO-8859-15", "ISO-8859-15"}, {"LATIN9", 28605, "ISO-8859-15", "ISO-8859-15"},
    {"KOI8R", 20866, "KOI8-R", "KOI8-R"},              {"KOI8U", 21866, "KOI8-U", "KOI8-U"},
    {"SHIFTJIS", 932, "CP932", "CP932"},               {"SJIS", 932, "CP932", "CP932"},
    {"WINDOWS31J", 932, "CP932", "CP932"},             {"EUCJP", 20932, "EUC-JP", "EUC-JP"},
    {"GBK", 936, "CP936", "CP936"},                    {"GB2312", 936, "CP936", "CP936"},
    {"GB18030", 54936, "GB18030", "GB18030"},          {"EUCKR", 949, "CP949", "CP949"},
    {"UHC", 949, "CP949", "CP949"},                    {"BIG5", 950, "CP950", "CP950"},
    {"TIS620", 874, "CP874", "CP874"},                 {"MACINTOSH", 10000, "MACINTOSH", "MACINTOSH"},
    {"MACROMAN", 10000, "MACINTOSH", "MACINTOSH"},
};

std::string Normalise(const std::string& value) {
    std::string n;
    for (char c : value) {
        if (c == '-' || c == '_' || c == '.' || c == ' ' || c == '\t') continue;
        n += char(std::toupper(static_cast<unsigned char>(c)));
    }
    return n;
}

}  // namespace

bool FindTextEncoding(const std::string& value, TextEncoding* encoding) {
    const std::string n = Normalise(value);
    for (const Alias& a : kAliases)
        if (n == a.alias) {
            *encoding = {a.name, a.number, a.iconvName};
            return true;
        }
    for (const char* prefix : {"CP", "WINDOWS", "WIN", "IBM", "MS"}) {
        const std::string p = prefix;
        if (n.size() <= p.size() || n.compare(0, p.size(), p) != 0) continue;
        const std::string digits = n.substr(p.size());
        if (digits.size() > 5 || digits.find_first_not_of("0123456789") != std::string::npos) continue;
        const unsigned number = unsigned(std::strtoul(digits.c_str(), nullptr, 10));
        for (const CodePage& c : kNumbered)
            if (c.number == number) {
                *encoding = {c.name, c.number, c.iconvName};
                return true;
            }
    }
    return false;
}

TextEncoding Utf8Encoding() { return {"UTF-8", 65001, "UTF-8"}; }

TextEncoding Utf16Encoding(bool bigEndian) {
    return bigEndian ? TextEncoding{"UTF-16BE", 1201, "UTF-16BE"} : TextEncoding{"UTF-16LE", 1200, "UTF-16LE"};
}

TextEncoding Cp1252Encoding() { return {"CP1252", 1252, "CP1252"}; }

}  // namespace ultrastar
