// frame_drawing.cpp - what both scenes draw with: the frame canvas (its reference
// and its fast way), clearing and capped bars.
#include <algorithm>
#include <cstring>

#include "imaging/blit.h"
#include "imaging/capped_bar.h"
#include "scenes/frame_canvas.h"
#include "scenes/scenes.h"

namespace {

// One row of the dark band, pixel by pixel.
void FillBandRow(uint8_t* row, int64_t width) {
    for (int64_t x = 0; x < width; ++x) std::memcpy(row + x * 4, &kBandPixel, 4);
}

}  // namespace

void ClearFrame(DibSurface* f, int64_t clearEnd) {
    const int64_t split = std::clamp<int64_t>(clearEnd, 0, f->height);
    std::memset(f->pixels, 0, size_t(split) * size_t(f->stride));
    for (int64_t y = split; y < f->height; ++y) FillBandRow(f->pixels + y * f->stride, f->width);
}

// ---------------------------------------------------------------- FrameCanvas

FrameCanvas::FrameCanvas(DibSurface* frame, bool fast)
    : frame_(frame), fast_(fast && frame->pixels && frame->width > 0 && frame->height > 0 &&
                           int64_t(frame->stride) == int64_t(frame->width) * 4) {}

void FrameCanvas::Clear(int64_t clearEnd) {
    if (!fast_) {
        ClearFrame(frame_, clearEnd);
        return;
    }
    clearEnd_ = std::clamp<int64_t>(clearEnd, 0, frame_->height);
}

void FrameCanvas::Background(int64_t y, const DibSurface& straight, const DibSurface& premultiplied,
                             const ImageRect& rect) {
    if (!fast_) {
        BlendRect(frame_, 0, y, straight, rect);
        return;
    }
    PixelArea a;
    if (!BlitArea(*frame_, 0, y, straight, rect, kClipToDestination, kClipToDestination, &a)) return;
    if (a.rows <= 0 || a.columns <= 0) return;
    // Rows that land on transparent black are exact copies (alpha 255 onto alpha 0);
    // rows that land on the band are blended as any other piece.
    const int64_t copied = std::clamp<int64_t>(clearEnd_ - a.y, 0, a.rows);
    straight_ = &straight;
    premultiplied_ = premultiplied.pixels && premultiplied.width == straight.width &&
                             premultiplied.height == straight.height && premultiplied.stride == straight.stride
                         ? &premultiplied
                         : nullptr;
    backgroundTop_ = a.y;
    backgroundRows_ = copied;
    backgroundColumns_ = a.columns;
    backgroundX_ = rect.x;
    backgroundY_ = rect.y;
    if (copied < a.rows)
        AddPiece(0, a.y + copied, straight, RectOf(rect.x, int64_t(rect.y) + copied, rect.width, rect.height - copied),
                 255, kClipToDestination, kClipToDestination);
}

void ReleaseUnderlay(CanvasUnderlay* u) {
    ReleaseDibSurface(&u->straight);
    ReleaseDibSurface(&u->premultiplied);
    *u = CanvasUnderlay();
}

