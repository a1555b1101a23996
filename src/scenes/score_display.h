// score_display.h - the score number and grade image that both scenes show after
// the host reports a score: a fade-in from opacity 127 in steps of 3, a hold at
// 255, and a fade-out in steps of 5, each phase counted in composed frames.
#ifndef RENDERER_SCENES_SCORE_DISPLAY_H
#define RENDERER_SCENES_SCORE_DISPLAY_H

#include <cstdint>

#include "imaging/dib_surface.h"
#include "imaging/image_rect.h"
#include "renderer.h"
#include "scenes/frame_canvas.h"

enum ScorePhase : int32_t {
    kScoreOff = 0,
    kScoreFadeIn = 1,
    kScoreHold = 2,
    kScoreFadeOut = 3,
};

// Where every fade starts.
constexpr uint8_t kScoreStartAlpha = 127;
constexpr int32_t kScoreFadeInFrames = 30;
constexpr int32_t kScoreHoldFrames = 30;
constexpr int32_t kScoreFadeOutFrames = 20;

// The renderer's score display members.
struct ScoreDisplay {
    int32_t& value;  // the number shown
    int32_t& grade;  // 1 "Miss" .. 5 "Perfect"
    int32_t& phase;  // a ScorePhase
    uint8_t& alpha;
    int32_t& fadeInFrames;  // composed frames left in each phase
    int32_t& holdFrames;
    int32_t& fadeOutFrames;
};

// Nothing shown, value and grade 0, the fade back at its start.
void ResetScoreDisplay(const ScoreDisplay& score);

// Shows `points` / 10 (truncated toward zero) and `grade`, fading in from the start.
void StartScoreDisplay(const ScoreDisplay& score, float points, int32_t grade);

// Advances the display by one composed frame and draws the number and the grade
// onto the frame (also on the frame in which the display has just ended).
void UpdateScoreDisplay(const ScoreDisplay& score, FrameCanvas* frame, const DibSurface& atlas,
                        const ImageRect* images, const RendererLayout& layout);

#endif
