// The COM panel's input, display and countdown steps. Simulator calls go to
// the recording fake; display lines go over loopback UDP to a socket that
// stands in for the panel.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/bridge_state.h"
#include "core/tests/fake_simconnect.h"
#include "panels/com/com_panel.h"
#include "panels/test_support/panel_test_harness.h"

namespace {

class ComPanel : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        fake_sim::reset();
        radio_ = GetParam();
        const ComRadio* radio = com_radio(radio_);
        ASSERT_NE(radio, nullptr);
        bridge_reset(program_profile(radio->program), &kComPanelHooks);
        ASSERT_TRUE(com_panel_start(radio_));
        ASSERT_TRUE(link_.open());
        g_bridge.encoder_version = 1;
    }
    void TearDown() override { link_.close(); }

    std::string var(const char* base) const { return std::string(base) + (radio_ == 1 ? ":1" : ":2"); }

    // A frame with the radio powered and the given frequencies.
    TestFrame powered(double active = 118.0, double standby = 121.5) const {
        TestFrame f(radio_ == 1 ? LAYOUT_COMM1 : LAYOUT_COMM2);
        f.i32("AVIONICS MASTER SWITCH", 1).i32("CIRCUIT GENERAL PANEL ON", 1).i32("ELECTRICAL MASTER BATTERY", 1);
        f.f64(var("COM ACTIVE FREQUENCY").c_str(), active, "MHz");
        f.f64(var("COM STANDBY FREQUENCY").c_str(), standby, "MHz");
        return f;
    }
    TestFrame& partial(TestFrame& f, int32_t value) const {
        return f.i32(var("PARTIAL PANEL COMM").c_str(), value, "Enum");
    }

    std::vector<uint32_t> events() { return take_event_ids(); }
    std::vector<std::string> lines() { return link_.lines(); }
    void input(const char* text, const TestFrame& f) { com_input(text, f.data()); }

    int radio_ = 1;
    PanelLoopback link_;
};

using Ids = std::vector<uint32_t>;
// Whole dec/inc, fraction dec/inc, swap, transmit select, receive-all toggle.
struct RadioEvents {
    uint32_t wd, wi, fd, fi, swap, tx, rx;
};
RadioEvents events_of(int radio) {
    if (radio == 1) return {21, 22, 19, 20, 23, 24, 18};
    return {27, 28, 25, 26, 29, 30, 18};
}

TEST(ComRadioTable, ResolvesEachProgramsFieldsAndEvents) {
    ASSERT_TRUE(com_panel_start(1));
    EXPECT_EQ(g_com_panel.field.radio.active_mhz, 304u);
    EXPECT_EQ(g_com_panel.field.radio.standby_mhz, 312u);
    EXPECT_EQ(g_com_panel.field.power.partial_panel, 300u);
    EXPECT_EQ(g_com_panel.field.power.avionics_switch, 276u);
    EXPECT_EQ(g_com_panel.event.whole_inc, 22u);
    EXPECT_EQ(g_com_panel.event.swap, 23u);
    EXPECT_EQ(com_radio(1)->program, PROGRAM_COMM1);

    ASSERT_TRUE(com_panel_start(2));
    EXPECT_EQ(g_com_panel.field.radio.active_mhz, 304u);
    EXPECT_EQ(g_com_panel.field.power.partial_panel, 300u);
    EXPECT_EQ(g_com_panel.event.whole_inc, 28u);
    EXPECT_EQ(g_com_panel.event.fraction_dec, 25u);
    EXPECT_EQ(g_com_panel.event.transmit_select, 30u);
    EXPECT_EQ(g_com_panel.event.receive_all_toggle, 18u);
    EXPECT_EQ(com_radio(2)->program, PROGRAM_COMM2);

    EXPECT_EQ(com_radio(0), nullptr);
    EXPECT_EQ(com_radio(3), nullptr);
    EXPECT_FALSE(com_panel_start(3));
    // A panel that never started ignores every step instead of reading at
    // unresolved offsets.
    uint8_t block[320] = {};
    com_input("R+", block);
    com_display(block);
    com_countdown(block);
}

TEST_P(ComPanel, SingleEncoderStepsWholeUntilPushedThenFraction) {
    RadioEvents e = events_of(radio_);
    TestFrame f = powered();
    input("R+", f);
    input("R-", f);
    EXPECT_EQ(events(), (Ids{e.wi, e.wd}));
    EXPECT_EQ(g_bridge.input_countdown, 100);

    input("P", f);
    EXPECT_EQ(g_com_panel.tune_mode, 1);
    input("R+", f);
    input("R-", f);
    EXPECT_EQ(events(), (Ids{e.fi, e.fd}));

    input("P", f);  // pushed twice: whole again
    EXPECT_EQ(g_com_panel.tune_mode, 0);
    input("R+", f);
    EXPECT_EQ(events(), (Ids{e.wi}));
}

