// The display window's procedure: dragging a floating window, swallowed buttons,
// the frame counter timer, activation and the cursor.
#include "renderer_fixture.h"
#include "window/display_window.h"

namespace {

intptr_t Point(int x, int y) { return intptr_t(uint32_t(uint16_t(int16_t(x))) | (uint32_t(uint16_t(int16_t(y))) << 16)); }

class DisplayWindow : public RendererTest {
protected:
    intptr_t Send(uint32_t message, uintptr_t wParam, intptr_t lParam) {
        return headless::SendDisplayMessage(renderer->window, message, wParam, lParam);
    }
    void Position(int* x, int* y) { renderer->GetPosition(x, y); }
};

TEST_F(DisplayWindow, FloatingWindowDragsByTheMouseTravel) {
    ASSERT_TRUE(InitDefault(0, 0, 1, true));  // at (100, 200)
    EXPECT_EQ(0, Send(kMsgLButtonDown, 0, Point(5, 5)));
    EXPECT_TRUE(renderer->dragging);
    EXPECT_EQ(renderer->window, headless::CaptureWindow());
    EXPECT_EQ(0, Send(kMsgMouseMove, 0, Point(25, 10)));
    EXPECT_EQ(0, Send(kMsgLButtonUp, 0, Point(35, 15)));
    EXPECT_FALSE(renderer->dragging);
    EXPECT_EQ(nullptr, headless::CaptureWindow());
    int x = 0, y = 0;
    Position(&x, &y);
    EXPECT_EQ(130, x);
    EXPECT_EQ(210, y);
    // The window itself moves at the next present.
    EXPECT_EQ(100, renderer->window->x);
    renderer->Present();
    EXPECT_EQ(130, renderer->window->x);
    EXPECT_EQ(210, renderer->window->y);
}

TEST_F(DisplayWindow, MovesWithoutAPressDoNothingAndCaptureLossEndsTheDrag) {
    ASSERT_TRUE(InitDefault(0, 0, 1, true));
    Send(kMsgMouseMove, 0, Point(50, 50));
    int x = 0, y = 0;
    Position(&x, &y);
    EXPECT_EQ(100, x);
    Send(kMsgLButtonDown, 0, Point(0, 0));
    Send(kMsgCaptureChanged, 0, reinterpret_cast<intptr_t>(host));
    EXPECT_FALSE(renderer->dragging);
    Send(kMsgMouseMove, 0, Point(-20, -30));  // sign-extended coordinates
    Position(&x, &y);
    EXPECT_EQ(100, x);
    Send(kMsgCaptureChanged, 0, reinterpret_cast<intptr_t>(renderer->window));
    EXPECT_TRUE(renderer->dragging);
    Send(kMsgMouseMove, 0, Point(-20, -30));
    Position(&x, &y);
    EXPECT_EQ(80, x);
    EXPECT_EQ(170, y);
}

TEST_F(DisplayWindow, OwnedWindowSwallowsButtonsAndDoesNotMove) {
    ASSERT_TRUE(InitDefault(0, 0, 1, false));
    const int defaults = headless::DefaultProcCalls();
    for (uint32_t m : {kMsgLButtonDown, kMsgLButtonUp, kMsgRButtonDown, kMsgRButtonUp})
        EXPECT_EQ(1, Send(m, 0, Point(5, 5)));
    Send(kMsgMouseMove, 0, Point(40, 40));
    EXPECT_FALSE(renderer->dragging);
    int x = 0, y = 0;
    Position(&x, &y);
    EXPECT_EQ(100, x);
    EXPECT_EQ(200, y);
    EXPECT_EQ(defaults + 1, headless::DefaultProcCalls());  // only the mouse move went on
    Send(kMsgLButtonDoubleClick, 0, Point(1, 1));
    EXPECT_EQ(defaults + 2, headless::DefaultProcCalls());
}

TEST_F(DisplayWindow, FloatingWindowSwallowsRightButtons) {
    ASSERT_TRUE(InitDefault(0, 0, 1, true));
    const int defaults = headless::DefaultProcCalls();
    EXPECT_EQ(1, Send(kMsgRButtonDown, 0, Point(5, 5)));
    EXPECT_EQ(1, Send(kMsgRButtonUp, 0, Point(5, 5)));
    EXPECT_EQ(defaults, headless::DefaultProcCalls());
}

TEST_F(DisplayWindow, TimerCountsTheFramesOfTheLastSecond) {
    ASSERT_TRUE(InitDefault());
    renderer->framesThisSecond = 25;
    Send(kMsgTimer, 1, 0);
    EXPECT_EQ(25, renderer->framesLastSecond);
    EXPECT_EQ(0, renderer->framesThisSecond);
}

// The activation goes back to the host once, without the default procedure (which
// would focus the display window again); the deactivation that the hand-over
// causes gets the default answer only.
TEST_F(DisplayWindow, ActivationGoesBackToTheHostUnlessClicked) {
    ASSERT_TRUE(InitDefault());
    const int defaults = headless::DefaultProcCalls();
    Send(kMsgActivate, kClickActive, 0);
    EXPECT_EQ(nullptr, headless::ActiveWindow());
    EXPECT_EQ(defaults + 1, headless::DefaultProcCalls());
    Send(kMsgActivate, 0 /* WA_INACTIVE */, 0);
    EXPECT_EQ(host, headless::ActiveWindow());
    EXPECT_EQ(defaults + 1, headless::DefaultProcCalls());

    ActivateWindow(renderer->window);  // the display window is active, as after a click
    const int activations = headless::Activations();
    Send(kMsgActivate, 1 /* WA_ACTIVE */, 0);
    EXPECT_EQ(host, headless::ActiveWindow());
    EXPECT_EQ(activations + 1, headless::Activations());  // handed over once, not again when told it lost it
    EXPECT_EQ(defaults + 2, headless::DefaultProcCalls());
}

TEST_F(DisplayWindow, EraseAndCursorMessagesAreHandledHere) {
    ASSERT_TRUE(InitDefault());
    const int arrows = headless::ArrowCursorCalls();
    EXPECT_EQ(1, Send(kMsgEraseBackground, 0, 0));
    EXPECT_EQ(1, Send(kMsgSetCursor, 0, 0));
    EXPECT_EQ(arrows + 1, headless::ArrowCursorCalls());
}

}  // namespace
