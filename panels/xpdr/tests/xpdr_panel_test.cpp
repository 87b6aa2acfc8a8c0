// The transponder panel's steps. Simulator calls go to the recording fake;
// display lines go over loopback UDP to a socket standing in for the panel.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/bridge_state.h"
#include "core/tests/fake_simconnect.h"
#include "panels/test_support/panel_test_harness.h"
#include "panels/xpdr/xpdr_panel.h"

namespace {

using Ids = std::vector<uint32_t>;
using Writes = std::vector<int32_t>;
using Lines = std::vector<std::string>;

// XPDR-Relay's ids of XPNDR_1000_DEC, XPNDR_100_DEC, XPNDR_1000_INC,
// XPNDR_1_INC, XPNDR_SET and XPNDR_IDENT_ON.
constexpr uint32_t k1000Dec = 64, k100Dec = 65, k1000Inc = 68, k1Inc = 71, kSet = 72, kIdentOn = 74;

class XpdrPanel : public ::testing::Test {
protected:
    void SetUp() override {
        fake_sim::reset();
        bridge_reset(program_profile(PROGRAM_XPDR), &kXpdrPanelHooks);
        ASSERT_TRUE(xpdr_panel_start());
        ASSERT_TRUE(link_.open());
        g_bridge.encoder_version = 1;
    }
    void TearDown() override { link_.close(); }

    // A powered transponder in the given state, code 1200, 4,960 ft.
    static TestFrame frame(int32_t state = XPDR_ALT) {
        TestFrame f(LAYOUT_XPDR);
        f.i32("AVIONICS MASTER SWITCH", 1).i32("CIRCUIT GENERAL PANEL ON", 1);
        f.i32("TRANSPONDER STATE:1", state, "Enum").i32("TRANSPONDER CODE:1", 0x1200, "BCO16");
        f.f64("PRESSURE ALTITUDE", 4960.0, "feet").f64("INDICATED ALTITUDE", 5040.0, "feet");
        return f;
    }
    void input(const char* text, int32_t state = XPDR_ALT) { xpdr_input(text, frame(state).data()); }
    void frames(int count) {
        for (int i = 0; i < count; ++i) xpdr_countdown(frame().data());
    }
    // The lines one frame sends.
    Lines shown(const TestFrame& f) {
        xpdr_prepare(f.data());
        xpdr_display(f.data());
        return link_.lines();
    }
    std::string header(int32_t state = XPDR_ALT) {
        Lines got = shown(frame(state));
        return got.size() == 3 ? got[1] : "(" + std::to_string(got.size()) + " lines)";
    }
    const TransponderEntry& entry() const { return g_xpdr_panel.entry; }