TEST_P(ComPanel, FractionModeEndsWhenTheCountdownRunsOut) {
    RadioEvents e = events_of(radio_);
    TestFrame f = powered();
    input("P", f);
    for (int frame = 0; frame < 50; ++frame) com_countdown(f.data());
    input("R+", f);  // restarts the countdown
    EXPECT_EQ(events(), (Ids{e.fi}));
    for (int frame = 0; frame < 101; ++frame) com_countdown(f.data());
    EXPECT_EQ(g_bridge.input_countdown, 0);
    EXPECT_EQ(g_com_panel.tune_mode, 0);
    input("R+", f);
    EXPECT_EQ(events(), (Ids{e.wi}));

    // A key ends fraction mode at once: its countdown step finds 0.
    input("P", f);
    input("S", f);
    com_countdown(f.data());
    input("R+", f);
    EXPECT_EQ(events(), (Ids{e.swap, e.wi}));
}

TEST_P(ComPanel, DualEncoderKnobsStepFractionAndWhole) {
    RadioEvents e = events_of(radio_);
    g_bridge.encoder_version = 2;
    TestFrame f = powered();
    input("R1-", f);
    input("R1+", f);
    input("R2-", f);
    input("R2+", f);
    EXPECT_EQ(events(), (Ids{e.fd, e.fi, e.wd, e.wi}));
    EXPECT_EQ(g_bridge.input_countdown, 100);

    // Single-encoder codes, and malformed knob codes, do nothing here.
    g_bridge.input_countdown = 7;
    for (const char* code : {"P", "R+", "R-", "R", "R1", "R3+", "R1x", ""}) input(code, f);
    EXPECT_EQ(events(), Ids{});
    EXPECT_EQ(g_com_panel.tune_mode, 0);
    EXPECT_EQ(g_bridge.input_countdown, 7);

    // Nor do knob codes with the single encoder.
    g_bridge.encoder_version = 1;
    input("R1+", f);
    input("R2-", f);
    EXPECT_EQ(events(), Ids{});
}

TEST_P(ComPanel, FastTurnSendsTheKnobsStepSeveralTimesOnlyWithAcceleration) {
    RadioEvents e = events_of(radio_);
    TestFrame f = powered();
    turn_knob("R+", f, 6, 20, 1000);
    EXPECT_EQ(events(), Ids(6, e.wi));  // off: one step a detent
    accelerate(3);
    turn_knob("R+", f, 6, 20, 2000);  // 1, 1, 2, 2, 3, 3
    EXPECT_EQ(events(), Ids(12, e.wi));
    turn_knob("P", f, 1, 0, 2120);  // fraction mode: a new run
    turn_knob("R-", f, 4, 20, 2130);
    EXPECT_EQ(events(), Ids(6, e.fd));
    turn_knob("R-", f, 4, 200, 3000);  // a slow turn
    EXPECT_EQ(events(), Ids(4, e.fd));
}

TEST_P(ComPanel, KeysSwapSelectAndToggleReceiveAll) {
    RadioEvents e = events_of(radio_);
    TestFrame f = powered();
    g_bridge.input_countdown = 50;
    input("M", f);  // COM TRANSMIT:2 is 0: nothing sent, countdown cleared
    EXPECT_EQ(events(), Ids{});
    EXPECT_EQ(g_bridge.input_countdown, 0);

    f.i32("COM TRANSMIT:2", 2);
    input("M", f);  // only exactly 1 opens the gate
    f.i32("COM TRANSMIT:2", 1);
    input("M", f);
    input("S", f);
    input("T", f);
    EXPECT_EQ(events(), (Ids{e.rx, e.swap, e.tx}));

    // Trailing bytes after a known code are ignored; unknown codes drop.
    input("S\n", f);
    input("R+junk", f);
    input("X", f);
    input("s", f);
    EXPECT_EQ(events(), (Ids{e.swap, e.wi}));
}

TEST_P(ComPanel, TakesEveryCodeItsPanelSends) {
    expect_takes_every_panel_code(radio_ == 1 ? "comm1" : "comm2", kComPanelHooks.takes_code);
}

