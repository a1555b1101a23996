// imageset.cpp - parsing imageset files with TinyXML into the registry.
#include "imaging/imageset.h"

#include <tinyxml.h>

#include <cctype>
#include <cstdint>
#include <vector>

#include "platform/platform.h"

namespace {

std::string AttributeOrEmpty(const TiXmlElement* element, const char* name) {
    const char* value = element->Attribute(name);
    return value ? std::string(value) : std::string();
}

int32_t IntAttribute(const TiXmlElement* element, const char* name) {
    const char* value = element->Attribute(name);
    return value ? ReadAtol(value) : 0;
}

bool StartsWith(const std::string& text, size_t at, const char* prefix) {
    return text.compare(at, std::char_traits<char>::length(prefix), prefix) == 0;
}

}  // namespace

int32_t ReadAtol(const char* text) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    int64_t value = 0;
    while (*p >= '0' && *p <= '9') {
        value = value * 10 + (*p++ - '0');
        if (value > int64_t(INT32_MAX) + 1) value = int64_t(INT32_MAX) + 1;
    }
    if (negative) value = -value;
    if (value > INT32_MAX) value = INT32_MAX;
    return int32_t(value);
}

int XmlNestingDepth(const std::string& text) {
    int depth = 0, deepest = 0;
    size_t at = 0;
    while ((at = text.find('<', at)) != std::string::npos) {
        if (StartsWith(text, at, "<!--")) {
            at = text.find("-->", at + 4);
            if (at == std::string::npos) return -1;
            at += 3;
        } else if (StartsWith(text, at, "<![CDATA[")) {
            at = text.find("]]>", at + 9);
            if (at == std::string::npos) return -1;
            at += 3;
        } else if (StartsWith(text, at, "<?") || StartsWith(text, at, "<!")) {
            at = text.find('>', at + 2);
            if (at == std::string::npos) return -1;
            ++at;
        } else if (StartsWith(text, at, "</")) {
            if (depth > 0) --depth;
            at = text.find('>', at + 2);
            if (at == std::string::npos) return -1;
            ++at;
        } else {
            // An opening tag; quoted attribute values may hold '>'.
            size_t end = at + 1;
            char quote = 0;
            for (; end < text.size(); ++end) {
                const char c = text[end];
                if (quote) {
                    if (c == quote) quote = 0;
                } else if (c == '"' || c == '\'') {
                    quote = c;
                } else if (c == '>') {
                    break;
                }
            }
            if (end >= text.size()) return -1;
            if (text[end - 1] != '/') {
                ++depth;
                if (depth > deepest) deepest = depth;
            }
            at = end + 1;
        }
    }
    return deepest;
}

bool ParseImagesetText(ImagesetRegistry* registry, const std::string& raw, std::string* parsedName) {
    if (!registry || raw.size() > kMaxImagesetFileBytes) return false;
    const int depth = XmlNestingDepth(raw);
    if (depth < 0 || depth > kMaxImagesetNesting) return false;
    // Line ends are normalised as the parser's own file loading does.
    std::string text;
    text.reserve(raw.size());
    for (size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '\r') {
            text += '\n';
            if (i + 1 < raw.size() && raw[i + 1] == '\n') ++i;
        } else {
            text += raw[i];
        }
    }
    // The parser steps over a whole UTF-8 sequence (up to 4 bytes) before it looks
    // for the text's end, so a text ending inside a character would be read past
    // its terminating zero: zeros behind it keep every such step inside the text.
    text.append(4, '\0');
    TiXmlDocument document;
    document.Parse(text.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    if (document.Error()) return false;

    const TiXmlElement* imageset = document.FirstChildElement("Imageset");
    if (!imageset) return false;
    const std::string name = AttributeOrEmpty(imageset, "Name");
    const std::string imageFile = AttributeOrEmpty(imageset, "Imagefile");
    if (name.empty()) return false;

    registry->imagesets.erase(name);
    ImageMap images;
    for (const TiXmlElement* image = imageset->FirstChildElement("Image"); image;
         image = image->NextSiblingElement("Image")) {
        ImageRect rect;
        rect.x = IntAttribute(image, "XPos");
        rect.y = IntAttribute(image, "YPos");
        rect.width = IntAttribute(image, "Width");
        rect.height = IntAttribute(image, "Height");
        images.emplace(AttributeOrEmpty(image, "Name"), rect);  // the first of a name counts
    }
    registry->imagesets[name] = std::move(images);
    registry->imageFiles[name] = imageFile;
    if (parsedName) *parsedName = name;
    return true;
}

bool ParseImageset(ImagesetRegistry* registry, const char* path, std::string* name) {
    std::vector<uint8_t> file;
    if (!path || !platform::ReadWholeFile(path, kMaxImagesetFileBytes, &file) || file.empty()) return false;
    return ParseImagesetText(registry, std::string(file.begin(), file.end()), name);
}

ImageRect FindImageRect(const ImagesetRegistry& registry, const std::string& imageset, const std::string& image) {
    const auto set = registry.imagesets.find(imageset);
    if (set == registry.imagesets.end()) return ImageRect();
    const auto found = set->second.find(image);
    return found == set->second.end() ? ImageRect() : found->second;
}

std::string FindImageFile(const ImagesetRegistry& registry, const std::string& imageset) {
    const auto found = registry.imageFiles.find(imageset);
    return found == registry.imageFiles.end() ? std::string() : found->second;
}
