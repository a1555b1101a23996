// The renderer's life stages through IRenderer: the singleton, initialisation
// over a host window, position, showing and hiding, mode, the score display's
// start, teardown, and calls made before initialisation.
#include <algorithm>
#include <cstring>

#include "core/layout.h"
#include "renderer_fixture.h"
#include "song_builder.h"
#include "test_files.h"
#include "text/strip_queue.h"
#include "window/display_window.h"

namespace {

using Lifecycle = RendererTest;

TEST_F(Lifecycle, FactoryReturnsOneObject) {
    EXPECT_EQ(static_cast<IRenderer*>(renderer), CreateRenderer());
    EXPECT_TRUE(renderer->Uninit() == false);  // no class was registered
    EXPECT_EQ(static_cast<IRenderer*>(renderer), CreateRenderer());
}

TEST_F(Lifecycle, InitPlacesAHiddenOwnedWindowRelativeToTheHost) {
    ASSERT_TRUE(InitDefault(10, 20));
    int x = 0, y = 0;
    renderer->GetPosition(&x, &y);
    EXPECT_EQ(110, x);
    EXPECT_EQ(220, y);
    HWND__* w = renderer->window;
    ASSERT_TRUE(IsValidWindow(w));
    EXPECT_EQ("renderer_window_class", w->className);
    EXPECT_EQ("renderer_window", w->title);
    EXPECT_EQ(0x00080000u, w->exStyle);
    EXPECT_EQ(0x90000000u, w->style);
    EXPECT_EQ(host, w->owner);
    EXPECT_EQ(640, w->width);
    EXPECT_EQ(230, w->height);
    EXPECT_FALSE(w->visible);
    EXPECT_TRUE(w->timerRunning);
    EXPECT_EQ(1u, w->timerId);
    EXPECT_EQ(1000u, w->timerPeriodMs);
    EXPECT_EQ(640, renderer->frame.width);
    EXPECT_EQ(230, renderer->frame.height);
    EXPECT_EQ(87, renderer->gameStrip.height);
    EXPECT_EQ(640, renderer->lyricsStrip.width);
    EXPECT_EQ(1, headless::LiveMemoryDCs());

    renderer->SetPosition(10, 20);
    renderer->GetPosition(&x, &y);
    EXPECT_EQ(10, x);
    EXPECT_EQ(20, y);
    ASSERT_EQ(2u, Log().size());  // the missing skin, then the position
    EXPECT_EQ("SetWindowPos x=10,y=20\r\n", Log()[1]);
    EXPECT_EQ(10, w->x);  // SetPosition presents at the new place
    EXPECT_EQ(20, w->y);
}

TEST_F(Lifecycle, FloatingWindowIsUnownedTopmostToolWindow) {
    ASSERT_TRUE(InitDefault(0, 0, 1, true));
    EXPECT_TRUE(renderer->floating);
    EXPECT_EQ(0x00080088u, renderer->window->exStyle);
    EXPECT_EQ(nullptr, renderer->window->owner);
}

TEST_F(Lifecycle, HeightIsRaisedToTheLayoutMinimum) {
    ASSERT_TRUE(renderer->InitWithSize("skins/none", host, 0, 0, 500, 100, 0, false));
    EXPECT_EQ(230, renderer->window->height);
    EXPECT_EQ(500, renderer->window->width);
    EXPECT_EQ(0, renderer->mode);
    renderer->Uninit();
    ASSERT_TRUE(renderer->InitWithSize("skins/none", host, 0, 0, 500, 300, 1, false));
    EXPECT_EQ(300, renderer->window->height);
    EXPECT_EQ(300, renderer->frame.height);
}

TEST_F(Lifecycle, InitCopiesTheHostLayout) {
    RendererLayout layout = DefaultLayout();
    layout.windowWidth = 320;
    layout.windowHeight = 240;
    layout.pitchAreaHeight = 50;
    ASSERT_TRUE(renderer->Init("skins/none", host, 0, 0, &layout, 1, false));
    EXPECT_EQ(320, renderer->width);
    EXPECT_EQ(240, renderer->height);
    EXPECT_EQ(50, renderer->gameStrip.height);
    EXPECT_EQ(0, std::memcmp(&layout, &renderer->layout, sizeof layout));
}

TEST_F(Lifecycle, InvalidHostFailsBeforeAnythingExists) {
    RendererLayout layout = DefaultLayout();
    EXPECT_FALSE(renderer->Init("skins/none", nullptr, 0, 0, &layout, 1, true));
    EXPECT_TRUE(renderer->floating);  // stored before any check
    EXPECT_EQ(nullptr, renderer->window);
    EXPECT_EQ(nullptr, renderer->frame.pixels);
    EXPECT_EQ(nullptr, renderer->hostWindow);
}

TEST_F(Lifecycle, FailedWindowCreationLogsAndCreatesNoSurface) {
    headless::FailNextWindowCreation();
    EXPECT_FALSE(InitDefault(5, 6, 0));
    EXPECT_EQ(nullptr, renderer->window);
    EXPECT_EQ(nullptr, renderer->frame.pixels);
    EXPECT_EQ(host, renderer->hostWindow);
    EXPECT_EQ(105, renderer->posX);
    EXPECT_EQ(0, renderer->mode);
    ASSERT_EQ(2u, Log().size());  // the missing skin, then the window
    EXPECT_EQ(0u, Log()[1].rfind("GetLastError:", 0));
}

TEST_F(Lifecycle, ShowPresentsAndShowsHideHides) {
    ASSERT_TRUE(InitDefault());
    renderer->playState.timeMs = 1234;
    renderer->Show();
    EXPECT_EQ(0u, renderer->playState.timeMs);
    HWND__* w = renderer->window;
    EXPECT_TRUE(w->visible);
    EXPECT_EQ(1, w->presentCount);
    EXPECT_EQ(640, w->presentedWidth);
    renderer->Present();
    EXPECT_EQ(2, w->presentCount);
    renderer->Hide();
    EXPECT_FALSE(w->visible);
}

TEST_F(Lifecycle, UninitReleasesEverythingAndCallsAfterwardsAreHarmless) {
    ASSERT_TRUE(InitDefault());
    EXPECT_TRUE(renderer->Uninit());
    EXPECT_FALSE(headless::DisplayClassRegistered());
    EXPECT_EQ(nullptr, renderer->window);
    EXPECT_EQ(nullptr, renderer->frame.pixels);
    EXPECT_EQ(0, headless::LiveMemoryDCs());
    renderer->Show();
    renderer->Present();
    renderer->Hide();
    renderer->SetPosition(1, 2);
    renderer->Tick(10);
    EXPECT_FALSE(renderer->Uninit());
    // A new initialisation works again.
    ASSERT_TRUE(InitDefault());
    EXPECT_TRUE(IsValidWindow(renderer->window));
}

// A host that initialises again mid-song (to move to another monitor, say) keeps
// its song on screen: the glyphs stay, the lines are prepared again for the new
// window, in both modes.
TEST_F(Lifecycle, ReinitialisingMidSongKeepsTheLyrics) {
    SongBuilder b(0, 20000);
    b.Line(1000, 5000).Word(1000, 3000, u"茉莉").Word(3000, 5000, u"花").Note(1000, 5000, 60.0f);
    b.Line(6000, 9000).Word(6000, 9000, u"好").Note(6000, 9000, 62.0f);
    ASSERT_TRUE(InitWithFlatSkin());
    renderer->SetMode(0);
    ASSERT_TRUE(renderer->SetSong(b.Build()));
    auto inkInRow = [&](int top) {
        int ink = 0;
        for (int y = top; y < top + 30; ++y)
            for (int x = 0; x < renderer->frame.width; ++x) ink += SurfacePixel(renderer->frame, x, y)[0] > 0x40;
        return ink;
    };
    PlayState s = {};
    s.timeMs = 2000;
    renderer->UpdateTime(0, &s);
    const int before = inkInRow(164);
    ASSERT_GT(before, 50);

    ASSERT_TRUE(renderer->Uninit());
    ASSERT_TRUE(renderer->InitWithSize((test_files::SourceDir() + "/tests/data/flat_skin").c_str(), host, 0, 0, 700,
                                       230, 0, false));
    s.timeMs = 2040;
    renderer->UpdateTime(40, &s);
    EXPECT_EQ(before, inkInRow(164));  // the same glyphs, at the same place
    ASSERT_FALSE(IsNotFound(FindStrip(renderer->lyricsNoteStrips, 0)));
    EXPECT_EQ(500, FindStrip(renderer->lyricsNoteStrips, 0).width);  // made for the new width

    renderer->SetMode(1);
    renderer->UpdateTime(40, &s);
    const LineStrip& text = FindStrip(renderer->gameTextStrips, 0);
    ASSERT_FALSE(IsNotFound(text));
    int textInk = 0;
    for (int i = 3; i < text.stride * text.height; i += 4) textInk += text.pixels[i] != 0;
    EXPECT_GT(textInk, 50);
}

TEST_F(Lifecycle, OperationsBeforeInitNeitherCrashNorDraw) {
    renderer->Show();
    renderer->Hide();
    renderer->Present();
    renderer->SetPosition(3, 4);
    renderer->SetMode(0);
    PlayState state = {};
    state.timeMs = 100;
    renderer->UpdateTime(10, &state);
    renderer->Tick(10);
    renderer->TickF(0.5f);
    renderer->UpdateTimeF(0.5f, &state);
    renderer->Reserved17(99);
    renderer->Reserved18();
    EXPECT_FALSE(renderer->LoadSkin("does-not-exist.imageset"));
    EXPECT_FALSE(renderer->LoadSkin(nullptr));
    EXPECT_EQ(nullptr, renderer->window);
    EXPECT_EQ(nullptr, renderer->frame.pixels);
}

// A window that cannot exist is refused before anything is made, and an earlier
// initialisation and its layout stay as they were.
TEST_F(Lifecycle, WindowsThatCannotExistAreRefused) {
    ASSERT_TRUE(InitDefault());
    RendererWindowHandle first = renderer->window;
    const int windows = headless::LiveWindows();
    const int64_t bitmaps = platform::LiveBitmaps();
    const RendererLayout good = renderer->layout;
    struct Size {
        int32_t width, height, pitchAreaHeight;
    };
    const Size refused[] = {{0, 230, 87},      {-5, 230, 87},     {100000, 230, 87}, {640, 100000, 87},
                            {640, INT32_MIN, 87}, {16384, 16384, 87}, {640, 230, 100000}, {16384, 300, 16000}};
    for (const Size& size : refused) {
        RendererLayout layout = good;
        layout.windowWidth = size.width;
        layout.windowHeight = size.height;
        layout.pitchAreaHeight = size.pitchAreaHeight;
        EXPECT_FALSE(renderer->Init("skins/none", host, 0, 0, &layout, 1, false)) << size.width << "x" << size.height;
        EXPECT_EQ(0, std::memcmp(&good, &renderer->layout, sizeof good));
        if (size.pitchAreaHeight == 87 && size.height > 0) {
            EXPECT_FALSE(renderer->InitWithSize("skins/none", host, 0, 0, size.width, size.height, 1, false));
        }
    }
    EXPECT_EQ(first, renderer->window);
    EXPECT_EQ(windows, headless::LiveWindows());
    EXPECT_EQ(bitmaps, platform::LiveBitmaps());
    const std::vector<std::string> log = Log();
    EXPECT_NE(log.end(), std::find(log.begin(), log.end(), "Init: a window of 100000 x 230 cannot be made\r\n"));
    // The largest windows that may exist.
    EXPECT_TRUE(renderer->InitWithSize("skins/none", host, 0, 0, 16384, 1024, 1, false));
    EXPECT_TRUE(renderer->InitWithSize("skins/none", host, 0, 0, 4096, 4096, 1, false));
}

// Positions stay in range whatever the host or the mouse does.
TEST_F(Lifecycle, PositionsStayInRange) {
    ASSERT_TRUE(InitDefault(0, 0, 1, true));
    renderer->SetPosition(INT32_MIN, INT32_MAX);
    EXPECT_EQ("SetWindowPos x=-2147483648,y=2147483647\r\n", Log().back());
    int x = 0, y = 0;
    renderer->GetPosition(&x, &y);
    EXPECT_EQ(-kMaxWindowCoordinate, x);
    EXPECT_EQ(kMaxWindowCoordinate, y);
    // Drag far left and down: the position saturates instead of overflowing.
    headless::SendDisplayMessage(renderer->window, kMsgLButtonDown, 0, (int32_t(0) << 16) | 0x7FFF);
    for (int i = 0; i < 2000; ++i)
        headless::SendDisplayMessage(renderer->window, kMsgMouseMove, 0, intptr_t(uint32_t(0x7FFF) << 16 | 0x8000));
    renderer->GetPosition(&x, &y);
    EXPECT_GE(x, -kMaxWindowCoordinate);
    EXPECT_LE(y, kMaxWindowCoordinate);
    // A host window far away cannot push the display window out of range either.
    ASSERT_TRUE(InitDefault(INT32_MAX, INT32_MIN));
    renderer->GetPosition(&x, &y);
    EXPECT_EQ(kMaxWindowCoordinate, x);
    EXPECT_EQ(-kMaxWindowCoordinate, y);
}

// Results say what happened: a skin that could not be read is reported and keeps
// the current one; a song the copy refuses returns false and empties the display.
TEST_F(Lifecycle, ResultsAreHonest) {
    ASSERT_TRUE(InitDefault());  // "skins/none" does not exist: still initialised
    EXPECT_EQ("Skin not loaded: skins/none\\renderer.imageset\r\n", Log()[0]);
    const std::string flat = test_files::SourceDir() + "/tests/data/flat_skin";
    EXPECT_TRUE(renderer->LoadSkin((flat + "\\renderer.imageset").c_str()));
    const uint8_t* atlas = renderer->atlas.pixels;
    const ImageRect slider = renderer->images[kImageSlider];
    EXPECT_FALSE(renderer->LoadSkin((flat + "\\missing.imageset").c_str()));
    EXPECT_FALSE(renderer->LoadSkin((flat + "\\flat.png").c_str()));  // not XML
    EXPECT_EQ(atlas, renderer->atlas.pixels);
    EXPECT_EQ(slider.width, renderer->images[kImageSlider].width);

    SongBuilder good(0, 10000);
    good.Line(1000, 2000).Word(1000, 2000, u"la").Note(1000, 2000, 60.0f);
    EXPECT_TRUE(renderer->SetSong(good.Build()));
    EXPECT_FALSE(renderer->gameNoteStrips.empty());
    SongBuilder bad(0, 10000);
    bad.Line(1000, 2000).Word(1000, 2000, std::u16string(4097, u'x'));
    EXPECT_FALSE(renderer->SetSong(bad.Build()));
    EXPECT_EQ(nullptr, renderer->song.lines);  // the previous song's lyrics do not stay
    EXPECT_TRUE(renderer->gameNoteStrips.empty());
    SongLine line = {0, 10, nullptr, 0, nullptr, 0};
    SongInfo overflowing = {80, 40, 0, 100, 0, &line, 0xFFFFFFFFu};
    EXPECT_FALSE(renderer->SetSong(&overflowing));
}

TEST_F(Lifecycle, SecondInitWithoutUninitReplacesTheWindow) {
    ASSERT_TRUE(InitDefault());
    const int windows = headless::LiveWindows();
    ASSERT_TRUE(InitDefault(1, 1));
    EXPECT_EQ(windows, headless::LiveWindows());
    EXPECT_TRUE(IsValidWindow(renderer->window));
    EXPECT_EQ(1, headless::LiveMemoryDCs());
}

TEST_F(Lifecycle, SetScoreStartsTheFadeInEachTime) {
    ScoreInfo score = {0, 12345.0f, 4};
    renderer->scorePhase = 3;
    renderer->scoreAlpha = 40;
    renderer->fadeInFrames = 0;
    renderer->holdFrames = 0;
    renderer->fadeOutFrames = 3;
    renderer->SetScore(&score);
    EXPECT_EQ(1, renderer->scorePhase);
    EXPECT_EQ(127, renderer->scoreAlpha);
    EXPECT_EQ(30, renderer->fadeInFrames);
    EXPECT_EQ(30, renderer->holdFrames);
    EXPECT_EQ(20, renderer->fadeOutFrames);
    EXPECT_EQ(1234, renderer->scoreValue);
    EXPECT_EQ(4, renderer->scoreGrade);

    score.score = -19.0f;  // truncated toward zero
    renderer->SetScore(&score);
    EXPECT_EQ(-1, renderer->scoreValue);
    const float odd[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity(), 3e38f};
    const int32_t expected[] = {0, INT32_MAX, INT32_MIN, INT32_MAX};
    for (int i = 0; i < 4; ++i) {
        score.score = odd[i];
        renderer->SetScore(&score);
        EXPECT_EQ(expected[i], renderer->scoreValue);
    }
    renderer->SetScore(nullptr);  // ignored
    EXPECT_EQ(INT32_MAX, renderer->scoreValue);
}

TEST_F(Lifecycle, SetModeStoresWithoutRedrawing) {
    ASSERT_TRUE(InitDefault());
    renderer->Show();
    const int presents = renderer->window->presentCount;
    renderer->SetMode(0);
    EXPECT_EQ(0, renderer->mode);
    EXPECT_EQ(presents, renderer->window->presentCount);
}

}  // namespace
