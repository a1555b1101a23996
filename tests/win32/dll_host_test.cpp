// renderer.dll as a separately built host uses it: LoadLibrary, CreateRenderer by
// name, and every one of the 19 operations called by slot index through explicit
// __thiscall function-pointer types (not through the C++ class).
#include <gtest/gtest.h>
#include <windows.h>
#include <xmmintrin.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "debug_output_capture.h"
#include "renderer.h"
#include "screen.h"

namespace {

typedef bool(__thiscall* InitFn)(void*, const char*, HWND, int, int, RendererLayout*, int, bool);
typedef bool(__thiscall* InitWithSizeFn)(void*, const char*, HWND, int, int, int, int, int, bool);
typedef bool(__thiscall* BoolFn)(void*);
typedef bool(__thiscall* LoadSkinFn)(void*, const char*);
typedef void(__thiscall* SetPositionFn)(void*, int, int);
typedef void(__thiscall* GetPositionFn)(void*, int*, int*);
typedef void(__thiscall* VoidFn)(void*);
typedef bool(__thiscall* SetSongFn)(void*, SongInfo*);
typedef void(__thiscall* IntFn)(void*, int);
typedef void(__thiscall* UpdateTimeFFn)(void*, float, PlayState*);
typedef void(__thiscall* UpdateTimeFn)(void*, int, PlayState*);
typedef void(__thiscall* FloatFn)(void*, float);
typedef void(__thiscall* SetScoreFn)(void*, ScoreInfo*);
typedef void(__thiscall* Reserved17Fn)(void*, uint32_t);

const COLORREF kHostColour = RGB(40, 90, 200);

// The renderer seen through its vtable only.
class Host {
public:
    Host() {
        const char* path = std::getenv("RENDERER_DLL");
        module_ = LoadLibraryA(path ? path : "renderer.dll");
        if (!module_) return;
        auto create = reinterpret_cast<void* (*)()>(reinterpret_cast<void*>(GetProcAddress(module_, "CreateRenderer")));
        if (create) self_ = create();
    }
    bool ok() const { return self_ != nullptr; }
    void* self() const { return self_; }
    template <typename Fn>
    Fn Slot(int index) const {
        void** vtable = *static_cast<void***>(self_);
        return reinterpret_cast<Fn>(vtable[index]);
    }
    bool Init(const char* skin, HWND host, int x, int y, RendererLayout* l, int mode, bool floating) {
        return Slot<InitFn>(0)(self_, skin, host, x, y, l, mode, floating);
    }
    bool InitWithSize(const char* skin, HWND host, int x, int y, int w, int h, int mode, bool floating) {
        return Slot<InitWithSizeFn>(1)(self_, skin, host, x, y, w, h, mode, floating);
    }
    bool Uninit() { return Slot<BoolFn>(2)(self_); }
    bool LoadSkin(const char* path) { return Slot<LoadSkinFn>(3)(self_, path); }
    void SetPosition(int x, int y) { Slot<SetPositionFn>(4)(self_, x, y); }
    void GetPosition(int* x, int* y) { Slot<GetPositionFn>(5)(self_, x, y); }
    void Show() { Slot<VoidFn>(6)(self_); }
    void Hide() { Slot<VoidFn>(7)(self_); }
    bool SetSong(SongInfo* s) { return Slot<SetSongFn>(8)(self_, s); }
    void ClearSong() { Slot<VoidFn>(9)(self_); }
    void SetMode(int m) { Slot<IntFn>(10)(self_, m); }
    void UpdateTimeF(float s, PlayState* p) { Slot<UpdateTimeFFn>(11)(self_, s, p); }
    void UpdateTime(int ms, PlayState* p) { Slot<UpdateTimeFn>(12)(self_, ms, p); }
    void TickF(float s) { Slot<FloatFn>(13)(self_, s); }
    void Tick(int ms) { Slot<IntFn>(14)(self_, ms); }
    void Present() { Slot<VoidFn>(15)(self_); }
    void SetScore(ScoreInfo* s) { Slot<SetScoreFn>(16)(self_, s); }
    void Reserved17(uint32_t v) { Slot<Reserved17Fn>(17)(self_, v); }
    void Reserved18() { Slot<VoidFn>(18)(self_); }

private:
    HMODULE module_ = nullptr;
    void* self_ = nullptr;
};

Host& TheHost() {
    static Host host;
    return host;
}

HWND RendererWindow() { return FindWindowA("renderer_window_class", "renderer_window"); }

RendererLayout DefaultLayoutRecord() {
    RendererLayout l;
    const int32_t words[23] = {150, 490, 640, 77, 87, 30, 200, 230, 0x3E19999A, 22, 22, 2,
                               100, 100, 100, 100, 10, 120, 8, 150, 0, 180, 2000};
    std::memcpy(&l, words, sizeof l);
    return l;
}

class DllHost : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(TheHost().ok());
        host_ = screen::CreateHostWindow(100, 200, 800, 600, kHostColour);
        ASSERT_NE(nullptr, host_);
    }
    void TearDown() override {
        TheHost().Hide();
        TheHost().Uninit();
        DestroyWindow(host_);
        screen::Pump(50);
    }
    Host& r = TheHost();
    HWND host_ = nullptr;
};