TEST_P(ComPanel, UnknownEncoderVersionStillTakesKeys) {
    RadioEvents e = events_of(radio_);
    g_bridge.encoder_version = 0;
    TestFrame f = powered();
    input("R+", f);
    input("R1+", f);
    input("P", f);
    input("T", f);
    EXPECT_EQ(events(), (Ids{e.tx}));
}

TEST_P(ComPanel, InputNeedsFullPowerAndAnIntactRadio) {
    TestFrame off = powered();
    off.i32("AVIONICS MASTER SWITCH", 0);
    TestFrame no_circuit = powered();
    no_circuit.i32("CIRCUIT GENERAL PANEL ON", 0);
    TestFrame failed = powered();
    partial(failed, 1);
    TestFrame partly = powered();
    partial(partly, 2);
    for (const TestFrame* f : {&off, &no_circuit, &failed, &partly}) {
        for (const char* code : {"R+", "P", "S", "T"}) input(code, *f);
    }
    EXPECT_EQ(events(), Ids{});
    EXPECT_EQ(g_com_panel.tune_mode, 0);
    EXPECT_EQ(g_bridge.input_countdown, 0);
}

TEST_P(ComPanel, DisplayShowsBlankLinesWhenPowerIsOff) {
    TestFrame off = powered();
    off.i32("AVIONICS MASTER SWITCH", 0);
    com_display(off.data());
    TestFrame failed = powered();
    partial(failed, 1);
    com_display(failed.data());
    std::vector<std::string> expected = {"H>                ", "F>                ", "B>OFF"};
    std::vector<std::string> twice = expected;
    twice.insert(twice.end(), expected.begin(), expected.end());
    EXPECT_EQ(lines(), twice);

    // A partial-panel value of 2 blocks input but shows power on.
    TestFrame partly = powered();
    partial(partly, 2);
    com_display(partly.data());
    std::vector<std::string> got = lines();
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got[0], "B>ON");
}

TEST_P(ComPanel, FrequencyLineIsSixteenCharactersAfterThePrefix) {
    TestFrame f = powered(118.0, 121.5);
    com_display(f.data());
    std::vector<std::string> got = lines();
    ASSERT_GE(got.size(), 3u);
    EXPECT_EQ(got[0], "B>ON");
    EXPECT_EQ(got[1], "F>118.000  121.500");
    EXPECT_EQ(got[1].size(), 18u);

    TestFrame g = powered(136.975, 118.025);
    com_display(g.data());
    got = lines();
    ASSERT_GE(got.size(), 2u);
    EXPECT_EQ(got[1], "F>136.975  118.025");
}

INSTANTIATE_TEST_SUITE_P(BothRadios, ComPanel, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "COMM" + std::to_string(info.param);
                         });

class ComOneHeader : public ComPanel {};
class ComTwoHeader : public ComPanel {};

TEST_P(ComOneHeader, ShowsTransmitElseReceiveAll) {
    TestFrame f = powered();
    f.i32("COM TRANSMIT:1", 1).i32("COM RECIEVE ALL", 0);
    com_display(f.data());
    f.i32("COM TRANSMIT:1", 0).i32("COM RECIEVE ALL", 1);
    com_display(f.data());
    f.i32("COM RECIEVE ALL", 2);
    com_display(f.data());
    f.i32("COM RECIEVE ALL", 0).i32("MARKER SOUND", 1);
    com_display(f.data());
    std::vector<std::string> headers;
    for (const std::string& line : lines())
        if (line[0] == 'H') headers.push_back(line);
    EXPECT_EQ(headers, (std::vector<std::string>{"H>COM1 T \a Standby", "H>COM1   \a Standby",
                                                 "H>COM1     Standby", "H>COM1     Standby"}));
    for (const std::string& h : headers) EXPECT_EQ(h.size(), 18u);
}

TEST_P(ComTwoHeader, ShowsReceiveAllElseTwoLinesWithMarkerSound) {
    TestFrame f = powered();
    f.i32("COM RECIEVE ALL", 1).i32("MARKER SOUND", 1);
    com_display(f.data());
    EXPECT_EQ(lines(), (std::vector<std::string>{"B>ON", "F>118.000  121.500", "H>COM2 T \a Standby"}));

    f.i32("COM RECIEVE ALL", 0);
    com_display(f.data());
    EXPECT_EQ(lines(), (std::vector<std::string>{"B>ON", "F>118.000  121.500", "H>COM2     Standby",
                                                 "H>COM2   \a Standby"}));

    f.i32("MARKER SOUND", 0).i32("COM TRANSMIT:1", 1);  // transmit 1 plays no part here
    com_display(f.data());
    EXPECT_EQ(lines(), (std::vector<std::string>{"B>ON", "F>118.000  121.500", "H>COM2     Standby",
                                                 "H>COM2     Standby"}));
}

