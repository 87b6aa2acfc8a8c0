// The acceleration rule on arrival times, and the runs of a program's datagrams.
#include <gtest/gtest.h>

#include <vector>

#include "core/bridge_state.h"
#include "core/encoder_acceleration.h"

namespace {

using Steps = std::vector<int>;

// Steps of detents of one knob in one direction, at the given arrival times.
Steps detents(AccelerationRun* run, int32_t limit, std::vector<uint64_t> at, uint32_t knob = KNOB_OBS, int dir = 1) {
    Steps steps;
    for (uint64_t ms : at) steps.push_back(acceleration_steps(run, limit, knob, dir, ms));
    return steps;
}

std::vector<uint64_t> every(uint64_t gap_ms, int count, uint64_t from = 1000) {
    std::vector<uint64_t> at;
    for (int i = 0; i < count; ++i) at.push_back(from + i * gap_ms);
    return at;
}

TEST(EncoderAcceleration, FastTurnGrowsEveryTwoDetentsUpToTheLimitSlowTurnStaysOneStep) {
    AccelerationRun run{};
    EXPECT_EQ(detents(&run, 5, every(20, 12)), (Steps{1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 5, 5}));
    EXPECT_EQ(detents(&run, 10, every(79, 5000, 2000)).back(), 10);  // however long the run
    EXPECT_EQ(detents(&run, 10, every(kAccelerationRunGapMs, 6, 9000000)), Steps(6, 1));
    EXPECT_EQ(detents(&run, 1, every(20, 6, 9100000)), Steps(6, 1));  // 1: off
}

TEST(EncoderAcceleration, ReversalPauseOtherKnobAndEndedRunStartAgainWithOneStep) {
    AccelerationRun run{};
    detents(&run, 10, every(20, 6));                                                 // last at 1100, 3 steps
    EXPECT_EQ(detents(&run, 10, {1120, 1140, 1160}, KNOB_OBS, -1), (Steps{1, 1, 2}));  // reversal
    EXPECT_EQ(detents(&run, 10, {1240, 1250, 1260}, KNOB_OBS, -1), (Steps{1, 1, 2}));  // pause of 80 ms
    EXPECT_EQ(detents(&run, 10, {1270, 1280}, KNOB_ADF_CARD, -1), (Steps{1, 1}));     // another knob
    EXPECT_EQ(detents(&run, 10, {1275, 1285, 1290}, KNOB_ADF_CARD, -1), (Steps{1, 1, 2}));  // arrived before
    acceleration_end_run(&run);
    EXPECT_EQ(detents(&run, 10, {1300}, KNOB_ADF_CARD, -1), (Steps{1}));
}

// One datagram as the update cycle hands it over: a detent of the knob
// `single` steps at a time, or (single 0) any other input.
DetentSteps datagram(uint64_t at_ms, int single = 1, AcceleratedKnob knob = KNOB_OBS) {
    g_bridge.input_arrival_ms = at_ms;
    acceleration_datagram_begins();
    DetentSteps d{0, false};
    if (single > 0) d = accelerated_detent(knob, 1, single);
    acceleration_datagram_ends();
    return d;
}

TEST(ProgramKnobs, AnyOtherDatagramEndsTheRunFiveAreMultipliedAndQueuedDetentsAreSingle) {
    bridge_reset(program_profile(PROGRAM_NAV1), nullptr);
    g_bridge.keep_frame_rate = 1;
    g_bridge.acceleration = 10;
    g_bridge.frame_kept = 1;
    for (uint64_t t : {0, 20, 40}) datagram(t);
    EXPECT_EQ(datagram(60).count, 2);
    datagram(65, 0);  // a key, a page key, a push that changes the mode
    DetentSteps after = datagram(70);
    EXPECT_EQ(after.count, 1);
    EXPECT_FALSE(after.continues_run);
    EXPECT_TRUE(datagram(80).continues_run);
    EXPECT_EQ(datagram(100, 5).count, 5);  // the five-step knob is another knob
    datagram(120, 5);
    EXPECT_EQ(datagram(140, 5).count, 10);

    g_bridge.frame_kept = 0;  // detents that waited for the connection's first frame
    for (uint64_t t : {200, 210, 220}) EXPECT_EQ(datagram(t, 5, KNOB_COM_FRACTION).count, 5);
}

}  // namespace
