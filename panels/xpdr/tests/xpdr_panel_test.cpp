// The transponder panel's preparation, input, display and countdown steps.
// Simulator calls go to the recording fake; display lines go over loopback
// UDP to a socket that stands in for the panel.
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

// Client event ids of XPDR-Relay.
constexpr uint32_t k1000Dec = 64, k100Dec = 65, k1000Inc = 68, k1Inc = 71;
constexpr uint32_t kSet = 72, kIdentOn = 74;

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
        f.i32("AVIONICS MASTER SWITCH", 1).i32("CIRCUIT GENERAL PANEL ON", 1).i32("ELECTRICAL MASTER BATTERY", 1);
        f.i32("TRANSPONDER STATE:1", state, "Enum").i32("TRANSPONDER CODE:1", 0x1200, "BCO16");
        f.f64("PRESSURE ALTITUDE", 4960.0, "feet").f64("INDICATED ALTITUDE", 5040.0, "feet");
        return f;
    }
    void input(const char* text, const TestFrame& f) { xpdr_input(text, f.data()); }
    // The end of `count` frames.
    void frames(int count, const TestFrame& f) {
        for (int i = 0; i < count; ++i) xpdr_countdown(f.data());
    }
    // The header the display sends for this frame.
    std::string header(const TestFrame& f) {
        xpdr_display(f.data());
        Lines got = link_.lines();
        return got.size() == 3 ? got[1] : "(" + std::to_string(got.size()) + " lines)";
    }
    const TransponderEntry& entry() const { return g_xpdr_panel.entry; }

    PanelLoopback link_;
};

TEST_F(XpdrPanel, ResolvesTheTransponderInItsOwnColumns) {
    EXPECT_EQ(g_xpdr_panel.field.state, 568u);
    EXPECT_EQ(g_xpdr_panel.field.ident, 564u);
    EXPECT_EQ(g_xpdr_panel.field.code, 532u);
    EXPECT_EQ(g_xpdr_panel.field.pressure_altitude, 296u);
    EXPECT_EQ(g_xpdr_panel.power.partial_panel, 556u);
    EXPECT_EQ(g_xpdr_panel.event.set, kSet);
    EXPECT_EQ(g_xpdr_panel.event.ident_on, kIdentOn);

    // A panel that never started ignores every step.
    g_xpdr_panel = XpdrPanelState{};
    TestFrame f = frame();
    kXpdrPanelHooks.prepare(f.data());
    kXpdrPanelHooks.input("S", f.data());
    kXpdrPanelHooks.display(f.data());
    kXpdrPanelHooks.countdown(f.data());
    EXPECT_TRUE(fake_sim::calls().empty());
}

TEST_F(XpdrPanel, SingleEncoderSetsTheDigitUnderTheCursor) {
    TestFrame f = frame();
    input("R+", f);
    EXPECT_EQ(entry().code_countdown, 200);
    input("P", f);
    input("R-", f);
    input("P", f);
    input("P", f);
    input("R+", f);
    input("P", f);  // past the units digit: back to the thousands
    input("R-", f);
    EXPECT_EQ(take_event_ids(), (Ids{k1000Inc, k100Dec, k1Inc, k1000Dec}));
    EXPECT_EQ(take_state_writes(), Writes{});
}

TEST_F(XpdrPanel, CodeStepsNeedTheTransponderOnAndInputNeedsPower) {
    TestFrame off = frame(XPDR_OFF);
    input("R+", off);
    input("R-", off);
    EXPECT_EQ(entry().code_countdown, 0);
    EXPECT_EQ(take_event_ids(), Ids{});
    // Off, the mode key still works: it switches to standby.
    input("M", off);
    EXPECT_EQ(take_state_writes(), (Writes{XPDR_STBY}));

    TestFrame no_avionics = frame();
    no_avionics.i32("AVIONICS MASTER SWITCH", 0);
    TestFrame no_circuit = frame();
    no_circuit.i32("CIRCUIT GENERAL PANEL ON", 0);
    TestFrame failed = frame();
    failed.i32("PARTIAL PANEL TRANSPONDER:1", 1, "Enum");
    TestFrame partly = frame();
    partly.i32("PARTIAL PANEL TRANSPONDER:1", 2, "Enum");
    TransponderEntry before = entry();
    for (const TestFrame* f : {&no_avionics, &no_circuit, &failed, &partly}) {
        for (const char* code : {"R+", "P", "M", "S", "T", "B"}) input(code, *f);
    }
    EXPECT_TRUE(fake_sim::calls().empty());
    EXPECT_EQ(entry().code_cursor, before.code_cursor);
    EXPECT_EQ(entry().mode_countdown, before.mode_countdown);
}

