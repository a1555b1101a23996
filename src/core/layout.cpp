// layout.cpp - the default layout: a 640 x 230 window, 87-row pitch area, 30-row lyric rows.
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
