// score_display.cpp - the score display's phases and its drawing.
#include "scenes/score_display.h"

#include "base/numeric.h"
#include "imaging/blit.h"
#include "imaging/skin.h"

namespace {

constexpr uint8_t kFadeInStep = 3;
constexpr uint8_t kFadeOutStep = 5;

void RestartFade(const ScoreDisplay& s) {
    s.alpha = kScoreStartAlpha;
    s.fadeInFrames = kScoreFadeInFrames;
    s.holdFrames = kScoreHoldFrames;
    s.fadeOutFrames = kScoreFadeOutFrames;
}

// One frame of the fade; the counters decide when each phase ends.
void Advance(const ScoreDisplay& s) {
    switch (s.phase) {
        case kScoreFadeIn:
            if (--s.fadeInFrames < 0) {
                s.alpha = 255;
                s.phase = kScoreHold;
            } else {
                s.alpha = s.alpha >= 255 - kFadeInStep ? 255 : uint8_t(s.alpha + kFadeInStep);
            }
            break;
        case kScoreHold:
            if (--s.holdFrames < 0) s.phase = kScoreFadeOut;
            break;
        case kScoreFadeOut:
            if (--s.fadeOutFrames < 0)
                s.phase = kScoreOff;
            else
                s.alpha = uint8_t(s.alpha - kFadeOutStep);
            break;
        default:
            break;
    }
}

}  // namespace

void ResetScoreDisplay(const ScoreDisplay& s) {
    s.value = 0;
    s.grade = 0;
    s.phase = kScoreOff;
    RestartFade(s);
}

void StartScoreDisplay(const ScoreDisplay& s, float points, int32_t grade) {
    RestartFade(s);
    s.phase = kScoreFadeIn;
    s.value = SaturatingTruncate(double(points) / 10.0);
    s.grade = grade;
}

// The ones digit at scoreX and at most three more to its left, each placed by the
// width of the digit image to its right; then the grade image at W - gradeRight.
void UpdateScoreDisplay(const ScoreDisplay& s, FrameCanvas* frame, const DibSurface& atlas, const ImageRect* images,
                        const RendererLayout& l) {
    if (s.phase == kScoreOff) return;
    Advance(s);
    int32_t v = s.value;
    int64_t x = l.scoreX;
    const ImageRect& ones = images[kImageNumber0 + (v < 0 ? 0 : v % 10)];
    if (x >= 0) frame->Blend(x, l.scoreTop, atlas, ones, s.alpha);
    x -= ones.width;
    for (int i = 0; i < 3; ++i) {
        v /= 10;
        if (v <= 0) break;
        const ImageRect& digit = images[kImageNumber0 + v % 10];
        if (x >= 0) frame->Blend(x, l.scoreTop, atlas, digit, s.alpha);
        x -= digit.width;
    }
    int64_t k = (int64_t(s.grade) - 1) % 5;
    if (k < 0) k = 0;
    const int64_t gradeX = int64_t(frame->Width()) - l.gradeRight;
    if (gradeX >= 0) frame->Blend(gradeX, l.gradeTop, atlas, images[kImageMiss + k], s.alpha);
}