TEST_F(XpdrPanel, ModeKeysCycleAndTheSingleEncoderStepsTheModeUntilOffOrAlt) {
    input("M", frame(XPDR_ALT));
    input("M", frame(XPDR_STBY));
    input("S", frame(XPDR_TEST));
    input("S", frame(XPDR_ON));
    EXPECT_EQ(take_state_writes(), (Writes{XPDR_STBY, XPDR_OFF, XPDR_ON, XPDR_ALT}));
    EXPECT_EQ(entry().mode_countdown, 200);

    // In mode selection the encoder steps the mode and keeps it open.
    frames(150, frame());
    input("R-", frame(XPDR_ALT));
    EXPECT_EQ(entry().mode_countdown, 200);
    input("R+", frame(XPDR_ALT));   // nothing above ALT
    input("R-", frame(XPDR_STBY));
    input("R-", frame(XPDR_OFF));   // nothing below OFF
    input("R+", frame(XPDR_OFF));
    EXPECT_EQ(take_state_writes(), (Writes{XPDR_ON, XPDR_OFF, XPDR_STBY}));
    EXPECT_EQ(take_event_ids(), Ids{});

    // After 200 frames without mode input the encoder sets the code again.
    frames(200, frame());
    EXPECT_EQ(entry().mode_countdown, 0);
    input("R+", frame());
    EXPECT_EQ(take_event_ids(), (Ids{k1000Inc}));
}

TEST_F(XpdrPanel, PushWithin200FramesAfterAModeKeyEndsModeSelection) {
    input("P", frame());
    EXPECT_EQ(entry().code_cursor, 1);
    input("S", frame(XPDR_ON));
    EXPECT_EQ(entry().code_countdown, 0);
    frames(199, frame());
    input("P", frame());  // ends mode selection, the cursor stays
    EXPECT_EQ(entry().code_cursor, 0);  // code entry had run out meanwhile
    EXPECT_EQ(entry().mode_countdown, 0);
    EXPECT_EQ(entry().code_countdown, 200);
    input("R+", frame());
    EXPECT_EQ(take_event_ids(), (Ids{k1000Inc}));

    // Without the frames in between the cursor is kept as it was.
    input("P", frame());
    input("M", frame());
    input("P", frame());
    EXPECT_EQ(entry().code_cursor, 1);
    EXPECT_EQ(entry().mode_countdown, 0);
}

TEST_F(XpdrPanel, DualEncoderSetsTheCodeOnKnobOneAndTheModeOnKnobTwo) {
    g_bridge.encoder_version = 2;
    input("M", frame(XPDR_ALT));
    take_state_writes();
    // Knob 1 sets the code even in mode selection.
    input("R1+", frame());
    input("P", frame());  // ends mode selection: cursor stays on the thousands
    input("P", frame());
    input("R1-", frame());
    EXPECT_EQ(take_event_ids(), (Ids{k1000Inc, k100Dec}));
    // Knob 2 steps the mode at any time and leaves the countdown alone.
    uint8_t mode_left = entry().mode_countdown;
    input("R2-", frame(XPDR_ALT));
    input("R2+", frame(XPDR_ALT));
    input("R2-", frame(XPDR_OFF));
    input("R2+", frame(XPDR_ON));
    EXPECT_EQ(take_state_writes(), (Writes{XPDR_ON, XPDR_ALT}));
    EXPECT_EQ(entry().mode_countdown, mode_left);
    // The single encoder's codes do nothing here, nor knob codes on it.
    input("R+", frame());
    input("R-", frame());
    g_bridge.encoder_version = 1;
    input("R1+", frame());
    input("R2-", frame());
    EXPECT_TRUE(fake_sim::calls().empty());
}

TEST_F(XpdrPanel, IdentAndTheVfrCodeKey) {
    input("P", frame());
    input("T", frame());
    EXPECT_EQ(entry().code_countdown, 0);
    input("B", frame());  // XPDR_CODE absent: 1200
    g_bridge.xpdr_code = 0x7000;
    input("S", frame());
    input("B", frame());
    EXPECT_EQ(entry().mode_countdown, 0);
    EXPECT_EQ(take_sent_events(), (std::vector<SentEvent>{{kIdentOn, 0}, {kSet, 0x1200}, {kSet, 0x7000}}));
    // Unknown codes and trailing bytes: only the code at the start counts.
    input("B\n", frame());
    input("X", frame());
    input("b", frame());
    input("", frame());
    EXPECT_EQ(take_event_ids(), (Ids{kSet}));
}