    PanelLoopback link_;
};

TEST_F(XpdrPanel, SingleEncoderSetsTheDigitUnderTheCursorWhileTheTransponderIsOn) {
    input("R+");
    EXPECT_EQ(entry().code_countdown, 200);
    for (const char* code : {"P", "R-", "P", "P", "R+", "P", "R-"}) input(code);  // the fourth P wraps
    EXPECT_EQ(take_event_ids(), (Ids{k1000Inc, k100Dec, k1Inc, k1000Dec}));

    g_xpdr_panel.entry = TransponderEntry{};
    input("R+", XPDR_OFF);
    EXPECT_EQ(entry().code_countdown, 0);
    EXPECT_EQ(take_event_ids(), Ids{});
    input("M", XPDR_OFF);  // off, the mode key still switches to standby
    EXPECT_EQ(take_state_writes(), (Writes{XPDR_STBY}));
}

TEST_F(XpdrPanel, InputNeedsBothSwitchesAndAnIntactTransponder) {
    TestFrame unpowered[4] = {frame(), frame(), frame(), frame()};
    unpowered[0].i32("AVIONICS MASTER SWITCH", 0);
    unpowered[1].i32("CIRCUIT GENERAL PANEL ON", 0);
    unpowered[2].i32("PARTIAL PANEL TRANSPONDER:1", 1, "Enum");
    unpowered[3].i32("PARTIAL PANEL TRANSPONDER:1", 2, "Enum");
    for (const TestFrame& f : unpowered) {
        for (const char* code : {"R+", "P", "M", "S", "T", "B"}) xpdr_input(code, f.data());
    }
    EXPECT_TRUE(fake_sim::calls().empty());
    EXPECT_EQ(entry().code_cursor, 0);
    EXPECT_EQ(entry().mode_countdown, 0);
}

TEST_F(XpdrPanel, ModeKeysCycleAndTheSingleEncoderStepsTheModeUntilOffOrAlt) {
    input("M", XPDR_ALT);
    input("M", XPDR_STBY);
    input("S", XPDR_TEST);
    input("S", XPDR_ON);
    EXPECT_EQ(take_state_writes(), (Writes{XPDR_STBY, XPDR_OFF, XPDR_ON, XPDR_ALT}));

    // In mode selection the encoder steps the mode, each step restarting it.
    frames(150);
    input("R-", XPDR_ALT);
    EXPECT_EQ(entry().mode_countdown, 200);
    input("R+", XPDR_ALT);
    input("R-", XPDR_STBY);
    input("R-", XPDR_OFF);
    input("R+", XPDR_OFF);
    EXPECT_EQ(take_state_writes(), (Writes{XPDR_ON, XPDR_OFF, XPDR_STBY}));
    EXPECT_EQ(take_event_ids(), Ids{});

    // 200 frames after the last mode input the encoder sets the code again.
    frames(200);
    input("R+");
    EXPECT_EQ(take_event_ids(), (Ids{k1000Inc}));
}

TEST_F(XpdrPanel, PushWithin200FramesAfterAModeKeyEndsModeSelectionInsteadOfMovingTheCursor) {
    input("P");
    input("M");
    frames(199);
    input("P");
    EXPECT_EQ(entry().code_cursor, 0);  // M ended code entry; the cursor went home
    EXPECT_EQ(entry().mode_countdown, 0);
    EXPECT_EQ(entry().code_countdown, 200);
    input("P");
    input("S");
    input("P");
    EXPECT_EQ(entry().code_cursor, 1);
    input("R+");
    EXPECT_EQ(take_event_ids(), (Ids{69}));  // XPNDR_100_INC
}

TEST_F(XpdrPanel, DualEncoderSetsTheCodeOnKnobOneAndStepsTheModeOnKnobTwo) {
    g_bridge.encoder_version = 2;
    input("M");
    take_state_writes();
    input("R1+");  // even in mode selection
    input("R1-", XPDR_OFF);
    EXPECT_EQ(take_event_ids(), (Ids{k1000Inc}));
    const uint8_t mode_left = entry().mode_countdown;
    input("R2-", XPDR_ALT);
    input("R2+", XPDR_ALT);
    input("R2-", XPDR_OFF);
    input("R2+", XPDR_ON);
    EXPECT_EQ(take_state_writes(), (Writes{XPDR_ON, XPDR_ALT}));
    EXPECT_EQ(entry().mode_countdown, mode_left);
    // Codes of the other version do nothing.
    input("R+");
    g_bridge.encoder_version = 1;
    input("R1+");
    input("R2-");
    EXPECT_TRUE(fake_sim::calls().empty());
}

TEST_F(XpdrPanel, IdentAndTheVfrCodeEndCodeEntryAndModeSelection) {
    input("P");
    input("T");
    EXPECT_EQ(entry().code_countdown, 0);
    input("B");  // XPDR_CODE absent: 1200
    g_bridge.xpdr_code = 0x7000;
    input("S");
    input("B\n");  // bytes after a code are ignored
    EXPECT_EQ(entry().mode_countdown, 0);
    for (const char* code : {"X", "b", ""}) input(code);
    EXPECT_EQ(take_sent_events(), (std::vector<SentEvent>{{kIdentOn, 0}, {kSet, 0x1200}, {kSet, 0x7000}}));

    // A configured code the transponder cannot hold is reported, not sent.
    g_bridge.xpdr_code = 0x1289;
    input("S");
    ::testing::internal::CaptureStdout();
    input("B");
    std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(take_event_ids(), Ids{});
    EXPECT_NE(out.find("XPDR_CODE 1289"), std::string::npos) << out;
    EXPECT_EQ(entry().mode_countdown, 0);
}

TEST_F(XpdrPanel, DisplayBlanksWithoutPowerOrWithTheTransponderOff) {
    TestFrame dark[3] = {frame(), frame(), frame(XPDR_OFF)};
    dark[0].i32("AVIONICS MASTER SWITCH", 0);
    dark[1].i32("PARTIAL PANEL TRANSPONDER:1", 1, "Enum");
    for (const TestFrame& f : dark) EXPECT_EQ(shown(f), (Lines{"H>                ", "F>                ", "B>OFF"}));

    TestFrame partly = frame();
    partly.i32("PARTIAL PANEL TRANSPONDER:1", 2, "Enum");
    EXPECT_EQ(shown(partly), (Lines{"B>ON", "H>XPDR   ALT  CODE", "F>FL 050      1200"}));
}

TEST_F(XpdrPanel, DisplayShowsTheFlightLevelOfTheConfiguredAltitudeWithIdentAndCode) {
    TestFrame f = frame(XPDR_STBY);
    f.f64("PRESSURE ALTITUDE", -149.0, "feet").i32("TRANSPONDER IDENT:1", 1).i32("TRANSPONDER CODE:1", 0, "BCO16");
    EXPECT_EQ(shown(f), (Lines{"B>ON", "H>XPDR   STBY CODE", "F>FL -01 IDNT 0000"}));
    g_bridge.fl_mode = 1;
    TestFrame g = frame();
    g.f64("INDICATED ALTITUDE", 4449.0, "feet").i32("TRANSPONDER CODE:1", 0x7000, "BCO16");
    EXPECT_EQ(shown(g), (Lines{"B>ON", "H>XPDR   ALT  CODE", "F>FL 044      7000"}));
}

TEST_F(XpdrPanel, HeaderFollowsCodeEntryAndModeSelectionOverTheirFrames) {
    input("P");
    frames(199);
    EXPECT_EQ(header(), "H>XPDR   SET   |  ");
    frames(1);
    EXPECT_EQ(header(), "H>XPDR   ALT  CODE");

    input("M");
    EXPECT_EQ(header(XPDR_STBY), "H>XPDR  >STBY CODE");
    frames(200);
    EXPECT_EQ(header(XPDR_STBY), "H>XPDR   STBY CODE");

    g_bridge.encoder_version = 2;  // the dual-encoder panel never marks the mode
    input("S");
    EXPECT_EQ(header(XPDR_ON), "H>XPDR   ON   CODE");
}

// One frame through the shared update cycle: the flight level is ready
// before the drain, the datagrams become an event and a state write, and the
// lines of the same frame go back.
TEST_F(XpdrPanel, UpdateCycleRunsTheTransponderSteps) {
    g_bridge.panel_connected = 1;
    for (const char* code : {"P", "P", "P", "R+", "VRAN-XPDR_1.0", "S"}) link_.send_from_panel(code);
    TestFrame f = frame(XPDR_STBY);
    f.f64("PRESSURE ALTITUDE", 4450.0, "feet");
    link_.run_frame(f);
    Lines sent = link_.lines();
    std::vector<FakeCall> calls = fake_sim::calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].call, "TransmitClientEvent");
    EXPECT_EQ(calls[0].args[1], k1Inc);
    EXPECT_EQ(calls[1].call, "SetDataOnSimObject");
    EXPECT_EQ(sent, (Lines{"B>ON", "H>XPDR  >STBY CODE", "F>FL 045      1200"}));
    EXPECT_EQ(entry().mode_countdown, 199);
    fake_sim::calls().clear();

    // A panel that never started ignores every step.
    g_xpdr_panel = XpdrPanelState{};
    link_.send_from_panel("S");
    link_.run_frame(f);
    EXPECT_TRUE(fake_sim::calls().empty());
    EXPECT_EQ(link_.lines(), Lines{});
}

TEST_F(XpdrPanel, TakesEveryCodeItsPanelSends) { expect_takes_every_panel_code("xpdr", kXpdrPanelHooks.takes_code); }

}  // namespace
