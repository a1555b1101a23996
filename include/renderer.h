// renderer.h - the host-facing interface of renderer.dll.
//
// A karaoke host loads renderer.dll, calls CreateRenderer() once and drives the
// display through the 19 operations of IRenderer, always on its own UI thread.
//
//   CreateRenderer -> Init/InitWithSize -> SetSong -> Show
//   -> { UpdateTime | UpdateTimeF | Tick | TickF ; Present ; SetScore ... }
//   -> Hide -> ClearSong -> Uninit
//
// The records below cross the library boundary: little-endian 32-bit fields,
// 32-bit pointers on the Win32 target, no padding.  The sizes and offsets are
// checked at compile time for that target.  The header needs no other header
// than <stdint.h>, so hosts built with any compiler (MSVC, MinGW, clang) can use
// it; window handles are the STRICT `HWND` type of <windows.h>.
#ifndef RENDERER_RENDERER_H
#define RENDERER_RENDERER_H

#include <stdint.h>

#if defined(_WIN32) && !defined(_WIN64)
#define RENDERER_THISCALL __thiscall
#define RENDERER_CDECL __cdecl
#else
#define RENDERER_THISCALL
#define RENDERER_CDECL
#endif

// Same type as a STRICT HWND from <windows.h>; a host may pass its HWND as is.
struct HWND__;
typedef struct HWND__* RendererWindowHandle;

// Positions, sizes and scales of everything drawn (pixels of the display window).
struct RendererLayout {
    int32_t timeMarkerX;      // game: x of the current-time marker
    int32_t reserved1;        // not read
    int32_t windowWidth;      // width requested by Init
    int32_t topMargin;        // lyrics: top of the pitch area; game: + lyricRowHeight
    int32_t pitchAreaHeight;  // height of the pitch area, backgrounds and note strips
    int32_t lyricRowHeight;   // height of a lyric row and of every text strip
    int32_t reserved6;        // not read
    int32_t windowHeight;     // height requested by Init, and the minimum height
    float pixelsPerMs;        // game: horizontal scroll scale
    int32_t reserved9;        // not read
    int32_t noteHeight;       // the pitch scale spans pitchAreaHeight - noteHeight
    int32_t syllableGap;      // lyrics: pixels after every word
    int32_t firstLineLeft;    // lyrics: x of the upper lyric row
    int32_t secondLineRight;  // lyrics: right margin of the lower lyric row
    int32_t pitchAreaLeft;    // lyrics: x where a line's time span begins
    int32_t pitchAreaRight;   // lyrics: right margin where a line's time span ends
    int32_t pitchTolerance;   // largest pixel distance that counts as on pitch
    int32_t scoreX;           // x of the ones digit of the score
    int32_t scoreTop;         // y of the score digits
    int32_t gradeRight;       // grade image at x = window width - gradeRight
    int32_t gradeTop;         // y of the grade image
    int32_t leadInDistance;   // lyrics: pixels the progress mark travels before a line
    int32_t leadInTime;       // lyrics: ms before a line during which the lead-in shows
};

// SetScore's record; read during the call only.
struct ScoreInfo {
    uint32_t reserved;
    float score;    // shown as score / 10, truncated toward zero
    int32_t grade;  // 1 Miss, 2 Poor, 3 Good, 4 Great, 5 Perfect
};

struct SongNote {
    uint32_t startTime;  // ms
    uint32_t endTime;    // ms
    float pitch;         // same unit as SongInfo::minPitch/maxPitch and PlayState::pitch
};

struct SongWord {
    uint32_t startTime;      // ms
    uint32_t endTime;        // ms
    const uint16_t* text;    // UTF-16, textLength units followed by a zero unit
    uint32_t textLength;     // at most 4096
};

struct SongLine {
    uint32_t startTime;
    uint32_t endTime;
    SongWord* words;
    uint32_t wordCount;
    SongNote* notes;
    uint32_t noteCount;
};

struct SongInfo {
    float maxPitch;
    float minPitch;
    uint32_t startTime;
    uint32_t endTime;
    uint32_t reserved;
    SongLine* lines;
    uint32_t lineCount;
};

// Progress record passed with every UpdateTime/UpdateTimeF.
struct PlayState {
    uint32_t timeMs;  // song time, ms (unsigned)
    float pitch;      // singer's pitch; 1e-8 or less means no voice
    uint32_t extra1;
    uint32_t extra2;
    uint32_t extra3;
    uint32_t extra4;
    uint32_t extra5;
};

// The renderer, in slot order.  No data members, no virtual destructor.
// Every operation must be called on the thread that called Init.
class IRenderer {
public:
    virtual bool RENDERER_THISCALL Init(const char* skinDir, RendererWindowHandle host, int x, int y,
                                        RendererLayout* layout, int mode, bool floating) = 0;   // 0
    virtual bool RENDERER_THISCALL InitWithSize(const char* skinDir, RendererWindowHandle host, int x,
                                                int y, int width, int height, int mode,
                                                bool floating) = 0;                               // 1
    virtual bool RENDERER_THISCALL Uninit() = 0;                                                   // 2
    virtual bool RENDERER_THISCALL LoadSkin(const char* imagesetPath) = 0;                        // 3
    virtual void RENDERER_THISCALL SetPosition(int x, int y) = 0;                                  // 4
    virtual void RENDERER_THISCALL GetPosition(int* x, int* y) = 0;                                // 5
    virtual void RENDERER_THISCALL Show() = 0;                                                     // 6
    virtual void RENDERER_THISCALL Hide() = 0;                                                     // 7
    virtual bool RENDERER_THISCALL SetSong(SongInfo* song) = 0;                                    // 8
    virtual void RENDERER_THISCALL ClearSong() = 0;                                                // 9
    virtual void RENDERER_THISCALL SetMode(int mode) = 0;                                          // 10
    virtual void RENDERER_THISCALL UpdateTimeF(float elapsedSeconds, PlayState* state) = 0;        // 11
    virtual void RENDERER_THISCALL UpdateTime(int elapsedMs, PlayState* state) = 0;                // 12
    virtual void RENDERER_THISCALL TickF(float elapsedSeconds) = 0;                                // 13
    virtual void RENDERER_THISCALL Tick(int elapsedMs) = 0;                                        // 14
    virtual void RENDERER_THISCALL Present() = 0;                                                  // 15
    virtual void RENDERER_THISCALL SetScore(ScoreInfo* score) = 0;                                 // 16
    virtual void RENDERER_THISCALL Reserved17(uint32_t value) = 0;                                 // 17
    virtual void RENDERER_THISCALL Reserved18() = 0;                                               // 18
};

