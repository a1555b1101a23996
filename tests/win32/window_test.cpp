// The layered window on real USER/GDI (under Wine): a presented frame's pixels are
// read back from the screen, premultiplied colour where the frame covers, the
// host's colour where the frame is transparent.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "core/renderer_impl.h"
#include "imaging/compositing.h"
#include "screen.h"
#include "window/display_window.h"

namespace {

const COLORREF kHostColour = RGB(200, 30, 60);

// Whether the screen at (left, top) shows `f` over the host: covered pixels as
// their premultiplied colour, transparent ones as the host's colour (every third
// row, every fifth column).
::testing::AssertionResult ScreenShows(const DibSurface& f, int left, int top) {
    const std::vector<uint8_t> px = screen::Read(left, top, f.width, f.height);
    for (int y = 0; y < f.height; y += 3)
        for (int x = 0; x < f.width; x += 5) {
            const uint8_t* s = &px[(size_t(y) * size_t(f.width) + size_t(x)) * 4];
            const uint8_t* p = SurfacePixel(f, x, y);
            const uint8_t want[3] = {p[3] ? p[0] : GetBValue(kHostColour), p[3] ? p[1] : GetGValue(kHostColour),
                                     p[3] ? p[2] : GetRValue(kHostColour)};
            if (std::memcmp(s, want, 3) != 0)
                return ::testing::AssertionFailure() << "pixel " << x << "," << y << " shows " << int(s[0]) << " "
                                                     << int(s[1]) << " " << int(s[2]);
        }
    return ::testing::AssertionSuccess();
}

class Win32Window : public ::testing::Test {
protected:
    void SetUp() override {
        renderer = static_cast<CGDIRendererImpl*>(CreateRenderer());
        host = screen::CreateHostWindow(100, 200, 800, 600, kHostColour);
        ASSERT_NE(nullptr, host);
    }
    void TearDown() override {
        renderer->Hide();
        renderer->Uninit();
        DestroyWindow(host);
        screen::Pump(50);
    }
    CGDIRendererImpl* renderer = nullptr;
    HWND host = nullptr;
};

TEST_F(Win32Window, PresentedFrameIsReadBackFromTheScreen) {
    RendererLayout layout = renderer->layout;
    ASSERT_TRUE(renderer->Init("C:\\no-skin", reinterpret_cast<RendererWindowHandle>(host), 10, 20, &layout, 7,
                               false));  // mode 7 composes nothing: the frame stays ours
    DibSurface& f = renderer->frame;
    ASSERT_NE(nullptr, f.pixels);
    // Left half opaque bands of colour, right half transparent, a stripe of half alpha.
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x) {
            uint8_t* p = SurfacePixel(f, x, y);
            if (x < 320) {
                p[0] = uint8_t(x);
                p[1] = uint8_t(y);
                p[2] = uint8_t(255 - x / 2);
                p[3] = 255;
            } else if (y >= 100 && y < 110 && x < 400) {
                p[0] = 250;
                p[1] = 120;
                p[2] = 10;
                p[3] = 128;
            }
        }
    PremultiplyAlpha(&f);
    renderer->Show();
    screen::Pump(300);
    const std::vector<uint8_t> px = screen::Read(110, 220, 640, 230);
    int checked = 0;
    for (int y = 0; y < 230; y += 3)
        for (int x = 0; x < 640; x += 5) {
            const uint8_t* s = &px[(size_t(y) * 640 + size_t(x)) * 4];
            const uint8_t* p = SurfacePixel(f, x, y);
            if (p[3] != 0) {  // Wine shows covered pixels as their premultiplied colour
                ASSERT_EQ(p[0], s[0]) << x << "," << y;
                ASSERT_EQ(p[1], s[1]) << x << "," << y;
                ASSERT_EQ(p[2], s[2]) << x << "," << y;
            } else if (p[3] == 0) {
                ASSERT_EQ(GetBValue(kHostColour), s[0]) << x << "," << y;
                ASSERT_EQ(GetGValue(kHostColour), s[1]) << x << "," << y;
                ASSERT_EQ(GetRValue(kHostColour), s[2]) << x << "," << y;
            }
            ++checked;
        }
    EXPECT_GT(checked, 5000);
    // The half-covered stripe was among the checked pixels.
    EXPECT_EQ(125, SurfacePixel(f, 350, 105)[0]);
}

