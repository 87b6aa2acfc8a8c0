// ADF-Relay's panel logic through the update cycle: both panel versions, the
// keys, the double push, the input countdown and the display. Simulator calls
// go to the recording fake, lines over loopback to the stand-in panel socket.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/bridge_state.h"
#include "core/tests/fake_simconnect.h"
#include "panels/adf/adf_panel.h"
#include "panels/test_support/panel_test_harness.h"

namespace {

using Events = std::vector<SentEvent>;
using Ids = std::vector<uint32_t>;
using Lines = std::vector<std::string>;

constexpr uint32_t kCompleteSet = 45, kSwap = 55, kCardInc = 56, kCardDec = 57, kIdent = 59;
constexpr uint32_t kHundredsInc = 51, kTensInc = 52;
const Events kUnchangedSet{{kCompleteSet, 0x03445000}};

class AdfPanel : public ::testing::Test {
protected:
    void SetUp() override {
        fake_sim::reset();
        bridge_reset(program_profile(PROGRAM_ADF), &kAdfPanelHooks);
        ASSERT_TRUE(adf_panel_start());
        ASSERT_TRUE(link_.open());
        g_bridge.encoder_version = 1;
        g_bridge.panel_connected = 1;
    }
    void TearDown() override { link_.close(); }

    // Active 344.5 kHz, standby 250.5 kHz, everything powered.
    static TestFrame powered(double time = 1000.0) {
        TestFrame f(LAYOUT_ADF);
        f.i32("AVIONICS MASTER SWITCH", 1).i32("CIRCUIT GENERAL PANEL ON", 1);
        f.f64("ADF ACTIVE FREQUENCY:1", 344.5, "KHz").f64("ADF STANDBY FREQUENCY:1", 250.5, "KHz");
        f.i32("ADF ACTIVE FREQUENCY:1", 0x03445000, "Frequency ADF BCD32");
        f.i32("ADF STANDBY FREQUENCY:1", 0x02505000, "Frequency ADF BCD32");
        f.f64("ABSOLUTE TIME", time, "seconds");
        return f;
    }

    // One frame through the update cycle with these datagrams from the panel;
    // the lines it sent. The identity check is kept out of the way.
    Lines frame(std::initializer_list<const char*> codes, const TestFrame& f = powered()) {
        for (const char* code : codes) link_.send_from_panel(code);
        g_bridge.frame_counter = 0;
        link_.run_frame(f);
        return link_.lines();
    }
    void input(const char* code, const TestFrame& f = powered()) { adf_input(code, f.data()); }
    void end_frames(int n) {
        for (int i = 0; i < n; ++i) adf_countdown(nullptr);
    }