class ComCycle : public ComPanel {};

TEST_P(ComCycle, TestModeEchoesFrequenciesWhileCountingDownOnComOneOnly) {
    TestFrame f = powered(118.0, 121.5);
    g_bridge.testmode = 1;
    g_bridge.input_countdown = 2;
    ::testing::internal::CaptureStdout();
    com_countdown(f.data());
    com_countdown(f.data());
    com_countdown(f.data());  // countdown is 0 now: no line
    std::string out = ::testing::internal::GetCapturedStdout();
    if (radio_ == 1) {
        EXPECT_EQ(out, "COM1-ACTV  118.000  COM1-STBY  121.500\nCOM1-ACTV  118.000  COM1-STBY  121.500\n");
    } else {
        EXPECT_EQ(out, "");
    }
}

// One frame through the shared update cycle: the datagrams waiting from the
// panel become events, then the lines of the same frame go back.
TEST_P(ComCycle, UpdateCyclePassesPanelInputToTheComSteps) {
    RadioEvents e = events_of(radio_);
    g_bridge.panel_connected = 1;
    g_bridge.frame_counter = 0;
    for (const char* code : {"R+", "P", "R+", radio_ == 1 ? "VRAN-COM1_1.0" : "VRAN-COM2_2.0", "S"}) {
        link_.send_from_panel(code);
    }
    link_.run_frame(powered(122.8, 119.1));
    Ids got = events();
    EXPECT_EQ(got, (Ids{e.wi, e.fi, e.swap}));
    std::vector<std::string> sent = lines();
    ASSERT_GE(sent.size(), 3u);
    EXPECT_EQ(sent[0], "B>ON");
    EXPECT_EQ(sent[1], "F>122.800  119.100");
}

// Datagrams from anywhere else on the network leave the display with the
// panel, even one that begins with a code but was too long to take, or a code
// from another host; a key from a new port of the panel moves it there, an
// identity text back.
TEST_P(ComCycle, OnlyPanelTrafficMovesTheDisplay) {
    ASSERT_TRUE(link_.open_other());
    g_bridge.panel_connected = 1;
    const std::string too_long(300, 'S');
    for (const std::string& stray : {std::string(), std::string("GET / HTTP/1.0"), std::string("\x16\xfe\xff"),
                                     std::string("VRAN-COM3_1.0"), too_long}) {
        link_.send_from_other(stray.data(), stray.size());
    }
    link_.run_frame(powered());
    std::vector<std::string> at_panel = lines();
    ASSERT_FALSE(at_panel.empty());
    EXPECT_EQ(at_panel[0], "B>ON");
    EXPECT_TRUE(link_.lines_at_other().empty());
    EXPECT_TRUE(events().empty());

    // A code from another host is acted on as ever, but it is no port of the
    // panel's: the display stays. (Wine sends from 127.0.0.1 whatever loopback
    // address the socket was bound to, so there the step cannot be taken.)
    ASSERT_TRUE(link_.open_other(0x7F000002));
    if (link_.other_sends_as_bound()) {
        link_.send_from_other("S", 1);
        link_.run_frame(powered());
        EXPECT_EQ(events(), (Ids{events_of(radio_).swap}));
        EXPECT_EQ(lines(), at_panel);
        EXPECT_TRUE(link_.lines_at_other().empty());
    }

    ASSERT_TRUE(link_.open_other());
    link_.send_from_other("S", 1);
    link_.run_frame(powered());
    EXPECT_EQ(events(), (Ids{events_of(radio_).swap}));
    EXPECT_EQ(link_.lines_at_other(), at_panel);
    EXPECT_TRUE(lines().empty());

    link_.send_from_panel(radio_ == 1 ? "VRAN-COM1_1.0" : "VRAN-COM2_2.0");
    link_.run_frame(powered());
    EXPECT_EQ(lines(), at_panel);
}

INSTANTIATE_TEST_SUITE_P(Comm1, ComOneHeader, ::testing::Values(1));
INSTANTIATE_TEST_SUITE_P(Comm2, ComTwoHeader, ::testing::Values(2));
INSTANTIATE_TEST_SUITE_P(BothRadios, ComCycle, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "COMM" + std::to_string(info.param);
                         });

}  // namespace