TEST_F(DllHost, CreateRendererReturnsOneObject) {
    HMODULE module = GetModuleHandleA("renderer.dll");
    ASSERT_NE(nullptr, module);
    auto create = reinterpret_cast<void* (*)()>(reinterpret_cast<void*>(GetProcAddress(module, "CreateRenderer")));
    EXPECT_EQ(r.self(), create());
    EXPECT_EQ(r.self(), create());
}

TEST_F(DllHost, InitCreatesAHiddenLayeredWindowOverTheHost) {
    RendererLayout layout = DefaultLayoutRecord();
    ASSERT_TRUE(r.Init("C:\\no-skin", host_, 10, 20, &layout, 1, false));
    int x = 0, y = 0;
    r.GetPosition(&x, &y);
    EXPECT_EQ(110, x);
    EXPECT_EQ(220, y);
    HWND w = RendererWindow();
    ASSERT_NE(nullptr, w);
    char name[64] = {};
    GetClassNameA(w, name, sizeof name);
    EXPECT_STREQ("renderer_window_class", name);
    EXPECT_FALSE(IsWindowVisible(w));
    EXPECT_EQ(WS_EX_LAYERED, GetWindowLongA(w, GWL_EXSTYLE) & (WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW));
    EXPECT_EQ(host_, GetWindow(w, GW_OWNER));
    RECT rect;
    ASSERT_TRUE(GetWindowRect(w, &rect));
    EXPECT_EQ(110, rect.left);
    EXPECT_EQ(220, rect.top);
    EXPECT_EQ(640, rect.right - rect.left);
    EXPECT_EQ(230, rect.bottom - rect.top);

    EXPECT_TRUE(r.Uninit());
    EXPECT_EQ(nullptr, RendererWindow());
    EXPECT_FALSE(r.Uninit());  // the class is gone already
}

TEST_F(DllHost, InitWithSizeRaisesTheHeightAndFloats) {
    ASSERT_TRUE(r.InitWithSize("C:\\no-skin", host_, 0, 0, 300, 100, 1, true));
    HWND w = RendererWindow();
    ASSERT_NE(nullptr, w);
    RECT rect;
    GetWindowRect(w, &rect);
    EXPECT_EQ(300, rect.right - rect.left);
    EXPECT_EQ(230, rect.bottom - rect.top);
    const LONG ex = GetWindowLongA(w, GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_TOPMOST);
    EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
    EXPECT_EQ(nullptr, GetWindow(w, GW_OWNER));
    EXPECT_FALSE(r.InitWithSize("C:\\no-skin", nullptr, 0, 0, 300, 100, 1, false));
}

