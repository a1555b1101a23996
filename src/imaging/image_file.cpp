// image_file.cpp - whole-file read, decode to RGBA, red/blue exchange into an owned buffer.
#include "imaging/image_file.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "imaging/stb_image_api.h"
#include "platform/platform.h"

namespace {

// The packaged decoder's view of a JPEG held in memory: bytes are read one at a
// time, a read past the end gives 0 and does not move, a skip may move past the end
// (which then reads as the end).
class JpegStream {
public:
    JpegStream(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool AtEnd() const { return at_ >= size_; }
    uint32_t Get8() { return at_ < size_ ? data_[at_++] : 0; }
    uint32_t Get16() {
        const uint32_t high = Get8();
        return (high << 8) | Get8();
    }
    void Skip(size_t n) { at_ = (at_ >= size_ || n >= size_ - at_) ? size_ : at_ + n; }
    // A marker where one must be: 0xFF, any number of fill bytes 0xFF, the marker
    // byte.  kNoMarker (0xFF) when the next byte is not 0xFF.
    uint32_t Marker() {
        uint32_t x = Get8();
        if (x != 0xFF) return kNoMarker;
        while (x == 0xFF) x = Get8();
        return x;
    }
    // The marker that ends entropy-coded data: the first 0xFF (after fill bytes)
    // followed by a byte other than 0; 0xFF 0x00 is a stuffed data byte.  Restart
    // markers inside the data are read over, as the decoder resets and reads on.
    // kNoMarker when the data runs to the end.
    uint32_t MarkerAfterEntropyData() {
        while (!AtEnd()) {
            if (Get8() != 0xFF) continue;
            uint32_t c = Get8();
            while (c == 0xFF) c = Get8();
            if (c != 0 && !(c >= 0xD0 && c <= 0xD7)) return c;
        }
        return kNoMarker;
    }
    static constexpr uint32_t kNoMarker = 0xFF;

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

enum class SegmentResult { kRead, kRefused, kDecoderStops };

// A marker segment that the decoder reads by itself (tables, restart interval,
// application data, comments), read the same way.  Huffman tables whose code
// counts add up to more than 256 symbols are refused: the packaged decoder writes
// past its tables for those.  A segment the decoder fails on ends the walk.
SegmentResult ReadMarkerSegment(JpegStream* in, uint32_t marker) {
    if (marker == 0xDD) {  // DRI: length 4, the interval
        if (in->Get16() != 4) return SegmentResult::kDecoderStops;
        in->Get16();
        return SegmentResult::kRead;
    }
    if (marker == 0xDB) {  // DQT: tables of a precision/id byte and 64 values of 8 or 16 bits
        int64_t length = int64_t(in->Get16()) - 2;
        while (length > 0) {
            const uint32_t q = in->Get8();
            if ((q >> 4) > 1 || (q & 15) > 3) return SegmentResult::kDecoderStops;
            in->Skip((q >> 4) ? 128 : 64);
            length -= (q >> 4) ? 129 : 65;
        }
        return length == 0 ? SegmentResult::kRead : SegmentResult::kDecoderStops;
    }
    if (marker == 0xC4) {  // DHT: tables of a class/id byte, 16 code counts and as many symbols
        int64_t length = int64_t(in->Get16()) - 2;
        while (length > 0) {
            const uint32_t q = in->Get8();
            if ((q >> 4) > 1 || (q & 15) > 3) return SegmentResult::kDecoderStops;
            uint32_t symbols = 0;
            for (int k = 0; k < 16; ++k) symbols += in->Get8();
            if (symbols > 256) return SegmentResult::kRefused;
            in->Skip(symbols);
            length -= int64_t(17 + symbols);
        }
        return length == 0 ? SegmentResult::kRead : SegmentResult::kDecoderStops;
    }
    if ((marker >= 0xE0 && marker <= 0xEF) || marker == 0xFE) {  // APPn, COM: skipped by their length
        const uint32_t length = in->Get16();
        if (length < 2) return SegmentResult::kDecoderStops;
        in->Skip(length - 2);
        return SegmentResult::kRead;
    }
    return SegmentResult::kDecoderStops;  // the decoder knows no other marker here
}

// Checks a JPEG before the decoder sees it, by walking its markers exactly as the
// packaged decoder does, so that every table it would read is looked at and nothing
// it skips is.  Refused:
//  - a progressive frame (SOF2) as the frame the decoder takes;
//  - Huffman tables (DHT) whose code counts add up to more than 256 symbols.
// Where the decoder would fail the walk ends and the file is left to the decoder,
// which fails cleanly.
//
// The decoder's walk:
//  - the start-of-image marker (0xFF, fill bytes 0xFF, 0xD8);
//  - header: marker segments until a frame header (SOF0, SOF1, SOF2); after each
//    segment it resynchronises on the next 0xFF, skipping whatever lies between;
//  - frame header, then markers without resynchronisation: a scan header (SOS) and
//    its entropy-coded data up to the first marker in it that is not a restart
//    (the decoder stops there, or fails); DNL; the segments above; end of image.
bool JpegIsAcceptable(const uint8_t* data, size_t size) {
    JpegStream in(data, size);
    if (in.Marker() != 0xD8) return true;  // not a JPEG: the decoder looks no further
    uint32_t marker = in.Marker();
    while (marker != 0xC0 && marker != 0xC1 && marker != 0xC2) {
        const SegmentResult result = ReadMarkerSegment(&in, marker);
        if (result != SegmentResult::kRead) return result != SegmentResult::kRefused;
        marker = in.Marker();
        while (marker == JpegStream::kNoMarker) {
            if (in.AtEnd()) return true;
            marker = in.Marker();
        }
    }
    if (marker == 0xC2) return false;  // progressive

    // Frame header: length 8 + 3 per component, precision, height, width, components.
    const uint32_t frameLength = in.Get16();
    in.Skip(5);
    const uint32_t components = in.Get8();
    if (frameLength != 8 + 3 * components) return true;
    in.Skip(3 * components);

    marker = in.Marker();
    while (marker != 0xD9) {  // end of image
        if (marker == 0xDA) {
            // Scan header: length 6 + 2 per component, components, ids and tables,
            // spectral selection and approximation.
            const uint32_t scanLength = in.Get16();
            const uint32_t scanComponents = in.Get8();
            if (scanComponents < 1 || scanComponents > 4 || scanLength != 6 + 2 * scanComponents) return true;
            in.Skip(2 * scanComponents + 3);
            marker = in.MarkerAfterEntropyData();
            if (marker == JpegStream::kNoMarker) return true;
            continue;
        }
        if (marker == 0xDC) {  // DNL: length 4, the height
            if (in.Get16() != 4) return true;
            in.Get16();
        } else {
            const SegmentResult result = ReadMarkerSegment(&in, marker);
            if (result != SegmentResult::kRead) return result != SegmentResult::kRefused;
        }
        marker = in.Marker();
    }
    return true;
}

uint32_t BigEndian32(const uint8_t* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

// Checks a PNG before the decoder sees it, walking its chunks as the decoder does:
// a length, a type, that many bytes of data and a CRC each, until IEND.  Refused:
//  - an empty image-data chunk (IDAT) before any image data, for which the
//    packaged decoder copies zero bytes to a null pointer (empty IDAT chunks after
//    the first data are harmless);
//  - an IDAT chunk longer than the rest of the file: the decoder would fail on it,
//    but only after growing its buffer to the claimed length (up to 4 GB).
bool PngIsAcceptable(const uint8_t* data, size_t size) {
    static const uint8_t kSignature[8] = {137, 80, 78, 71, 13, 10, 26, 10};
    if (size < 8 || std::memcmp(data, kSignature, 8) != 0) return true;  // not a PNG
    constexpr uint32_t kIdat = 0x49444154, kIend = 0x49454E44;
    uint64_t imageData = 0;
    for (size_t at = 8; at + 8 <= size;) {
        const uint32_t length = BigEndian32(data + at), type = BigEndian32(data + at + 4);
        if (type == kIend) break;
        if (type == kIdat) {
            if (length == 0 && imageData == 0) return false;
            if (length > size - at - 8) return false;
            imageData += length;
        }
        if (length > size - at - 8) break;  // runs past the end: the decoder fails there
        at += 8 + size_t(length) + 4;
    }
    return true;
}

}  // namespace

bool DecodeImage(const uint8_t* data, size_t size, DecodedImage* image) {
    if (!data || size == 0 || size > kMaxImageFileBytes || !image) return false;
    if (!JpegIsAcceptable(data, size) || !PngIsAcceptable(data, size)) return false;
    int width = 0, height = 0;
    if (!stb::Info(data, int(size), &width, &height)) return false;
    if (width <= 0 || height <= 0 || width > kMaxImageDimension || height > kMaxImageDimension ||
        int64_t(width) * height > kMaxImagePixels)
        return false;
    int decodedWidth = 0, decodedHeight = 0;
    uint8_t* rgba = stb::LoadRgba(data, int(size), &decodedWidth, &decodedHeight);
    if (!rgba) return false;
    if (decodedWidth != width || decodedHeight != height) {
        stb::Free(rgba);
        return false;
    }
    const size_t bytes = size_t(width) * size_t(height) * 4;
    uint8_t* bgra = static_cast<uint8_t*>(std::malloc(bytes));
    if (!bgra) {
        stb::Free(rgba);
        return false;
    }
    for (size_t i = 0; i < bytes; i += 4) {
        bgra[i] = rgba[i + 2];
        bgra[i + 1] = rgba[i + 1];
        bgra[i + 2] = rgba[i];
        bgra[i + 3] = rgba[i + 3];
    }
    stb::Free(rgba);
    image->width = width;
    image->height = height;
    image->pixels = std::unique_ptr<uint8_t, void (*)(void*)>(bgra, std::free);
    return true;
}

bool LoadImageFile(const char* path, DecodedImage* image) {
    std::vector<uint8_t> file;
    if (!platform::ReadWholeFile(path, kMaxImageFileBytes, &file) || file.empty()) return false;
    return DecodeImage(file.data(), file.size(), image);
}

std::u16string ToWide(const char* text) {
    if (!text || !*text) return std::u16string();
    return platform::AnsiToUtf16(text);
}

std::string ToNarrow(const char16_t* text) {
    if (!text || !*text) return std::string();
    return platform::Utf16ToAnsi(text);
}

bool LoadSurfaceFromFile(const char16_t* path, DibSurface* surface) {
    if (!surface) return false;
    const std::string narrow = ToNarrow(path);
    DecodedImage image;
    if (!LoadImageFile(narrow.c_str(), &image)) return false;
    ReleaseDibSurface(surface);
    surface->bitmap = nullptr;
    surface->pixels = image.pixels.release();
    surface->stride = image.width * 4;
    surface->x = 0;
    surface->y = 0;
    surface->width = image.width;
    surface->height = image.height;
    surface->tag = -1;
    surface->ownsPixels = true;
    return true;
}
