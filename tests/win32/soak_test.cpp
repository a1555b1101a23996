// renderer.dll under Wine, cycled the way a long-running host uses it: songs set,
// played and cleared, skins reloaded, the renderer torn down and initialised
// again.  After a warm-up, neither the GDI objects of the process nor its
// committed memory may grow.
//
// GDI objects are counted over the handle table: GetObjectType on every index
// (Wine resolves a handle whose upper word is zero by its index alone), since
// Wine's GetGuiResources reports 0; on Windows GetGuiResources counts them.
// Committed memory is the sum of the committed private regions of the address
// space (VirtualQuery), which covers the heaps and the DIB sections.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "renderer.h"
#include "screen.h"

namespace {

int GdiObjects() {
    const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (reported != 0) return int(reported);
    int count = 0;
    for (uintptr_t index = 1; index < 0x10000; ++index)
        if (GetObjectType(reinterpret_cast<HGDIOBJ>(index)) != 0) ++count;
    return count;
}

int64_t CommittedBytes() {
    int64_t total = 0;
    MEMORY_BASIC_INFORMATION info;
    for (const char* at = nullptr; VirtualQuery(at, &info, sizeof info) == sizeof info;) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) total += int64_t(info.RegionSize);
        const char* next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
        if (next <= at) break;
        at = next;
    }
    return total;
}

// A song of `lines` lines of Latin and CJK words with a note each.
class Song {
public:
    explicit Song(int lines) {
        static const std::u16string kWords[] = {u"Twinkle ", u"twinkle ", u"茉莉花", u"little ", u"星星"};
        text_.reserve(size_t(lines) * 4);
        for (int i = 0; i < lines * 4; ++i) text_.push_back(kWords[i % 5]);
        words_.resize(size_t(lines) * 4);
        notes_.resize(size_t(lines) * 4);
        lines_.resize(size_t(lines));
        for (int i = 0; i < lines * 4; ++i) {
            const uint32_t start = 1000 + uint32_t(i) * 500;
            words_[size_t(i)] = {start, start + 450, reinterpret_cast<const uint16_t*>(text_[size_t(i)].c_str()),
                                 uint32_t(text_[size_t(i)].size())};
            notes_[size_t(i)] = {start, start + 450, 50.0f + float(i % 12)};
        }
        for (int l = 0; l < lines; ++l) {
            const uint32_t start = 1000 + uint32_t(l) * 2000;
            lines_[size_t(l)] = {start, start + 1950, &words_[size_t(l) * 4], 4, &notes_[size_t(l) * 4], 4};
        }
        info_ = {70.0f, 40.0f, 0, 1000 + uint32_t(lines) * 2000, 0, lines_.data(), uint32_t(lines)};
    }
    SongInfo* Info() { return &info_; }
    uint32_t End() const { return info_.endTime; }

private:
    std::vector<std::u16string> text_;
    std::vector<SongWord> words_;
    std::vector<SongNote> notes_;
    std::vector<SongLine> lines_;
    SongInfo info_;
};