    AdfPanelState& p = g_adf_panel;
    PanelLoopback link_;
};

TEST_F(AdfPanel, StepsInOneFrameAddUpAndTheNextFrameStartsFromTheSimulator) {
    p.adf_page = ADF_PAGE_NEEDLE;
    p.edit.digit_cursor = DIGIT_TENTHS;
    g_bridge.input_countdown = 50;
    frame({"R+", "R+"});
    EXPECT_EQ(take_sent_events(), (Events{{kCompleteSet, 0x03446000}, {kCompleteSet, 0x03447000}}));
    frame({"R+"});
    EXPECT_EQ(take_sent_events(), (Events{{kCompleteSet, 0x03446000}}));
    EXPECT_EQ(g_bridge.input_countdown, kAdfInputFrames - 1);  // restarted, then one frame ended
}

TEST_F(AdfPanel, VersionOneDoublePushSelectsTheCardAndAPushTogglesFast) {
    frame({"R+", "P", "R+"});  // frequencies page: the cursor moves on
    EXPECT_EQ(take_event_ids(), (Ids{kHundredsInc, kTensInc}));
    end_frames(kAdfPressFrames);
    frame({"M", "P", "P", "R+"});
    EXPECT_TRUE(p.edit.card_select);
    Events want{{kCardInc, 0}};
    want.insert(want.end(), kUnchangedSet.begin(), kUnchangedSet.end());
    EXPECT_EQ(take_sent_events(), want);

    g_bridge.standby = 1;
    frame({"P", "R-"});
    Events fast(5, SentEvent{kCardDec, 0});
    fast.insert(fast.end(), {{kCompleteSet, 0x03445000}, {kSwap, 0}, {kCompleteSet, 0x02505000}});
    EXPECT_EQ(take_sent_events(), fast);
}

TEST_F(AdfPanel, VersionTwoTurnsTheCardFastWithTheSecondEncoderAndPushesOnlyForTheDoublePush) {
    g_bridge.encoder_version = 2;
    frame({"M", "P", "P", "R1+", "R2-"});
    ASSERT_TRUE(p.edit.card_select);
    Events want{{kCardInc, 0}, {kCompleteSet, 0x03445000}};
    want.insert(want.end(), 5, SentEvent{kCardDec, 0});
    want.push_back({kCompleteSet, 0x03445000});
    EXPECT_EQ(take_sent_events(), want);

    uint8_t cursor = p.edit.digit_cursor;
    g_bridge.input_countdown = 50;
    input("P");
    EXPECT_EQ(p.edit.digit_cursor, cursor);
    EXPECT_EQ(p.edit.card_fast, 0);
    EXPECT_EQ(g_bridge.input_countdown, 50);
    input("P");  // the double push restarts the countdown
    EXPECT_EQ(g_bridge.input_countdown, kAdfInputFrames);
}

TEST_F(AdfPanel, FastTurnAcceleratesTheCardButNeverTheDigits) {
    g_bridge.encoder_version = 2;
    accelerate(10);
    turn_knob("R1+", powered(), 4, 20, 1000);  // frequencies page: the simulator's digit steps
    EXPECT_EQ(take_event_ids(), Ids(4, kHundredsInc));
    frame({"M", "P", "P"});
    ASSERT_TRUE(p.edit.card_select);
    turn_knob("R2-", powered(), 3, 20, 3000);  // the card: five steps a detent, 5, 5, 10
    Events want;
    for (int steps : {5, 5, 10}) {
        want.insert(want.end(), steps, SentEvent{kCardDec, 0});
        want.insert(want.end(), kUnchangedSet.begin(), kUnchangedSet.end());
    }
    EXPECT_EQ(take_sent_events(), want);
}

TEST_F(AdfPanel, DoublePushWindowAndInputModesRunOutInFrames) {
    input("P");
    input("R+");  // encoder steps leave the window alone
    end_frames(kAdfPressFrames - 1);
    input("P");
    EXPECT_TRUE(p.edit.card_select);

    ASSERT_TRUE(adf_panel_start());
    input("P");
    end_frames(kAdfPressFrames);
    input("P");
    EXPECT_FALSE(p.edit.card_select);
    end_frames(kAdfInputFrames);
    EXPECT_EQ(p.edit.digit_cursor, DIGIT_UNITS);
    end_frames(1);
    EXPECT_EQ(p.edit.digit_cursor, DIGIT_HUNDREDS);

    // A key clears the countdown: the cursor is back by the end of its frame.
    frame({"P", "S"});
    EXPECT_EQ(p.edit.digit_cursor, DIGIT_HUNDREDS);
}

TEST_F(AdfPanel, KeysPagesIdentAndTheClock) {
    g_bridge.input_countdown = 50;
    input("T");  // ident ends the input mode like every key off the clock page
    EXPECT_EQ(g_bridge.input_countdown, 0);
    frame({"S", "T", "M", "T", "M"});
    EXPECT_EQ(take_event_ids(), (Ids{kIdent, kSwap, kIdent, kIdent}));
    frame({"T"}, powered(1000.0));  // on the clock page: started at this frame's time
    EXPECT_EQ(frame({}, powered(4725.0)), (Lines{"B>ON", "H>ADF           ET", "F> 344.5     62:05"}));
    frame({"T", "T"}, powered(5000.0));  // stopped, reset
    EXPECT_EQ(frame({}, powered(6000.0))[2], "F> 344.5     00:00");
    frame({"T", "M"}, powered(6000.0));       // started, then left to run unseen
    frame({"M", "M", "T"}, powered(6090.0));  // back and stopped in one frame: its time
    EXPECT_EQ(frame({}, powered(7000.0))[2], "F> 344.5     01:30");
    EXPECT_EQ(take_event_ids(), Ids{});
}

TEST_F(AdfPanel, InputNeedsPowerAndAnIntactRadioAndPowerOffResetsPageAndClock) {
    TestFrame off = powered(), no_circuit = powered(), failed = powered(), partly = powered();
    off.i32("AVIONICS MASTER SWITCH", 0);
    no_circuit.i32("CIRCUIT GENERAL PANEL ON", 0);
    failed.i32("PARTIAL PANEL ADF:1", 1, "Enum");
    partly.i32("PARTIAL PANEL ADF:1", 2, "Enum");
    for (const TestFrame* f : {&off, &no_circuit, &failed, &partly}) {
        for (const char* code : {"R+", "P", "M", "S", "T"}) input(code, *f);
    }
    EXPECT_EQ(take_event_ids(), Ids{});
    EXPECT_EQ(g_bridge.input_countdown, 0);

    p.adf_page = ADF_PAGE_CLOCK;
    input("T");
    EXPECT_EQ(frame({}, failed), (Lines{"H>                ", "F>                ", "B>OFF"}));
    EXPECT_EQ(p.adf_page, ADF_PAGE_FREQUENCIES);
    EXPECT_EQ(p.edit.et_state, CLOCK_RESET);
    EXPECT_EQ(frame({}, partly)[0], "B>ON");
}

TEST_F(AdfPanel, CursorHeaderOnlyWithTheStandbyOptionWhileTheCountdownRuns) {
    EXPECT_EQ(frame({"P"})[1], "H>ADF      Standby");
    g_bridge.standby = 1;
    EXPECT_EQ(frame({"P"})[1], "H>ADF          |  ");
    g_bridge.input_countdown = 0;
    EXPECT_EQ(frame({})[1], "H>ADF      Standby");
}

TEST_F(AdfPanel, TestModeTwoPrintsTheDigitsOnlyAndOddCodesAreIgnored) {
    p.adf_page = ADF_PAGE_CLOCK;
    adf_prepare(powered().data());
    g_bridge.testmode = 1;
    ::testing::internal::CaptureStdout();
    input("R+");
    g_bridge.testmode = 2;
    input("R+");
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "05445\n05445\n");
    take_event_ids();

    for (const char* code : {"R1+", "R", "X", "", "s"}) input(code);
    g_bridge.encoder_version = 2;
    for (const char* code : {"R+", "R3+", "R1", "R1x"}) input(code);
    g_bridge.encoder_version = 0;  // no known version: keys only
    for (const char* code : {"R+", "R1+", "P", "S"}) input(code);
    EXPECT_EQ(take_event_ids(), (Ids{kSwap}));
}

TEST_F(AdfPanel, TakesEveryCodeItsPanelSends) { expect_takes_every_panel_code("adf", kAdfPanelHooks.takes_code); }

}  // namespace