TEST_F(Win32Window, ActivationIsHandedToTheHostUnlessClicked) {
    RendererLayout layout = renderer->layout;
    ASSERT_TRUE(renderer->Init("C:\\no-skin", reinterpret_cast<RendererWindowHandle>(host), 0, 0, &layout, 1,
                               false));
    HWND w = reinterpret_cast<HWND>(renderer->window);
    renderer->Show();
    screen::Pump(50);
    // A click keeps the activation.  The message sent here was not caused by a
    // real activation, so the default procedure's focusing activates the window
    // (that one activation goes back to the host, once: no bouncing).
    const int before = screen::Activations(host);
    SendMessageA(w, WM_ACTIVATE, WA_CLICKACTIVE, 0);
    screen::Pump(50);
    EXPECT_LE(screen::Activations(host) - before, 1);
    HWND other = screen::CreateHostWindow(0, 0, 50, 50, RGB(1, 2, 3));
    SetActiveWindow(other);
    screen::Pump(20);
    ASSERT_EQ(other, GetActiveWindow());
    const int beforeActive = screen::Activations(host);
    SendMessageA(w, WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_GT(screen::Activations(host), beforeActive);
    DestroyWindow(other);
    EXPECT_EQ(1, SendMessageA(w, WM_ERASEBKGND, 0, 0));
    EXPECT_EQ(1, SendMessageA(w, WM_SETCURSOR, WPARAM(w), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
}

// The display window is created visible and hidden at once; the activation changes
// of its creation are not answered by activating the host, which under Wine made
// the two windows pass the activation back and forth hundreds of times per Init.
TEST_F(Win32Window, InitialisingDoesNotBounceTheActivation) {
    SetActiveWindow(host);
    screen::Pump(20);
    const int before = screen::Activations(host);
    RendererLayout layout = renderer->layout;
    ASSERT_TRUE(renderer->Init("C:\\no-skin", reinterpret_cast<RendererWindowHandle>(host), 0, 0, &layout, 1,
                               false));
    screen::Pump(50);
    EXPECT_LE(screen::Activations(host) - before, 2);
    EXPECT_EQ(host, GetActiveWindow());
}

TEST_F(Win32Window, TimerMessagesCountFrames) {
    RendererLayout layout = renderer->layout;
    ASSERT_TRUE(renderer->Init("C:\\no-skin", reinterpret_cast<RendererWindowHandle>(host), 0, 0, &layout, 1,
                               false));
    renderer->framesThisSecond = 25;
    SendMessageA(reinterpret_cast<HWND>(renderer->window), WM_TIMER, 1, 0);
    EXPECT_EQ(25, renderer->framesLastSecond);
    EXPECT_EQ(0, renderer->framesThisSecond);
}

TEST_F(Win32Window, OwnedInitOverAnInvalidHostFails) {
    RendererLayout layout = renderer->layout;
    EXPECT_FALSE(renderer->Init("C:\\no-skin", reinterpret_cast<RendererWindowHandle>(HWND(0x1234)), 0, 0,
                                &layout, 1, false));
    EXPECT_EQ(nullptr, renderer->window);
}

}  // namespace

// Presents after the first send only the band of rows that changed: whatever
// changes between presents (a few rows, rows far apart, nothing, the window's
// place), the screen shows the whole of the latest frame.
TEST_F(Win32Window, PresentsOfChangedRowsShowTheWholeFrame) {
    RendererLayout layout = renderer->layout;
    ASSERT_TRUE(renderer->Init("C:\\no-skin", reinterpret_cast<RendererWindowHandle>(host), 10, 20, &layout, 7,
                               false));  // mode 7 composes nothing: the frame stays ours
    DibSurface& f = renderer->frame;
    ASSERT_NE(nullptr, f.pixels);
    auto paint = [&f](int y0, int y1, uint8_t shade) {  // opaque left part, half-covered right part
        for (int y = y0; y < y1; ++y)
            for (int x = 0; x < f.width; ++x) {
                uint8_t* p = SurfacePixel(f, x, y);
                const uint8_t a = x < 400 ? 255 : 128;
                p[0] = uint8_t((x + shade) * a / 255);
                p[1] = uint8_t(shade * a / 255);
                p[2] = uint8_t((y * 3) * a / 255);
                p[3] = a;
            }
    };
    paint(0, 120, 10);
    renderer->Show();
    screen::Pump(200);
    ASSERT_TRUE(ScreenShows(f, 110, 220));
    const struct {
        int y0, y1;
    } bands[] = {{40, 60}, {0, 1}, {229, 230}, {5, 6}, {0, 0}, {100, 200}};
    uint8_t shade = 60;
    for (const auto& band : bands) {
        paint(band.y0, band.y1, shade += 40);
        if (band.y0 == 5) paint(220, 221, shade);  // two rows far apart
        renderer->Present();
        screen::Pump(150);
        ASSERT_TRUE(ScreenShows(f, 110, 220)) << "rows " << band.y0 << ".." << band.y1;
    }
    renderer->SetPosition(150, 260);  // a new place (still over the host): the whole frame again
    screen::Pump(150);
    EXPECT_TRUE(ScreenShows(f, 150, 260));
    paint(70, 80, 7);
    renderer->Present();
    screen::Pump(150);
    EXPECT_TRUE(ScreenShows(f, 150, 260));
}
