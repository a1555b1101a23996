// frame_canvas.h - how a scene puts its frame together: the base of every row
// (transparent black, the dark band, or a row of the mode's background), the
// pieces blended over it in order, and the premultiplication at the end.
//
// Two ways to the same bytes:
//
//   reference  each call draws at once: clear, blend the background, blend every
//              piece, premultiply the whole frame (the plain composition)
//   fast       the pieces are collected, then Finish draws:
//              1. each row gets its base once.  Blending the background at alpha
//                 255 onto transparent black copies it exactly, so its rows are
//                 copied; where no piece lands they are copied already
//                 premultiplied (background and its premultiplied form are kept
//                 side by side), under the pieces in straight colour
//              2. the pieces are blended in order; a strip only within its inked
//                 bounds (its other pixels have alpha 0, and blending alpha 0
//                 leaves either the pixel or a pixel of alpha 0 whose colour the
//                 premultiplication turns to 0)
//              3. only the columns that pieces landed on are premultiplied;
//                 transparent black and the band (colour 0) are their own
//                 premultiplied form, and background pixels no piece changed take
//                 their premultiplied form by a copy
//
// The lyrics pitch area under the trail, the background with the shown line's
// note bars over it, stays the same while the line is shown: the fast way keeps it
// (CanvasUnderlay) and copies it into the following frames.
//
// The scenes take the fast way unless the pixel path is the reference
// (RENDERER_PIXEL_PATH=reference, or SetPixelPath), so that any frame can be
// checked against the plain composition.
#ifndef RENDERER_SCENES_FRAME_CANVAS_H
#define RENDERER_SCENES_FRAME_CANVAS_H

#include <cstdint>
#include <vector>

#include "imaging/blit.h"
#include "imaging/compositing.h"
#include "imaging/dib_surface.h"
#include "imaging/image_rect.h"
#include "text/strip_queue.h"

// Rows of a frame as the background and one strip blended over it make them,
// straight and premultiplied, and what they were made from.  Its owner releases it
// (ReleaseUnderlay) whenever it releases the backgrounds: a background is known by
// its address, a strip by its painting number.
struct CanvasUnderlay {
    DibSurface straight, premultiplied;  // frame width x the background's rows
    const uint8_t* background = nullptr;
    const uint8_t* backgroundPremultiplied = nullptr;
    ImageRect backgroundRect;
    int64_t top = 0, clearEnd = 0;
    int32_t frameWidth = 0, frameHeight = 0;
    uint64_t stripPainting = 0;
    const uint8_t* stripPixels = nullptr;
    ImageRect stripRect;
    int64_t stripX = 0, stripY = 0, clipHeight = 0, clipWidth = 0;
};
void ReleaseUnderlay(CanvasUnderlay* underlay);

class FrameCanvas {
public:
    // `fast` chooses the way; a frame whose rows are not packed (stride other than
    // width x 4) is always composed the reference way.
    FrameCanvas(DibSurface* frame, bool fast);
    FrameCanvas(const FrameCanvas&) = delete;
    FrameCanvas& operator=(const FrameCanvas&) = delete;

    int32_t Width() const { return frame_->width; }

    // Rows [0, clearEnd) transparent black, the rows below the dark band.  First.
    void Clear(int64_t clearEnd);

    // The mode's background: `rect` of `straight` blended at (0, y).  `premultiplied`
    // holds `straight` premultiplied (same size), or is empty.  Right after Clear.
    void Background(int64_t y, const DibSurface& straight, const DibSurface& premultiplied, const ImageRect& rect);

    // Background, then BlendStrip of `stripRect` of `strip` at (x, y); the fast way
    // takes both from `underlay` (may be null) when it was made from the same, and
    // otherwise makes it again there.
    void BackgroundAndStrip(int64_t y, const DibSurface& straight, const DibSurface& premultiplied,
                            const ImageRect& rect, int64_t x, int64_t stripY, const LineStrip& strip,
                            const ImageRect& stripRect, int64_t clipHeight, int64_t clipWidth,
                            CanvasUnderlay* underlay);

    // BlendRect of `rect` of `source` at (x, y), as blit.h describes it.
    void Blend(int64_t x, int64_t y, const DibSurface& source, const ImageRect& rect, uint8_t alpha = 255,
               int64_t clipHeight = kClipToDestination, int64_t clipWidth = kClipToDestination);

    // The same for a strip; the fast way blends only its inked part.
    void BlendStrip(int64_t x, int64_t y, const LineStrip& strip, const ImageRect& rect,
                    int64_t clipHeight = kClipToDestination, int64_t clipWidth = kClipToDestination);

    // Draws what was collected and premultiplies: the frame is finished.
    void Finish();

private:
    struct Piece {
        const DibSurface* source;
        ImageRect rect;
        int64_t x, y, clipHeight, clipWidth;
        uint8_t alpha;
        PixelArea area;
    };
    // Columns [begin, end) of a row that pieces land on.
    struct Span {
        int64_t begin, end;
    };

    bool MakeUnderlay(const PixelArea& area, const DibSurface& straight, const ImageRect& rect, int64_t x,
                      int64_t stripY, const LineStrip& strip, const ImageRect& stripRect, int64_t clipHeight,
                      int64_t clipWidth, CanvasUnderlay* u) const;
    void AddPiece(int64_t x, int64_t y, const DibSurface& source, const ImageRect& rect, uint8_t alpha,
                  int64_t clipHeight, int64_t clipWidth);
    bool IsBackgroundRow(int64_t y) const { return y >= backgroundTop_ && y < backgroundTop_ + backgroundRows_; }
    const uint8_t* BackgroundRow(const DibSurface& s, int64_t y) const;
    void LayBase(const std::vector<Span>& spans);
    void PremultiplySpans(const std::vector<Span>& spans);

    DibSurface* frame_;
    bool fast_;
    int64_t clearEnd_ = 0;  // first row of the band
    // Background rows laid as the base: frame rows [backgroundTop_, + backgroundRows_),
    // columns [0, backgroundColumns_), from (backgroundX_, backgroundY_) of the strip.
    const DibSurface* straight_ = nullptr;
    const DibSurface* premultiplied_ = nullptr;  // null: premultiplied at Finish
    int64_t backgroundTop_ = 0, backgroundRows_ = 0, backgroundColumns_ = 0;
    int64_t backgroundX_ = 0, backgroundY_ = 0;
    std::vector<Piece> pieces_;
};

#endif
