// call_sequence_fuzzer.cpp - random sequences of the 19 IRenderer operations and
// of the display window's messages (timer, mouse, capture, activation), called
// in any order through the interface, every argument drawn with special values:
// NaN and infinities, the ends of the integer ranges, null pointers wherever the
// interface takes a pointer, host windows that are missing or destroyed,
// skins and imagesets that are missing, broken or of another kind.
//
// Input: up to 64 operations until the input ends, each an operation byte and its
// arguments.  Layouts and sizes are kept within 512 x 256 (fuzz_song.h) and
// songs within 1024 text units, so that one input costs milliseconds.
//
// Every input starts from a fresh process's state: afterwards the renderer is
// torn down and assigned its constructed state, the host windows are destroyed
// and the headless window system is reset, so that a finding replays alone.
// Before the reset, whatever the renderer made must be gone: a display window,
// a memory device context or a registered window class left after Uninit is a
// finding.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/renderer_impl.h"
#include "fuzz_reader.h"
#include "fuzz_song.h"
#include "platform/platform.h"
#include "window/display_window.h"
#include "window/headless_window.h"

namespace {

constexpr int kMaxOperations = 64;

std::string Source(const char* path) { return std::string(RENDERER_SOURCE_DIR) + "/" + path; }

// Skin directories: none, empty, the two committed skins, a directory without an
// imageset, one that does not exist.
const char* SkinDir(uint8_t pick) {
    static const std::string dirs[] = {Source("tests/data/flat_skin"), Source("skins/default"),
                                       Source("fuzz/seeds/image"), Source("no/such/skin")};
    switch (pick % 6) {
        case 0: return nullptr;
        case 1: return "";
        default: return dirs[pick % 6 - 2].c_str();
    }
}

// Imageset paths for LoadSkin: none, empty, the committed skins' imagesets, the
// fuzz seeds (odd and broken ones), an image file, a directory, nothing there.
const char* ImagesetPath(uint8_t pick) {
    static const std::string paths[] = {
        Source("tests/data/flat_skin/renderer.imageset"), Source("skins/default/renderer.imageset"),
        Source("fuzz/seeds/imageset/odd.imageset"),       Source("fuzz/seeds/imageset/default.imageset"),
        Source("tests/data/flat_skin/renderer.png"),      Source("tests/data"),
        Source("no/such/renderer.imageset")};
    switch (pick % 9) {
        case 0: return nullptr;
        case 1: return "";
        default: return paths[pick % 9 - 2].c_str();
    }
}

struct Session {
    IRenderer* api = nullptr;
    CGDIRendererImpl* r = nullptr;
    RendererWindowHandle host = nullptr;
    RendererWindowHandle secondHost = nullptr;  // may be destroyed while the renderer holds it
    RendererWindowHandle destroyedHost = nullptr;
    RendererLayout layout = {};
    FuzzSong song;

    RendererWindowHandle Window(uint8_t pick) const {
        switch (pick % 6) {
            case 0: return host;
            case 1: return secondHost;
            case 2: return r->window;
            case 3: return destroyedHost;
            case 4: return reinterpret_cast<RendererWindowHandle>(uintptr_t(0x1000));
            default: return nullptr;
        }
    }
    RendererLayout* Layout(FuzzReader* in) {
        switch (in->Take<uint8_t>() % 3) {
            case 0: return nullptr;  // keeps the renderer's layout
            case 1: layout = CGDIRendererImpl().layout; return &layout;
            default: layout = ReadFuzzLayout(in); return &layout;
        }
    }
    static int32_t Size(int32_t v, int32_t limit) { return v > limit ? v % limit + 1 : v; }
    // A mouse position: two 16-bit halves, either from the special values or raw.
    static intptr_t Point(FuzzReader* in) {
        const uint32_t x = uint32_t(in->Int()) & 0xFFFF;
        const uint32_t y = uint32_t(in->Int()) & 0xFFFF;
        return intptr_t(int32_t(x | (y << 16)));
    }