TEST_F(DllHost, EverySlotDoesItsOwnThing) {
    debug_output::Start();
    EXPECT_FALSE(r.LoadSkin(nullptr));
    EXPECT_FALSE(r.LoadSkin("C:\\missing\\renderer.imageset"));
    RendererLayout layout = DefaultLayoutRecord();
    ASSERT_TRUE(r.Init("C:\\no-skin", host_, 10, 20, &layout, 1, false));
    HWND w = RendererWindow();

    r.Show();
    screen::Pump(100);
    EXPECT_TRUE(IsWindowVisible(w));
    r.Hide();
    EXPECT_FALSE(IsWindowVisible(w));
    r.Show();

    r.SetPosition(10, 20);
    int x = 0, y = 0;
    r.GetPosition(&x, &y);
    EXPECT_EQ(10, x);
    EXPECT_EQ(20, y);
    const auto lines = debug_output::Lines();
    ASSERT_EQ(2u, lines.size());
    EXPECT_EQ("Skin not loaded: C:\\no-skin\\renderer.imageset\r\n", lines[0]);
    EXPECT_EQ("SetWindowPos x=10,y=20\r\n", lines[1]);
    screen::Pump(100);
    RECT rect;
    GetWindowRect(w, &rect);
    EXPECT_EQ(10, rect.left);
    EXPECT_EQ(20, rect.top);

    SongInfo noLines = {80.0f, 40.0f, 0, 1000, 0, nullptr, 0};
    EXPECT_FALSE(r.SetSong(&noLines));
    SongLine line = {0, 1000, nullptr, 0, nullptr, 0};
    SongInfo song = {80.0f, 40.0f, 0, 1000, 0, &line, 1};
    EXPECT_TRUE(r.SetSong(&song));
    r.SetMode(0);
    PlayState state = {};
    state.timeMs = 100;
    r.UpdateTime(40, &state);
    r.UpdateTimeF(0.04f, &state);
    r.Tick(40);
    r.TickF(0.04f);
    ScoreInfo score = {0, 5000.0f, 5};
    r.SetScore(&score);
    r.Reserved17(0xDEADBEEF);
    r.Reserved18();
    r.ClearSong();
    r.Present();
    r.GetPosition(&x, &y);
    EXPECT_EQ(10, x);
    EXPECT_EQ(20, y);
    EXPECT_EQ(2u, debug_output::Lines().size());  // nothing more than the skin and the position
}

// Without a skin a game frame is transparent down to the end of the pitch area
// (row 194): the host shows through there; the translucent dark band below is
// shown as its premultiplied colour, black.
TEST_F(DllHost, PresentedFrameShowsTheHostWhereTransparent) {
    RendererLayout layout = DefaultLayoutRecord();
    ASSERT_TRUE(r.Init("C:\\no-skin", host_, 10, 20, &layout, 1, false));
    r.Show();
    r.Present();
    screen::Pump(300);
    const std::vector<uint8_t> px = screen::Read(110, 220, 640, 230);
    for (int y = 0; y < 230; y += 3)
        for (int x = 0; x < 640; x += 7) {
            const uint8_t* p = &px[(size_t(y) * 640 + size_t(x)) * 4];
            if (y < 194) {
                ASSERT_EQ(GetBValue(kHostColour), p[0]) << x << "," << y;
                ASSERT_EQ(GetGValue(kHostColour), p[1]) << x << "," << y;
                ASSERT_EQ(GetRValue(kHostColour), p[2]) << x << "," << y;
            } else {
                ASSERT_EQ(0, p[0] | p[1] | p[2]) << x << "," << y;
            }
        }
}

// Dragging a floating window: the stored position follows the mouse travel, and
// the window moves at the next Present.  An owned window ignores the buttons.
TEST_F(DllHost, DragMovesFloatingWindowsOnly) {
    RendererLayout layout = DefaultLayoutRecord();
    ASSERT_TRUE(r.Init("C:\\no-skin", host_, 10, 20, &layout, 1, true));
    r.Show();
    screen::Pump(100);
    HWND w = RendererWindow();
    SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(25, 10));
    SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(35, 15));
    int x = 0, y = 0;
    r.GetPosition(&x, &y);
    EXPECT_EQ(140, x);
    EXPECT_EQ(230, y);
    r.Present();
    screen::Pump(100);
    RECT rect;
    GetWindowRect(w, &rect);
    EXPECT_EQ(140, rect.left);
    EXPECT_EQ(230, rect.top);
    r.Uninit();

    ASSERT_TRUE(r.Init("C:\\no-skin", host_, 10, 20, &layout, 1, false));
    r.Show();
    w = RendererWindow();
    EXPECT_EQ(1, SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5)));
    SendMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(25, 10));
    EXPECT_EQ(1, SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(35, 15)));
    EXPECT_EQ(1, SendMessageA(w, WM_RBUTTONDOWN, 0, MAKELPARAM(35, 15)));
    EXPECT_EQ(1, SendMessageA(w, WM_RBUTTONUP, 0, MAKELPARAM(35, 15)));
    r.GetPosition(&x, &y);
    EXPECT_EQ(110, x);
    EXPECT_EQ(220, y);
}