TEST_F(XpdrPanel, DisplayBlanksWithoutPowerOrWithTheTransponderOff) {
    TestFrame no_avionics = frame();
    no_avionics.i32("AVIONICS MASTER SWITCH", 0);
    TestFrame failed = frame();
    failed.i32("PARTIAL PANEL TRANSPONDER:1", 1, "Enum");
    for (const TestFrame* f : {&no_avionics, &failed}) xpdr_display(f->data());
    xpdr_display(frame(XPDR_OFF).data());
    Lines blank = {"H>                ", "F>                ", "B>OFF"};
    Lines want;
    for (int i = 0; i < 3; ++i) want.insert(want.end(), blank.begin(), blank.end());
    EXPECT_EQ(link_.lines(), want);

    // A partial failure other than 1 still shows the display.
    TestFrame partly = frame();
    partly.i32("PARTIAL PANEL TRANSPONDER:1", 2, "Enum");
    xpdr_prepare(partly.data());
    xpdr_display(partly.data());
    EXPECT_EQ(link_.lines(), (Lines{"B>ON", "H>XPDR   ALT  CODE", "F>FL 050      1200"}));
}

TEST_F(XpdrPanel, DisplayShowsFlightLevelIdentAndCode) {
    TestFrame f = frame(XPDR_STBY);
    f.f64("PRESSURE ALTITUDE", -149.0, "feet").i32("TRANSPONDER IDENT:1", 1);
    f.i32("TRANSPONDER CODE:1", 0x0000, "BCO16");
    xpdr_prepare(f.data());
    xpdr_display(f.data());
    EXPECT_EQ(link_.lines(), (Lines{"B>ON", "H>XPDR   STBY CODE", "F>FL -01 IDNT 0000"}));

    g_bridge.fl_mode = 1;  // the indicated altitude instead
    TestFrame g = frame();
    g.i32("TRANSPONDER CODE:1", 0x7000, "BCO16");
    xpdr_prepare(g.data());
    xpdr_display(g.data());
    EXPECT_EQ(link_.lines(), (Lines{"B>ON", "H>XPDR   ALT  CODE", "F>FL 050      7000"}));
    g.f64("INDICATED ALTITUDE", 4449.0, "feet");
    xpdr_prepare(g.data());
    xpdr_display(g.data());
    EXPECT_EQ(link_.lines(), (Lines{"B>ON", "H>XPDR   ALT  CODE", "F>FL 044      7000"}));
}

TEST_F(XpdrPanel, HeaderFollowsCodeEntryAndModeSelectionOverTheirFrames) {
    TestFrame f = frame();
    input("P", f);
    EXPECT_EQ(header(f), "H>XPDR   SET   |  ");
    frames(199, f);
    EXPECT_EQ(header(f), "H>XPDR   SET   |  ");
    frames(1, f);
    EXPECT_EQ(header(f), "H>XPDR   ALT  CODE");
    frames(1, f);
    EXPECT_EQ(entry().code_cursor, 0);

    input("M", frame(XPDR_ALT));
    TestFrame stby = frame(XPDR_STBY);
    EXPECT_EQ(header(stby), "H>XPDR  >STBY CODE");
    frames(200, stby);
    EXPECT_EQ(header(stby), "H>XPDR   STBY CODE");

    // The dual-encoder panel never shows the marker.
    g_bridge.encoder_version = 2;
    input("S", stby);
    EXPECT_EQ(entry().mode_countdown, 200);
    EXPECT_EQ(header(frame(XPDR_ON)), "H>XPDR   ON   CODE");
}

// One frame through the shared update cycle: the panel's datagrams become
// events and a state write, then the lines of the same frame go back.
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
    // "S" ended code entry and opened mode selection in the same frame; the
    // frame still shows the state it was sent with.
    EXPECT_EQ(sent, (Lines{"B>ON", "H>XPDR  >STBY CODE", "F>FL 045      1200"}));
    EXPECT_EQ(entry().mode_countdown, 199);
}

}  // namespace