class Soak : public ::testing::Test {
protected:
    void SetUp() override {
        const char* dll = std::getenv("RENDERER_DLL");
        const char* source = std::getenv("RENDERER_SOURCE_DIR");
        ASSERT_NE(nullptr, source);
        source_ = source;
        module_ = LoadLibraryA(dll ? dll : "renderer.dll");
        ASSERT_NE(nullptr, module_);
        auto create =
            reinterpret_cast<IRenderer* (*)()>(reinterpret_cast<void*>(GetProcAddress(module_, "CreateRenderer")));
        ASSERT_NE(nullptr, create);
        r = create();
        ASSERT_NE(nullptr, r);
        host_ = screen::CreateHostWindow(100, 200, 800, 600, RGB(20, 20, 20));
        ASSERT_NE(nullptr, host_);
    }
    void TearDown() override {
        if (r) {
            r->Hide();
            r->ClearSong();
            r->Uninit();
        }
        if (host_) DestroyWindow(host_);
        screen::Pump(20);
    }
    std::string Skin(const char* name) const { return source_ + "\\" + name; }
    bool Init(const char* skin, int mode, bool floating) {
        RendererLayout layout = DefaultLayout();
        return r->Init(Skin(skin).c_str(), host_, 10, 20, &layout, mode, floating);
    }
    // Plays `frames` frames across the song, each presented, with the host's
    // messages (the one-second timer among them) dispatched in between.
    void Play(Song* song, int frames) {
        r->Show();
        for (int i = 0; i < frames; ++i) {
            PlayState state = {};
            state.timeMs = uint32_t(uint64_t(song->End()) * uint32_t(i) / uint32_t(frames));
            state.pitch = i % 5 == 0 ? 0.0f : 45.0f + float(i % 20);
            if (i % 3 == 0)
                r->UpdateTime(int(song->End() / uint32_t(frames)), &state);
            else
                r->Tick(int(song->End() / uint32_t(frames)));
            r->Present();
            if (i == frames / 2) {
                ScoreInfo score = {0, 8500.0f, 4};
                r->SetScore(&score);
            }
        }
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    static RendererLayout DefaultLayout() {
        static const int32_t kWords[23] = {150, 490, 640, 77, 87, 30, 200, 230, 0x3E19999A, 22, 22, 2,
                                           100, 100, 100, 100, 10, 120, 8, 150, 0, 180, 2000};
        RendererLayout l;
        std::memcpy(&l, kWords, sizeof l);
        return l;
    }
    // Runs `cycle` for every variant once to warm up (cycles vary with i % 4), then
    // `count` times, and requires the GDI objects to be exactly as many and the
    // committed memory to have grown by less than `slack` bytes (heap bookkeeping)
    // over the measured cycles.
    template <typename Cycle>
    void ExpectFlat(const char* what, int count, Cycle cycle, int64_t slack = int64_t(512) << 10) {
        for (int i = 0; i < 4; ++i) cycle(i);
        const int gdiBefore = GdiObjects();
        const int64_t memoryBefore = CommittedBytes();
        for (int i = 0; i < count; ++i) cycle(i);
        const int gdiAfter = GdiObjects();
        const int64_t memoryAfter = CommittedBytes();
        EXPECT_GT(gdiBefore, 0) << what << ": the GDI objects cannot be counted";
        EXPECT_EQ(gdiBefore, gdiAfter) << what << ": GDI objects after " << count << " cycles";
        EXPECT_LT(memoryAfter - memoryBefore, slack)
            << what << ": committed memory " << memoryBefore << " -> " << memoryAfter << " after " << count
            << " cycles";
        std::printf("%s: %d cycles, GDI objects %d -> %d, committed memory %lld -> %lld KiB\n", what, count,
                    gdiBefore, gdiAfter, static_cast<long long>(memoryBefore >> 10),
                    static_cast<long long>(memoryAfter >> 10));
    }

    IRenderer* r = nullptr;

private:
    std::string source_;
    HMODULE module_ = nullptr;
    HWND host_ = nullptr;
};

// The two counters see what a leak would leave: bitmaps and committed pages.
TEST_F(Soak, CountersSeeObjectsAndMemoryThatStay) {
    HDC screen = GetDC(nullptr);
    const int gdiBefore = GdiObjects();
    const int64_t memoryBefore = CommittedBytes();
    HBITMAP bitmaps[3];
    for (HBITMAP& b : bitmaps) b = CreateCompatibleBitmap(screen, 64, 64);
    void* pages = VirtualAlloc(nullptr, 4 << 20, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    ASSERT_NE(nullptr, pages);
    EXPECT_EQ(gdiBefore + 3, GdiObjects());
    EXPECT_GE(CommittedBytes() - memoryBefore, int64_t(4) << 20);
    for (HBITMAP b : bitmaps) DeleteObject(b);
    VirtualFree(pages, 0, MEM_RELEASE);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(gdiBefore, GdiObjects());
    EXPECT_LT(CommittedBytes() - memoryBefore, int64_t(4) << 20);
}

TEST_F(Soak, SongsSetPlayedAndClearedLeaveNothingBehind) {
    ASSERT_TRUE(Init("skins\\default", 1, false));
    Song shortSong(2), longSong(6);
    ExpectFlat("songs", 40, [&](int i) {
        r->SetMode(i % 2);
        Song* song = i % 4 == 0 ? &longSong : &shortSong;
        ASSERT_TRUE(r->SetSong(song->Info()));
        Play(song, 8);
        r->Hide();
        r->ClearSong();
    });
}

TEST_F(Soak, SkinReloadsLeaveNothingBehind) {
    ASSERT_TRUE(Init("skins\\default", 0, false));
    Song song(2);
    ASSERT_TRUE(r->SetSong(song.Info()));
    const std::string skins[] = {Skin("skins\\default\\renderer.imageset"),
                                 Skin("tests\\data\\flat_skin\\renderer.imageset"),
                                 Skin("no\\such\\skin\\renderer.imageset"),
                                 Skin("tests\\data\\flat_skin\\renderer.imageset")};
    ExpectFlat("skin reloads", 60, [&](int i) {
        r->LoadSkin(skins[i % 4].c_str());
        Play(&song, 2);
    });
}

TEST_F(Soak, ReinitialisationsLeaveNothingBehind) {
    Song song(3);
    ExpectFlat("initialisations", 4, [&](int i) {
        ASSERT_TRUE(Init(i % 2 ? "skins\\default" : "tests\\data\\flat_skin", i % 2, i % 4 == 1));
        ASSERT_TRUE(r->SetSong(song.Info()));
        Play(&song, 4);
        r->Hide();
        r->Uninit();
    });
}

}  // namespace
