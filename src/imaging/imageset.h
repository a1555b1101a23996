// imageset.h - the imageset skin file and the registry of what was parsed.
//
//   <Imageset Name="Renderer" Imagefile="skin.png">
//     <Image Name="GameBkg" XPos="0" YPos="0" Width="64" Height="87"/>
//     ...
//   </Imageset>
#ifndef RENDERER_IMAGING_IMAGESET_H
#define RENDERER_IMAGING_IMAGESET_H

#include <cstddef>
#include <map>
#include <string>

#include "imaging/image_rect.h"

// Orders keys by length first, then byte by byte as unsigned values.
struct LengthFirstLess {
    bool operator()(const std::string& a, const std::string& b) const {
        if (a.size() != b.size()) return a.size() < b.size();
        return a.compare(b) < 0;  // char_traits<char>::compare compares as unsigned char
    }
};

using ImageMap = std::map<std::string, ImageRect, LengthFirstLess>;

struct ImagesetRegistry {
    std::map<std::string, ImageMap, LengthFirstLess> imagesets;
    std::map<std::string, std::string, LengthFirstLess> imageFiles;
};

// Limits on an imageset file: its size, and how deeply its elements may nest
// (the XML parser recurses once per level).
constexpr size_t kMaxImagesetFileBytes = size_t(1) << 20;
constexpr int kMaxImagesetNesting = 64;

// Reads one imageset file into the registry; true when an imageset was registered
// (its name goes to `name` when given).  A missing, oversized, too deeply nested or
// malformed file changes nothing.
bool ParseImageset(ImagesetRegistry* registry, const char* path, std::string* name = nullptr);

// Parses imageset text already in memory (what ParseImageset does after reading).
bool ParseImagesetText(ImagesetRegistry* registry, const std::string& text, std::string* name = nullptr);

// The registered rectangle, or all zero.
ImageRect FindImageRect(const ImagesetRegistry& registry, const std::string& imageset, const std::string& image);

// The registered "Imagefile" value, or "".
std::string FindImageFile(const ImagesetRegistry& registry, const std::string& imageset);

// The deepest element nesting of an XML text, counted without parsing it; -1 when
// the text ends inside markup.
int XmlNestingDepth(const std::string& text);

// atol: leading white space, optional sign, decimal digits; no digits give 0.
// Saturates instead of overflowing.
int32_t ReadAtol(const char* text);

#endif