#ifdef __cplusplus
extern "C" {
#endif
// Returns the one renderer of the process (created on the first call); null only
// when it cannot be allocated.  Not thread-safe: call it first from the UI thread.
IRenderer* RENDERER_CDECL CreateRenderer(void);
#ifdef __cplusplus
}
#endif

// Wire-format checks.  The pointer-carrying records only have their 32-bit
// layout on the 32-bit target; the others are the same everywhere.
#if defined(__cplusplus) && __cplusplus >= 201103L || defined(_MSC_VER) && _MSC_VER >= 1600
#include <stddef.h>
static_assert(sizeof(RendererLayout) == 92, "RendererLayout is 92 bytes");
static_assert(offsetof(RendererLayout, timeMarkerX) == 0, "layout offset");
static_assert(offsetof(RendererLayout, reserved1) == 4, "layout offset");
static_assert(offsetof(RendererLayout, windowWidth) == 8, "layout offset");
static_assert(offsetof(RendererLayout, topMargin) == 12, "layout offset");
static_assert(offsetof(RendererLayout, pitchAreaHeight) == 16, "layout offset");
static_assert(offsetof(RendererLayout, lyricRowHeight) == 20, "layout offset");
static_assert(offsetof(RendererLayout, reserved6) == 24, "layout offset");
static_assert(offsetof(RendererLayout, windowHeight) == 28, "layout offset");
static_assert(offsetof(RendererLayout, pixelsPerMs) == 32, "layout offset");
static_assert(offsetof(RendererLayout, reserved9) == 36, "layout offset");
static_assert(offsetof(RendererLayout, noteHeight) == 40, "layout offset");
static_assert(offsetof(RendererLayout, syllableGap) == 44, "layout offset");
static_assert(offsetof(RendererLayout, firstLineLeft) == 48, "layout offset");
static_assert(offsetof(RendererLayout, secondLineRight) == 52, "layout offset");
static_assert(offsetof(RendererLayout, pitchAreaLeft) == 56, "layout offset");
static_assert(offsetof(RendererLayout, pitchAreaRight) == 60, "layout offset");
static_assert(offsetof(RendererLayout, pitchTolerance) == 64, "layout offset");
static_assert(offsetof(RendererLayout, scoreX) == 68, "layout offset");
static_assert(offsetof(RendererLayout, scoreTop) == 72, "layout offset");
static_assert(offsetof(RendererLayout, gradeRight) == 76, "layout offset");
static_assert(offsetof(RendererLayout, gradeTop) == 80, "layout offset");
static_assert(offsetof(RendererLayout, leadInDistance) == 84, "layout offset");
static_assert(offsetof(RendererLayout, leadInTime) == 88, "layout offset");

static_assert(sizeof(ScoreInfo) == 12, "ScoreInfo is 12 bytes");
static_assert(offsetof(ScoreInfo, score) == 4 && offsetof(ScoreInfo, grade) == 8, "ScoreInfo offsets");

static_assert(sizeof(SongNote) == 12, "SongNote is 12 bytes");
static_assert(offsetof(SongNote, endTime) == 4 && offsetof(SongNote, pitch) == 8, "SongNote offsets");

static_assert(sizeof(PlayState) == 28, "PlayState is 28 bytes");
static_assert(offsetof(PlayState, pitch) == 4 && offsetof(PlayState, extra1) == 8 &&
                  offsetof(PlayState, extra5) == 24,
              "PlayState offsets");

static_assert(sizeof(bool) == 1, "bool is one byte");

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(void*) == 4, "32-bit target");
static_assert(sizeof(SongWord) == 16, "SongWord is 16 bytes");
static_assert(offsetof(SongWord, text) == 8 && offsetof(SongWord, textLength) == 12, "SongWord offsets");
static_assert(sizeof(SongLine) == 24, "SongLine is 24 bytes");
static_assert(offsetof(SongLine, words) == 8 && offsetof(SongLine, wordCount) == 12 &&
                  offsetof(SongLine, notes) == 16 && offsetof(SongLine, noteCount) == 20,
              "SongLine offsets");
static_assert(sizeof(SongInfo) == 28, "SongInfo is 28 bytes");
static_assert(offsetof(SongInfo, minPitch) == 4 && offsetof(SongInfo, startTime) == 8 &&
                  offsetof(SongInfo, endTime) == 12 && offsetof(SongInfo, reserved) == 16 &&
                  offsetof(SongInfo, lines) == 20 && offsetof(SongInfo, lineCount) == 24,
              "SongInfo offsets");
static_assert(sizeof(IRenderer) == 4, "IRenderer is a bare vtable pointer");
#endif
#endif

#endif  // RENDERER_RENDERER_H