namespace {

bool SameRect(const ImageRect& a, const ImageRect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

}  // namespace

// The rows [area.y, + area.rows) of the frame after Clear, Background and the
// strip's blend, made the reference way: the background's row copied (alpha 255
// onto transparent black), transparent black right of it, the strip blended with
// the frame's clip limits moved up by area.y.
bool FrameCanvas::MakeUnderlay(const PixelArea& area, const DibSurface& straight, const ImageRect& rect, int64_t x,
                               int64_t stripY, const LineStrip& strip, const ImageRect& stripRect,
                               int64_t clipHeight, int64_t clipWidth, CanvasUnderlay* u) const {
    ReleaseUnderlay(u);
    if (!CreateDibSurface(frame_->width, int32_t(area.rows), &u->straight) || u->straight.stride != frame_->stride) {
        ReleaseUnderlay(u);
        return false;
    }
    for (int64_t r = 0; r < area.rows; ++r)
        std::memcpy(u->straight.pixels + r * u->straight.stride,
                    straight.pixels + (rect.y + r) * int64_t(straight.stride) + int64_t(rect.x) * 4,
                    size_t(area.columns) * 4);
    const int64_t resolvedClip =
        clipHeight == kClipToDestination || clipHeight > frame_->height ? frame_->height : clipHeight;
    BlendRect(&u->straight, x, stripY - area.y, strip, stripRect, 255, resolvedClip - area.y, clipWidth);
    MakePremultipliedCopy(u->straight, &u->premultiplied);
    return true;
}

void FrameCanvas::BackgroundAndStrip(int64_t y, const DibSurface& straight, const DibSurface& premultiplied,
                                     const ImageRect& rect, int64_t x, int64_t stripY, const LineStrip& strip,
                                     const ImageRect& stripRect, int64_t clipHeight, int64_t clipWidth,
                                     CanvasUnderlay* u) {
    PixelArea a, s;
    const bool background = BlitArea(*frame_, 0, y, straight, rect, kClipToDestination, kClipToDestination, &a) &&
                            a.rows > 0 && a.columns > 0;
    const bool stripDrawn = BlitArea(*frame_, x, stripY, strip, stripRect, clipHeight, clipWidth, &s);
    // The underlay serves when every background row is a copy and the strip lands
    // on those rows only.
    const bool cached = fast_ && u && strip.painting != 0 && background && stripDrawn &&
                        a.y + a.rows <= clearEnd_ &&
                        (s.rows <= 0 || s.columns <= 0 || (s.y >= a.y && s.y + s.rows <= a.y + a.rows));
    if (!cached) {
        Background(y, straight, premultiplied, rect);
        BlendStrip(x, stripY, strip, stripRect, clipHeight, clipWidth);
        return;
    }
    const bool same = u->straight.pixels && u->background == straight.pixels &&
                      u->backgroundPremultiplied == premultiplied.pixels && SameRect(u->backgroundRect, rect) &&
                      u->top == y && u->clearEnd == clearEnd_ && u->frameWidth == frame_->width &&
                      u->frameHeight == frame_->height && u->stripPainting == strip.painting &&
                      u->stripPixels == strip.pixels && SameRect(u->stripRect, stripRect) && u->stripX == x &&
                      u->stripY == stripY && u->clipHeight == clipHeight && u->clipWidth == clipWidth;
    if (!same) {
        if (!MakeUnderlay(a, straight, rect, x, stripY, strip, stripRect, clipHeight, clipWidth, u)) {
            Background(y, straight, premultiplied, rect);
            BlendStrip(x, stripY, strip, stripRect, clipHeight, clipWidth);
            return;
        }
        u->background = straight.pixels;
        u->backgroundPremultiplied = premultiplied.pixels;
        u->backgroundRect = rect;
        u->top = y;
        u->clearEnd = clearEnd_;
        u->frameWidth = frame_->width;
        u->frameHeight = frame_->height;
        u->stripPainting = strip.painting;
        u->stripPixels = strip.pixels;
        u->stripRect = stripRect;
        u->stripX = x;
        u->stripY = stripY;
        u->clipHeight = clipHeight;
        u->clipWidth = clipWidth;
    }
    straight_ = &u->straight;
    premultiplied_ = u->premultiplied.pixels ? &u->premultiplied : nullptr;
    backgroundTop_ = a.y;
    backgroundRows_ = a.rows;
    backgroundColumns_ = frame_->width;
    backgroundX_ = 0;
    backgroundY_ = 0;
}

void FrameCanvas::Blend(int64_t x, int64_t y, const DibSurface& source, const ImageRect& rect, uint8_t alpha,
                        int64_t clipHeight, int64_t clipWidth) {
    if (!fast_) {
        BlendRect(frame_, x, y, source, rect, alpha, clipHeight, clipWidth);
        return;
    }
    AddPiece(x, y, source, rect, alpha, clipHeight, clipWidth);
}

// The strip's columns and rows outside its inked bounds are transparent: the
// rectangle is narrowed to them and moved by as much on the frame.  A call the
// whole rectangle would have had rejected stays rejected.
void FrameCanvas::BlendStrip(int64_t x, int64_t y, const LineStrip& strip, const ImageRect& rect,
                             int64_t clipHeight, int64_t clipWidth) {
    if (!fast_) {
        BlendRect(frame_, x, y, strip, rect, 255, clipHeight, clipWidth);
        return;
    }
    PixelArea whole;
    if (!BlitArea(*frame_, x, y, strip, rect, clipHeight, clipWidth, &whole)) return;
    const ImageRect& ink = strip.inked;
    const int64_t left = std::max<int64_t>(rect.x, ink.x), top = std::max<int64_t>(rect.y, ink.y);
    const int64_t right = std::min<int64_t>(int64_t(rect.x) + rect.width, int64_t(ink.x) + ink.width);
    const int64_t bottom = std::min<int64_t>(int64_t(rect.y) + rect.height, int64_t(ink.y) + ink.height);
    if (right <= left || bottom <= top) return;
    AddPiece(x + (left - rect.x), y + (top - rect.y), strip, RectOf(left, top, right - left, bottom - top), 255,
             clipHeight, clipWidth);
}

void FrameCanvas::AddPiece(int64_t x, int64_t y, const DibSurface& source, const ImageRect& rect, uint8_t alpha,
                           int64_t clipHeight, int64_t clipWidth) {
    PixelArea a;
    if (!BlitArea(*frame_, x, y, source, rect, clipHeight, clipWidth, &a) || a.rows <= 0 || a.columns <= 0) return;
    pieces_.push_back(Piece{&source, rect, x, y, clipHeight, clipWidth, alpha, a});
}

const uint8_t* FrameCanvas::BackgroundRow(const DibSurface& s, int64_t y) const {
    return s.pixels + (backgroundY_ + (y - backgroundTop_)) * s.stride + backgroundX_ * 4;
}

// Every row once: transparent black, the band (its first row filled, the others
// copied from it), or the background, premultiplied outside the row's span and
// straight inside it; columns right of the background are transparent black.
void FrameCanvas::LayBase(const std::vector<Span>& spans) {
    const int64_t width = frame_->width, stride = frame_->stride;
    const uint8_t* bandRow = nullptr;
    for (int64_t y = 0; y < frame_->height; ++y) {
        uint8_t* row = frame_->pixels + y * stride;
        if (IsBackgroundRow(y)) {
            const uint8_t* straight = BackgroundRow(*straight_, y);
            const uint8_t* premultiplied = premultiplied_ ? BackgroundRow(*premultiplied_, y) : straight;
            const int64_t n = backgroundColumns_;
            const int64_t begin = std::clamp<int64_t>(spans[y].begin, 0, n);
            const int64_t end = std::clamp<int64_t>(spans[y].end, begin, n);
            std::memcpy(row, premultiplied, size_t(begin) * 4);
            std::memcpy(row + begin * 4, straight + begin * 4, size_t(end - begin) * 4);
            std::memcpy(row + end * 4, premultiplied + end * 4, size_t(n - end) * 4);
            std::memset(row + n * 4, 0, size_t(width - n) * 4);
        } else if (y < clearEnd_) {
            std::memset(row, 0, size_t(width) * 4);
        } else if (bandRow) {
            std::memcpy(row, bandRow, size_t(width) * 4);
        } else {
            FillBandRow(row, width);
            bandRow = row;
        }
    }
}

// Within each row's span: background pixels against their base (a copy where no
// piece changed them), everything else through the premultiplication.
void FrameCanvas::PremultiplySpans(const std::vector<Span>& spans) {
    for (int64_t y = 0; y < frame_->height; ++y) {
        const Span span = spans[y];
        if (span.begin >= span.end) continue;
        uint8_t* row = frame_->pixels + y * frame_->stride;
        int64_t from = span.begin;
        if (IsBackgroundRow(y) && premultiplied_) {
            const int64_t end = std::min(span.end, backgroundColumns_);
            if (from < end) {
                PremultiplyPixelsOver(row + from * 4, BackgroundRow(*straight_, y) + from * 4,
                                      BackgroundRow(*premultiplied_, y) + from * 4, end - from);
                from = end;
            }
        }
        if (from < span.end) PremultiplyPixels(row + from * 4, span.end - from);
    }
}

void FrameCanvas::Finish() {
    if (!fast_) {
        PremultiplyAlpha(frame_);
        return;
    }
    // The columns that pieces land on, per row (begin >= end: none).  Background
    // rows without a premultiplied form are premultiplied whole.
    std::vector<Span> spans(size_t(frame_->height), Span{frame_->width, 0});
    auto widen = [&spans](int64_t y, int64_t begin, int64_t end) {
        spans[size_t(y)].begin = std::min(spans[size_t(y)].begin, begin);
        spans[size_t(y)].end = std::max(spans[size_t(y)].end, end);
    };
    for (const Piece& p : pieces_)
        for (int64_t y = p.area.y; y < p.area.y + p.area.rows; ++y) widen(y, p.area.x, p.area.x + p.area.columns);
    if (!premultiplied_)
        for (int64_t y = backgroundTop_; y < backgroundTop_ + backgroundRows_; ++y) widen(y, 0, backgroundColumns_);

    LayBase(spans);
    for (const Piece& p : pieces_) BlendRect(frame_, p.x, p.y, *p.source, p.rect, p.alpha, p.clipHeight, p.clipWidth);
    PremultiplySpans(spans);
}

// ---------------------------------------------------------------- capped bars

void DrawCappedBar(DibSurface* frame, const DibSurface& atlas, const ImageRect& left, const ImageRect& middle,
                   const ImageRect& right, int32_t x, int32_t y, int32_t width) {
    ForEachBarPiece(left, middle, right, x, width, frame->width,
                    [&](const ImageRect& piece, int64_t at) { BlendRect(frame, at, y, atlas, piece); });
}

void DrawCappedBar(FrameCanvas* canvas, const DibSurface& atlas, const ImageRect& left, const ImageRect& middle,
                   const ImageRect& right, int32_t x, int32_t y, int32_t width) {
    ForEachBarPiece(left, middle, right, x, width, canvas->Width(),
                    [&](const ImageRect& piece, int64_t at) { canvas->Blend(at, y, atlas, piece); });
}
