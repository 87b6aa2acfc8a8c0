// The acceleration rule on arrival times, and how a program's datagrams
// begin and end its runs.
#include <gtest/gtest.h>

#include <vector>

#include "core/bridge_state.h"
#include "core/encoder_acceleration.h"

namespace {

constexpr uint32_t kKnob = KNOB_OBS;

// Steps of detents of one knob arriving `gap_ms` apart, clockwise.
std::vector<int> turn(AccelerationRun* run, int32_t limit, int detents, uint64_t gap_ms, uint64_t start_ms = 1000) {
    std::vector<int> steps;
    for (int i = 0; i < detents; ++i) steps.push_back(acceleration_steps(run, limit, kKnob, 1, start_ms + i * gap_ms));
    return steps;
}

TEST(EncoderAcceleration, FastTurnGrowsEveryTwoDetentsUpToTheLimitSlowTurnStaysOneStep) {
    AccelerationRun run{};
    EXPECT_EQ(turn(&run, 5, 12, 20), (std::vector<int>{1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 5, 5}));
    run = {};
    std::vector<int> long_turn = turn(&run, kMaxAcceleration, 5000, 79);
    EXPECT_EQ(long_turn[19], 10);
    EXPECT_EQ(long_turn.back(), 10);  // however long the run
    run = {};
    EXPECT_EQ(turn(&run, 10, 6, kAccelerationRunGapMs), (std::vector<int>(6, 1)));
    run = {};
    EXPECT_EQ(turn(&run, 1, 6, 20), (std::vector<int>(6, 1)));  // 1: off
}

TEST(EncoderAcceleration, ReversalPauseOtherKnobAndEndedRunStartAgainWithOneStep) {
    AccelerationRun run{};
    turn(&run, 10, 6, 20);  // the sixth detent at 1100 ms sent 3
    EXPECT_EQ(acceleration_steps(&run, 10, kKnob, -1, 1120), 1);  // reversal
    EXPECT_EQ(acceleration_steps(&run, 10, kKnob, -1, 1140), 1);
    EXPECT_EQ(acceleration_steps(&run, 10, kKnob, -1, 1160), 2);
    EXPECT_EQ(acceleration_steps(&run, 10, kKnob, -1, 1240), 1);  // a pause of 80 ms
    EXPECT_EQ(acceleration_steps(&run, 10, kKnob, -1, 1250), 1);
    EXPECT_EQ(acceleration_steps(&run, 10, kKnob, -1, 1260), 2);
    EXPECT_EQ(acceleration_steps(&run, 10, kKnob + 1, -1, 1270), 1);  // another knob
    EXPECT_EQ(acceleration_steps(&run, 10, kKnob + 1, -1, 1280), 1);
    EXPECT_EQ(acceleration_steps(&run, 10, kKnob + 1, -1, 1275), 1);  // an arrival before the last
    EXPECT_EQ(acceleration_steps(&run, 10, kKnob + 1, -1, 1285), 1);
    EXPECT_EQ(acceleration_steps(&run, 10, kKnob + 1, -1, 1290), 2);
    acceleration_end_run(&run);
    EXPECT_EQ(acceleration_steps(&run, 10, kKnob + 1, -1, 1300), 1);
}

class ProgramKnobs : public testing::Test {
protected:
    void SetUp() override {
        bridge_reset(program_profile(PROGRAM_NAV1), nullptr);
        g_bridge.keep_frame_rate = 1;
        g_bridge.acceleration = 10;
        g_bridge.frame_kept = 1;
    }
    // One datagram as the drain hands it over: a detent of the knob, or
    // (knob null) any other input.
    DetentSteps datagram(uint64_t at_ms, const AcceleratedKnob* knob, int single = 1) {
        g_bridge.input_arrival_ms = at_ms;
        acceleration_datagram_begins();
        DetentSteps d{0, false};
        if (knob) d = accelerated_detent(*knob, 1, single);
        acceleration_datagram_ends();
        return d;
    }
};

TEST_F(ProgramKnobs, AnyOtherDatagramBetweenTwoDetentsEndsTheRun) {
    const AcceleratedKnob obs = KNOB_OBS;
    for (uint64_t t = 0; t < 60; t += 20) datagram(t, &obs);
    EXPECT_EQ(datagram(60, &obs).count, 2);
    datagram(65, nullptr);  // a key, a page key, a push that changes the mode
    DetentSteps after = datagram(70, &obs);
    EXPECT_EQ(after.count, 1);
    EXPECT_FALSE(after.continues_run);
    EXPECT_TRUE(datagram(80, &obs).continues_run);
    // The fast mode's five steps a detent are multiplied.
    EXPECT_EQ(datagram(100, &obs, 5).count, 5);  // the fast knob is another knob
    datagram(120, &obs, 5);
    EXPECT_EQ(datagram(140, &obs, 5).count, 10);
}

TEST_F(ProgramKnobs, WithoutKeepFrameRateBelowTwoOrBeforeTheFirstFrameEveryDetentIsItsOwnSteps) {
    const AcceleratedKnob com = KNOB_COM_FRACTION;
    for (int off = 0; off < 3; ++off) {
        g_bridge.keep_frame_rate = off == 0 ? 0 : 1;
        g_bridge.acceleration = off == 1 ? 1 : 10;
        g_bridge.frame_kept = off == 2 ? 0 : 1;  // detents that waited for the first frame
        for (uint64_t t = 0; t < 200; t += 10) {
            DetentSteps d = datagram(t, &com, 5);
            EXPECT_EQ(d.count, 5);
            EXPECT_FALSE(d.continues_run);
        }
    }
}

}  // namespace