// The song repairs and the clock's drift line reach the debugger output under
// Wine exactly as in the native build.
TEST_F(DllHost, SongRepairAndClockLinesGoToTheDebuggerOutput) {
    RendererLayout layout = DefaultLayoutRecord();
    ASSERT_TRUE(r.Init("C:\\no-skin", host_, 0, 0, &layout, 1, false));
    debug_output::Start();
    SongLine line = {500, 400, nullptr, 0, nullptr, 0};
    SongInfo song = {80.0f, 40.0f, 0, 1000, 0, &line, 1};
    EXPECT_TRUE(r.SetSong(&song));
    PlayState state = {};
    state.timeMs = 1000;
    r.UpdateTime(40, &state);
    r.UpdateTime(600, &state);
    const std::vector<std::string> expected = {"_SongInfoCopy error 0\r\n", "_SongInfoCopy error 3\r\n",
                                               "_getCurTime error.\r\n"};
    EXPECT_EQ(expected, debug_output::Lines());
}

unsigned short X87Control() {
    unsigned short cw = 0;
    __asm__ __volatile__("fnstcw %0" : "=m"(cw));
    return cw;
}

// Every slot hands the host's floating-point state back unchanged.
TEST_F(DllHost, HostFloatingPointStateIsRestoredBySlot) {
    const unsigned savedCsr = _mm_getcsr();
    const unsigned short savedCw = X87Control();
    const unsigned hostCsr = 0x1F80 | 0x8000 | 0x0040 | 0x6000;  // FTZ, DAZ, round toward zero
    const unsigned short hostCw = 0x0C7F;                        // round toward zero, 24-bit precision
    auto setHost = [&] {
        _mm_setcsr(hostCsr);
        __asm__ __volatile__("fldcw %0" : : "m"(hostCw));
    };
    auto check = [&](const char* what) {
        EXPECT_EQ(hostCsr, _mm_getcsr() & ~0x3Fu) << what;
        EXPECT_EQ(hostCw, X87Control()) << what;
    };
    RendererLayout layout = DefaultLayoutRecord();
    SongLine line = {0, 1000, nullptr, 0, nullptr, 0};
    SongInfo song = {80.0f, 40.0f, 0, 1000, 0, &line, 1};
    PlayState state = {};
    ScoreInfo score = {0, 5000.0f, 5};
    int x = 0, y = 0;
    setHost(); r.Init("C:\\no-skin", host_, 1, 1, &layout, 1, false); check("Init");
    setHost(); r.LoadSkin("C:\\x"); check("LoadSkin");
    setHost(); r.SetPosition(5, 5); check("SetPosition");
    setHost(); r.GetPosition(&x, &y); check("GetPosition");
    setHost(); r.Show(); check("Show");
    setHost(); r.SetSong(&song); check("SetSong");
    setHost(); r.SetMode(0); check("SetMode");
    setHost(); r.UpdateTimeF(0.1f, &state); check("UpdateTimeF");
    setHost(); r.UpdateTime(10, &state); check("UpdateTime");
    setHost(); r.TickF(0.1f); check("TickF");
    setHost(); r.Tick(10); check("Tick");
    setHost(); r.Present(); check("Present");
    setHost(); r.SetScore(&score); check("SetScore");
    setHost(); r.ClearSong(); check("ClearSong");
    setHost(); r.Hide(); check("Hide");
    setHost(); r.Uninit(); check("Uninit");
    setHost(); r.InitWithSize("C:\\no-skin", host_, 1, 1, 640, 230, 1, false); check("InitWithSize");
    _mm_setcsr(savedCsr);
    __asm__ __volatile__("fldcw %0" : : "m"(savedCw));
}

}  // namespace
