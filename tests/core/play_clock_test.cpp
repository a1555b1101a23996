// The play clock: the first-update latch, the skipped tick after a record update,
// the 500 ms drift rule, and the float clock step with its carry.
#include <cmath>
#include <limits>

#include "renderer_fixture.h"

namespace {

class PlayClock : public RendererTest {
protected:
    void SetUp() override {
        RendererTest::SetUp();
        SongLine line = {0, 100000, nullptr, 0, nullptr, 0};
        SongInfo song = {80.0f, 40.0f, 0, 100000, 0, &line, 1};
        ASSERT_TRUE(renderer->SetSong(&song));
    }
    void Update(int elapsed, uint32_t hostTime) {
        PlayState s = {};
        s.timeMs = hostTime;
        s.pitch = 55.0f;
        renderer->UpdateTime(elapsed, &s);
    }
    uint32_t Clock() const { return renderer->playState.timeMs; }
};

TEST_F(PlayClock, TicksDoNothingBeforeTheFirstRecord) {
    renderer->Tick(40);
    renderer->TickF(0.04f);
    EXPECT_EQ(0u, Clock());
    EXPECT_FALSE(renderer->started);
}

TEST_F(PlayClock, FirstRecordIsAdoptedThenPredictionsStandUnlessTheyDrift) {
    Update(40, 1000);
    EXPECT_EQ(1000u, Clock());
    EXPECT_TRUE(renderer->started);
    EXPECT_EQ(55.0f, renderer->playState.pitch);
    Update(40, 1000);
    EXPECT_EQ(1040u, Clock());
    EXPECT_TRUE(Log().empty());
    Update(600, 1000);  // 1640 is 640 away: the host's time wins
    EXPECT_EQ(1000u, Clock());
    ASSERT_EQ(1u, Log().size());
    EXPECT_EQ("_getCurTime error.\r\n", Log()[0]);
}

TEST_F(PlayClock, DriftOf499KeepsThePredictionAnd500TakesTheHostTime) {
    Update(0, 1000);
    Update(499, 1000);
    EXPECT_EQ(1499u, Clock());
    Update(0, 1999);  // prediction 1499, host 1999: exactly 500
    EXPECT_EQ(1999u, Clock());
    Update(0, 1500);  // prediction 1999, host 1500: 499 the other way
    EXPECT_EQ(1999u, Clock());
    EXPECT_EQ(1u, Log().size());
}

TEST_F(PlayClock, DriftIsMeasuredAcrossTheUnsignedWrap) {
    Update(0, 0xFFFFFF00u);
    Update(0x200, 0xFFFFFF00u);  // prediction wraps to 0x100: 512 away
    EXPECT_EQ(0xFFFFFF00u, Clock());
    Update(0x100, 0x80u);  // prediction 0x0: 128 away, kept
    EXPECT_EQ(0x0u, Clock());
}

TEST_F(PlayClock, TheTickAfterARecordIsSkipped) {
    Update(0, 1000);
    renderer->Tick(40);
    EXPECT_EQ(1000u, Clock());
    EXPECT_FALSE(renderer->skipNextTick);
    renderer->Tick(40);
    EXPECT_EQ(1040u, Clock());
    renderer->Tick(-40);  // 32-bit arithmetic
    EXPECT_EQ(1000u, Clock());
}

TEST_F(PlayClock, FloatTicksCarryTheDroppedFractions) {
    Update(0, 0);
    renderer->Tick(0);  // consume the skip
    const uint32_t steps[] = {16, 17, 17};
    for (uint32_t step : steps) {
        const uint32_t before = Clock();
        renderer->TickF(1.0f / 60.0f);
        EXPECT_EQ(step, Clock() - before);
    }
}

TEST_F(PlayClock, FloatTicksOfOnePointFiveMsAddOneThenTwo) {
    Update(0, 0);
    renderer->Tick(0);
    renderer->TickF(0.0015f);
    EXPECT_EQ(1u, Clock());
    renderer->TickF(0.0015f);
    EXPECT_EQ(3u, Clock());
    EXPECT_EQ(3u, renderer->msTotal);
}

TEST_F(PlayClock, FloatRecordUpdatePredictsWithTheFloatStep) {
    PlayState s = {};
    s.timeMs = 2000;
    renderer->UpdateTimeF(0.5f, &s);  // first record: adopted, no step
    EXPECT_EQ(0u, renderer->msTotal);
    renderer->UpdateTimeF(0.25f, &s);
    EXPECT_EQ(2250u, Clock());
    EXPECT_EQ(250u, renderer->msTotal);
    renderer->UpdateTimeF(1.0f, &s);  // 3250 vs 2000: host wins, but the step was counted
    EXPECT_EQ(2000u, Clock());
    EXPECT_EQ(1250u, renderer->msTotal);
}

TEST_F(PlayClock, NonFiniteSecondsNeverConvertUndefined) {
    Update(0, 5000);
    renderer->Tick(0);
    const float odd[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity(), 1e30f, -1e30f};
    renderer->TickF(odd[0]);  // NaN seconds add nothing
    EXPECT_EQ(5000u, Clock());
    // The rest saturate; under the sanitizer build any undefined conversion aborts.
    for (float s : odd) renderer->TickF(s);
    PlayState st = {};
    st.timeMs = 777;
    renderer->UpdateTimeF(std::numeric_limits<float>::quiet_NaN(), &st);
    EXPECT_EQ(777u, Clock());  // the NaN step's prediction is far away: the host wins
    renderer->UpdateTime(0, nullptr);  // a missing record keeps the last one
    EXPECT_EQ(777u, Clock());
}

TEST_F(PlayClock, SetSongResetsTheLatchButNotTheSkip) {
    Update(0, 1000);
    EXPECT_TRUE(renderer->skipNextTick);
    SongLine line = {0, 10, nullptr, 0, nullptr, 0};
    SongInfo song = {80.0f, 40.0f, 0, 10, 0, &line, 1};
    renderer->SetSong(&song);
    EXPECT_FALSE(renderer->started);
    EXPECT_TRUE(renderer->skipNextTick);
    EXPECT_EQ(0u, renderer->msTotal);
    EXPECT_EQ(0.0f, renderer->secondsTotal);
}

TEST_F(PlayClock, ShowZeroesTheRecordButKeepsTheLatch) {
    Update(0, 3000);
    renderer->Show();
    EXPECT_EQ(0u, Clock());
    EXPECT_TRUE(renderer->started);
    Update(40, 50);
    EXPECT_EQ(40u, Clock());  // predicted from 0
}

}  // namespace
