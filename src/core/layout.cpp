// layout.cpp - the default layout, and the sizes a window may have.
#include "core/layout.h"

RendererLayout DefaultLayout() {
    RendererLayout l;
    l.timeMarkerX = 150;
    l.reserved1 = 490;
    l.windowWidth = 640;
    l.topMargin = 77;
    l.pitchAreaHeight = 87;
    l.lyricRowHeight = 30;
    l.reserved6 = 200;
    l.windowHeight = 230;
    l.pixelsPerMs = 0.15f;  // bit pattern 0x3E19999A
    l.reserved9 = 22;
    l.noteHeight = 22;
    l.syllableGap = 2;
    l.firstLineLeft = 100;
    l.secondLineRight = 100;
    l.pitchAreaLeft = 100;
    l.pitchAreaRight = 100;
    l.pitchTolerance = 10;
    l.scoreX = 120;
    l.scoreTop = 8;
    l.gradeRight = 150;
    l.gradeTop = 0;
    l.leadInDistance = 180;
    l.leadInTime = 2000;
    return l;
}

bool WindowFits(const RendererLayout& l, int32_t width, int32_t height) {
    const int64_t h = height < l.windowHeight ? l.windowHeight : height;
    if (width < 1 || width > kMaxWindowSide || h < 1 || h > kMaxWindowSide) return false;
    if (l.pitchAreaHeight > kMaxWindowSide || l.lyricRowHeight > kMaxWindowSide) return false;
    const int64_t rowBytes = int64_t(width) * 4;
    return rowBytes * h <= kMaxFrameBytes && rowBytes * l.pitchAreaHeight <= kMaxFrameBytes;
}