    void Run(FuzzReader* in) {
        const uint8_t op = in->Take<uint8_t>();
        switch (op % 24) {
            case 0: {
                const char* skin = SkinDir(in->Take<uint8_t>());
                RendererWindowHandle w = Window(in->Take<uint8_t>());
                const int x = in->Int(), y = in->Int();
                RendererLayout* l = Layout(in);
                const int mode = in->Int();
                api->Init(skin, w, x, y, l, mode, in->Take<uint8_t>() & 1);
                break;
            }
            case 1: {
                const char* skin = SkinDir(in->Take<uint8_t>());
                RendererWindowHandle w = Window(in->Take<uint8_t>());
                const int x = in->Int(), y = in->Int();
                const int width = Size(in->Int(), 512), height = Size(in->Int(), 256);
                const int mode = in->Int();
                api->InitWithSize(skin, w, x, y, width, height, mode, in->Take<uint8_t>() & 1);
                break;
            }
            case 2: api->Uninit(); break;
            case 3: api->LoadSkin(ImagesetPath(in->Take<uint8_t>())); break;
            case 4: {
                const int x = in->Int();
                api->SetPosition(x, in->Int());
                break;
            }
            case 5: {
                int x = 0, y = 0;
                const uint8_t which = in->Take<uint8_t>();
                api->GetPosition((which & 1) ? &x : nullptr, (which & 2) ? &y : nullptr);
                break;
            }
            case 6: api->Show(); break;
            case 7: api->Hide(); break;
            case 8: api->SetSong((in->Take<uint8_t>() & 7) ? song.Read(in, true) : nullptr); break;
            case 9: api->ClearSong(); break;
            case 10: api->SetMode(in->Take<uint8_t>() & 1 ? in->Int() : in->Take<uint8_t>() & 1); break;
            case 11:
            case 12: {
                PlayState state = {in->UInt(), in->Float(), in->Take<uint32_t>(), 0, 0, 0, in->Take<uint32_t>()};
                PlayState* record = (in->Take<uint8_t>() & 7) ? &state : nullptr;
                if (op % 24 == 11)
                    api->UpdateTimeF(in->Float(), record);
                else
                    api->UpdateTime(in->Int(), record);
                break;
            }
            case 13: api->TickF(in->Float()); break;
            case 14: api->Tick(in->Int()); break;
            case 15: api->Present(); break;
            case 16: {
                ScoreInfo score = {in->Take<uint32_t>(), in->Float(), in->Int()};
                api->SetScore((in->Take<uint8_t>() & 7) ? &score : nullptr);
                break;
            }
            case 17: api->Reserved17(in->UInt()); break;
            case 18: api->Reserved18(); break;
            case 19: headless::SendDisplayMessage(Window(in->Take<uint8_t>()), kMsgTimer, 1, 0); break;
            case 20: {
                static constexpr uint32_t kMouse[] = {kMsgLButtonDown, kMsgMouseMove, kMsgLButtonUp,
                                                      kMsgLButtonDoubleClick, kMsgRButtonDown, kMsgRButtonUp};
                const uint32_t message = kMouse[in->Take<uint8_t>() % 6];
                const uintptr_t keys = in->UInt();
                headless::SendDisplayMessage(r->window, message, keys, Point(in));
                break;
            }
            case 21: {
                RendererWindowHandle gaining = Window(in->Take<uint8_t>());
                headless::SendDisplayMessage(r->window, kMsgCaptureChanged, 0, reinterpret_cast<intptr_t>(gaining));
                break;
            }
            case 22: {
                static constexpr uint32_t kOther[] = {kMsgActivate, kMsgSetCursor, kMsgEraseBackground};
                const uint8_t pick = in->Take<uint8_t>();
                const uint32_t message = pick < 192 ? kOther[pick % 3] : in->UInt();
                RendererWindowHandle w = Window(in->Take<uint8_t>());
                const uintptr_t wParam = in->UInt();
                headless::SendDisplayMessage(w, message, wParam, Point(in));
                break;
            }
            default: {
                const uint8_t what = in->Take<uint8_t>();
                if (what & 1) {
                    if (api != CreateRenderer()) {
                        std::fprintf(stderr, "CreateRenderer returned another renderer\n");
                        std::abort();
                    }
                } else if (secondHost) {  // the host closes a window the renderer may hold
                    destroyedHost = secondHost;
                    headless::DestroyHostWindow(secondHost);
                    secondHost = nullptr;
                } else {
                    const int32_t left = in->Int(), top = in->Int();
                    const int32_t width = Size(in->Int(), 4096);
                    secondHost = headless::CreateHostWindow(left, top, width, Size(in->Int(), 4096));
                }
                break;
            }
        }
    }
};

void Require(bool condition, const char* what) {
    if (condition) return;
    std::fprintf(stderr, "left after Uninit: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzReader in{data, size};
    Session s;
    s.api = CreateRenderer();
    s.r = static_cast<CGDIRendererImpl*>(s.api);
    const int32_t left = in.Int();
    s.host = headless::CreateHostWindow(left, in.Int(), 800, 600);
    for (int i = 0; i < kMaxOperations && !in.Done(); ++i) s.Run(&in);

    s.api->Uninit();
    s.api->ClearSong();
    Require(headless::LiveMemoryDCs() == 0, "a memory device context");
    Require(!headless::DisplayClassRegistered(), "the registered window class");
    Require(headless::LiveWindows() == 1 + (s.secondHost ? 1 : 0), "a display window");
    *s.r = CGDIRendererImpl();
    headless::ResetWindowSystem();
    platform::DebugOutputLog().clear();
    return 0;
}
