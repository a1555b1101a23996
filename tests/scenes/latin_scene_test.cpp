// A Latin verse in both modes: words separated by spaces, the wipe and the slider
// on the text, a pause in the singing; golden frames recorded once and looked at
// (the test writes latin_<mode>_<t>.png).
#include <cmath>

#include "scene_fixture.h"

namespace {

// Keyed by mode and time.
struct Golden {
    int mode;
    uint32_t timeMs;
    uint32_t crc;
};
constexpr Golden kGolden[] = {
    {0, 1800, 0xD64C8327u}, {0, 3300, 0x94B3A85Du}, {1, 1800, 0xD114EE53u}, {1, 3300, 0xDB456974u},
};

class LatinScene : public SceneTest {
protected:
    SongInfo* Verse() {
        song = SongBuilder(0, 20000, 40.0f, 80.0f);
        song.Line(1000, 4000)
            .Word(1000, 1400, u"Kein ").Word(1400, 1700, u"schö").Word(1700, 2000, u"ner ")
            .Word(2000, 2600, u"Land\u00A0").Word(2600, 3000, u"in ").Word(3000, 3400, u"die")
            .Word(3400, 4000, u"ser Zeit")
            .Note(1000, 1400, 60.0f).Note(1400, 1700, 62.0f).Note(1700, 2000, 64.0f).Note(2000, 2600, 65.0f)
            .Note(2600, 3000, 64.0f).Note(3000, 3400, 62.0f).Note(3400, 4000, 60.0f);
        song.Line(5000, 8000).Word(5000, 6000, u"als ").Word(6000, 8000, u"hier das unsre").Note(5000, 8000, 57.0f);
        return song.Build();
    }
};

TEST_F(LatinScene, GoldenFrames) {
    for (uint16_t c = 'A'; c <= 'Z'; ++c) font.sizes[c] = {14, 16};
    for (int mode : {0, 1}) {
        renderer->SetMode(mode);
        SetSong(Verse());
        uint32_t t = 0;
        for (const Golden& g : kGolden) {
            if (g.mode != mode) continue;
            for (; t <= g.timeMs; t += 40) {
                const bool pause = t >= 2400 && t < 2700;
                At(t, pause ? 0.0f : 60.0f + 4.0f * float(std::sin(t / 180.0)));
            }
            SavePng("latin_" + std::to_string(mode) + "_" + std::to_string(g.timeMs));
            EXPECT_EQ(g.crc, FrameCrc()) << "mode " << mode << " t=" << g.timeMs << " crc=0x" << std::hex
                                         << FrameCrc();
        }
    }
}

}  // namespace
