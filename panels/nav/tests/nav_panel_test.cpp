// The NAV panel's input, display and countdown steps for NAV1-Relay and
// NAV2-Relay. Simulator calls go to the recording fake; display lines go over
// loopback UDP to a socket that stands in for the panel.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/bridge_state.h"
#include "core/tests/fake_simconnect.h"
#include "panels/nav/nav_panel.h"
#include "panels/test_support/panel_test_harness.h"

namespace {

using Ids = std::vector<uint32_t>;
using Lines = std::vector<std::string>;

TEST(NavProgramTable, ResolvesEachProgramsRadioAndItsDifferences) {
    ASSERT_TRUE(nav_panel_start(1));
    EXPECT_EQ(g_nav_panel.program->program, PROGRAM_NAV1);
    EXPECT_EQ(g_nav_panel.radio.number, 1);
    EXPECT_EQ(g_nav_panel.radio.raster, RASTER_25_KHZ);
    EXPECT_EQ(g_nav_panel.radio.event.set, 36u);
    EXPECT_EQ(g_nav_panel.echo.nav2_standby, 504u);
    EXPECT_EQ(g_nav_panel.echo.adf1_standby, 520u);

    ASSERT_TRUE(nav_panel_start(2));
    EXPECT_EQ(g_nav_panel.program->program, PROGRAM_NAV2);
    EXPECT_EQ(g_nav_panel.radio.number, 2);
    EXPECT_EQ(g_nav_panel.radio.raster, RASTER_50_KHZ);
    EXPECT_EQ(g_nav_panel.radio.event.set, 47u);

    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(nav_panel_start(3));
    EXPECT_NE(::testing::internal::GetCapturedStdout().find("Error"), std::string::npos);
    EXPECT_EQ(nav_program(0), nullptr);
    // A panel that never started ignores every step.
    fake_sim::reset();
    uint8_t block[644] = {};
    nav_input("R+", block);
    nav_display(block);
    nav_countdown(block);
    EXPECT_TRUE(fake_sim::calls().empty());
}

class NavPanel : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        fake_sim::reset();
        n_ = GetParam();
        const NavProgram* program = nav_program(n_);
        ASSERT_NE(program, nullptr);
        bridge_reset(program_profile(program->program), &kNavPanelHooks);
        ASSERT_TRUE(nav_panel_start(n_));
        ASSERT_TRUE(link_.open());
        g_bridge.encoder_version = 1;
        frame_ = powered();
    }
    void TearDown() override { link_.close(); }

    std::string var(const char* base) const { return std::string(base) + ":" + std::to_string(n_); }

    // Radio n powered, 110.50 active / 113.90 standby, a VOR showing TO on
    // radial 200.4, OBS 45.
    TestFrame powered() const {
        TestFrame f(LAYOUT_NAVCOM_NAV);
        f.i32("AVIONICS MASTER SWITCH", 1).i32("CIRCUIT GENERAL PANEL ON", 1);
        f.f64(var("NAV ACTIVE FREQUENCY").c_str(), 110.50, "MHz");
        f.f64(var("NAV STANDBY FREQUENCY").c_str(), 113.90, "MHz");
        f.i32(var("NAV ACTIVE FREQUENCY").c_str(), 0x1050, "Frequency BCD16");
        f.i32(var("NAV SIGNAL").c_str(), 100, "number");
        f.i32(var("NAV TOFROM").c_str(), 1, "Enum");
        f.f64(var("NAV RADIAL").c_str(), 200.4, "degrees");
        f.f64(var("NAV OBS").c_str(), 45.0, "degrees");
        return f;
    }
    TestFrame& partial(TestFrame& f, int32_t value) const {
        return f.i32(var("PARTIAL PANEL NAV").c_str(), value, "Enum");
    }

    void input(const char* text) { nav_input(text, frame_.data()); }
    void frames(int count) {
        for (int i = 0; i < count; ++i) nav_countdown(frame_.data());
    }
    void go_to_page(uint8_t page) {
        while (g_nav_panel.nav_page != page) input("M");
        take_sent_events();
    }
    Ids events() { return take_event_ids(); }
    const NavRadioEvents& ev() const { return g_nav_panel.radio.event; }
    // NAVn_RADIO_SET of 110.50 stepped: whole megahertz, or one channel of the
    // program's raster.
    SentEvent set_whole_up() const { return {ev().set, 0x1150}; }
    SentEvent set_fraction_up() const { return {ev().set, n_ == 1 ? 0x1052u : 0x1055u}; }

    int n_ = 1;
    TestFrame frame_{LAYOUT_NAVCOM_NAV};
    PanelLoopback link_;
};

TEST_P(NavPanel, SingleEncoderOnPageZeroStepsStandbyWholeUntilPushed) {
    input("R+");
    input("R-");
    EXPECT_EQ(events(), (Ids{ev().whole_inc, ev().whole_dec}));
    EXPECT_EQ(g_bridge.input_countdown, kNavInputFrames);
    input("P");
    input("R+");
    input("R-");
    EXPECT_EQ(events(), (Ids{ev().fraction_inc, ev().fraction_dec}));
    // A second code after the known ones is not looked at; unknown codes drop.
    input("R+x");
    input("Rx");
    input("R");
    input("X");
    EXPECT_EQ(events(), (Ids{ev().fraction_inc}));
}

TEST_P(NavPanel, DoublePushSelectsTheObsAndATurnBetweenThePushesCancelsIt) {
    go_to_page(1);
    input("P");
    input("R+");  // a turn: the next push is a first push again
    input("P");
    EXPECT_EQ(g_nav_panel.obs_select, 0);
    EXPECT_EQ(take_sent_events(), (std::vector<SentEvent>{set_fraction_up()}));

    frames(kNavDoublePushFrames);  // window over
    input("P");
    EXPECT_EQ(g_nav_panel.obs_select, 0);
    frames(kNavDoublePushFrames - 1);  // still inside
    input("P");
    EXPECT_EQ(g_nav_panel.obs_select, 1);
    EXPECT_EQ(g_nav_panel.tune_mode, 0);  // toggled twice on the way in
    EXPECT_EQ(g_nav_panel.press_window, 0);
    EXPECT_EQ(g_bridge.input_countdown, kNavInputFrames);

    input("R+");
    input("R-");
    EXPECT_EQ(events(), (Ids{ev().obi_inc, ev().obi_dec}));
    input("P");  // in OBS select the push makes it fast
    EXPECT_EQ(g_nav_panel.obs_fast, 1);
    input("R+");
    EXPECT_EQ(events(), Ids(5, ev().obi_inc));
}

TEST_P(NavPanel, ModesFallBackAfterAHundredFramesWithoutInput) {
    go_to_page(1);
    input("P");
    input("P");
    input("P");
    ASSERT_EQ(g_nav_panel.obs_select, 1);
    ASSERT_EQ(g_nav_panel.obs_fast, 1);
    frames(kNavInputFrames);
    EXPECT_EQ(g_nav_panel.obs_select, 1);
    frames(1);
    EXPECT_EQ(g_nav_panel.obs_select, 0);
    EXPECT_EQ(g_nav_panel.obs_fast, 0);
    input("R+");
    EXPECT_EQ(take_sent_events(), (std::vector<SentEvent>{set_whole_up()}));

    // A key ends the modes at the end of its own frame.
    input("P");
    input("P");
    ASSERT_EQ(g_nav_panel.obs_select, 1);
    input("S");
    frames(1);
    EXPECT_EQ(g_nav_panel.obs_select, 0);
    EXPECT_EQ(events(), (Ids{ev().swap}));
}

TEST_P(NavPanel, SingleEncoderStepsAndSetsOnBearingPagesAndTogglesDmeOnItsPage) {
    go_to_page(2);
    input("R+");
    input("P");
    input("R+");
    EXPECT_EQ(take_sent_events(), (std::vector<SentEvent>{set_whole_up(), set_fraction_up()}));

    go_to_page(4);
    input("R+");
    EXPECT_EQ(events(), Ids{});
    EXPECT_EQ(g_bridge.input_countdown, 0);  // M cleared it; a turn here does not restart it
    input("P");
    EXPECT_EQ(g_bridge.input_countdown, 0);
    input("P");  // each push toggles; the pair still counts as a double push
    EXPECT_EQ(events(), (Ids{ev().toggle_dme, ev().toggle_dme}));
    EXPECT_EQ(g_nav_panel.obs_select, 1);
    EXPECT_EQ(g_bridge.input_countdown, kNavInputFrames);
}

TEST_P(NavPanel, KeysWalkThePagesSwapIdentAndSetTheCourse) {
    g_nav_panel.tune_mode = 1;
    g_nav_panel.obs_fast = 1;
    g_nav_panel.press_window = 12;
    g_bridge.input_countdown = 40;
    std::vector<int> pages;
    for (int i = 0; i < 5; ++i) {
        input("M");
        pages.push_back(g_nav_panel.nav_page);
    }
    EXPECT_EQ(pages, (std::vector<int>{1, 2, 3, 4, 0}));
    EXPECT_EQ(g_nav_panel.tune_mode, 0);
    EXPECT_EQ(g_nav_panel.obs_fast, 0);
    EXPECT_EQ(g_nav_panel.press_window, 0);
    EXPECT_EQ(g_bridge.input_countdown, 0);

    input("S");
    input("T");
    input("B");
    EXPECT_EQ(take_sent_events(), (std::vector<SentEvent>{{ev().swap, 0}, {ev().vor_ident, 0}, {ev().vor_set, 20}}));

    go_to_page(4);
    frame_.f64("SELECTED DME", n_, "number");
    input("T");
    if (n_ == 1) {
        EXPECT_EQ(events(), (Ids{ev().dme1_ident_toggle}));
    } else {
        EXPECT_EQ(events(), (Ids{ev().dme1_ident_enable, ev().dme2_ident_enable}));
    }
    frame_.f64("SELECTED DME", 3 - n_, "number");
    input("T");
    EXPECT_EQ(events(), Ids{});
}

TEST_P(NavPanel, PartialPanelTwoBlocksInputButOnlyOneBlanksTheDisplay) {
    go_to_page(3);
    TestFrame partly = powered();
    partial(partly, 2);
    for (const char* code : {"R+", "P", "M", "S", "T", "B"}) nav_input(code, partly.data());
    TestFrame off = powered();
    off.i32("AVIONICS MASTER SWITCH", 0);
    for (const char* code : {"R+", "P", "M", "S", "T", "B"}) nav_input(code, off.data());
    EXPECT_EQ(events(), Ids{});
    EXPECT_EQ(g_nav_panel.nav_page, 3);

    nav_display(partly.data());
    Lines shown = link_.lines();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0], "B>ON");
    EXPECT_EQ(shown[1], "H>NAV" + std::to_string(n_) + "        FROM");

    TestFrame failed = powered();
    partial(failed, 1);
    nav_display(failed.data());
    EXPECT_EQ(link_.lines(), (Lines{"H>                ", "F>                ", "B>OFF"}));
    EXPECT_EQ(g_nav_panel.nav_page, 0);
}

TEST_P(NavPanel, DisplayShowsTheCurrentPageWithTheBarAndTheObsMark) {
    go_to_page(1);
    input("P");
    input("P");
    frame_.i32(var("NAV CDI").c_str(), 127, "number");
    nav_display(frame_.data());
    std::string n = std::to_string(n_);
    EXPECT_EQ(link_.lines(), (Lines{"B>ON", "H>CDI" + n + "            ", "C>15", "F>110.50    \x05 >045"}));
}

TEST_P(NavPanel, TestModeEchoesTheFrequenciesWhileCountingDownOnNavOneOnly) {
    g_bridge.testmode = 1;
    g_bridge.input_countdown = 1;
    frame_.f64("NAV ACTIVE FREQUENCY:1", 110.5, "MHz").f64("ADF STANDBY FREQUENCY:1", 344.5, "KHz");
    ::testing::internal::CaptureStdout();
    frames(2);  // the second finds the countdown at 0: no lines
    std::string out = ::testing::internal::GetCapturedStdout();
    if (n_ == 1) {
        EXPECT_EQ(out,
                  "NAV1-ACTV  110.500  NAV1-STBY  113.900\n"
                  "NAV2-ACTV    0.000  NAV2-STBY    0.000\n"
                  "ADF1-ACTV    0.000  ADF1-STBY  344.500\n");
    } else {
        EXPECT_EQ(out, "");
    }
}

// One frame through the shared update cycle: the datagrams waiting from the
// panel act in order, then the lines of the same frame go back.
TEST_P(NavPanel, UpdateCycleHandsPanelInputToTheNavSteps) {
    g_bridge.panel_connected = 1;
    std::string identity = "VRAN-NAV" + std::to_string(n_) + "_1.0";
    for (const char* code : {"R+", "M", identity.c_str(), "R+", "M"}) link_.send_from_panel(code);
    link_.run_frame(frame_);
    EXPECT_EQ(take_sent_events(), (std::vector<SentEvent>{{ev().whole_inc, 0}, set_whole_up()}));
    EXPECT_EQ(link_.lines(), (Lines{"B>ON", "H>NAV" + std::to_string(n_) + "          TO", "F>110.50       020"}));
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, NavPanel, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "NAV" + std::to_string(info.param);
                         });

// The dual-encoder panel: each program's knob codes.
class NavDualEncoder : public NavPanel {
protected:
    void SetUp() override {
        NavPanel::SetUp();
        g_bridge.encoder_version = 2;
    }
    // Whole down, whole up, fraction down, fraction up.
    std::vector<const char*> codes() const {
        if (n_ == 1) return {"R1L", "R1R", "R2L", "R2R"};
        return {"R2-", "R2+", "R1-", "R1+"};
    }
    std::vector<const char*> other_codes() const {
        if (n_ == 1) return {"R2-", "R2+", "R1-", "R1+"};
        return {"R1L", "R1R", "R2L", "R2R"};
    }
};

TEST_P(NavDualEncoder, EachProgramsKnobCodesStepWholeAndFraction) {
    for (const char* code : codes()) input(code);
    EXPECT_EQ(events(), (Ids{ev().whole_dec, ev().whole_inc, ev().fraction_dec, ev().fraction_inc}));
    for (const char* code : other_codes()) input(code);
    for (const char* code : {"R+", "R-", "R1", "R2", "P"}) input(code);
    EXPECT_EQ(events(), Ids{});

    go_to_page(3);
    input(codes()[1]);
    input(codes()[3]);
    EXPECT_EQ(take_sent_events(), (std::vector<SentEvent>{set_whole_up(), set_fraction_up()}));
    go_to_page(4);
    for (const char* code : codes()) input(code);
    EXPECT_EQ(events(), Ids{});
}

TEST_P(NavDualEncoder, PushOnTheCdiPageSelectsTheObsForBothKnobs) {
    go_to_page(1);
    input("P");
    EXPECT_EQ(g_nav_panel.obs_select, 1);
    input(codes()[1]);  // whole-megahertz knob: five OBS steps
    input(codes()[2]);  // fraction knob: one
    Ids want(5, ev().obi_inc);
    want.push_back(ev().obi_dec);
    EXPECT_EQ(events(), want);
    input("P");
    EXPECT_EQ(g_nav_panel.obs_select, 0);
    input(codes()[1]);
    EXPECT_EQ(take_sent_events(), (std::vector<SentEvent>{set_whole_up()}));
    EXPECT_EQ(g_nav_panel.tune_mode, 0);
    EXPECT_EQ(g_nav_panel.obs_fast, 0);
}

TEST_P(NavDualEncoder, CountdownRestartsDifferBetweenThePrograms) {
    bool nav2 = n_ == 2;
    g_nav_panel.press_window = 7;
    input(codes()[1]);  // page 0
    EXPECT_EQ(g_bridge.input_countdown, nav2 ? kNavInputFrames : 0);
    EXPECT_EQ(g_nav_panel.press_window, 7);  // knobs leave the push window alone
    go_to_page(2);
    input(codes()[1]);
    EXPECT_EQ(g_bridge.input_countdown, nav2 ? kNavInputFrames : 0);
    go_to_page(1);
    input(codes()[1]);
    EXPECT_EQ(g_bridge.input_countdown, kNavInputFrames);
    go_to_page(4);
    input("P");
    EXPECT_EQ(events(), (Ids{ev().toggle_dme}));
    EXPECT_EQ(g_bridge.input_countdown, nav2 ? kNavInputFrames : 0);
    go_to_page(0);
    input("P");
    EXPECT_EQ(g_bridge.input_countdown, 0);
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, NavDualEncoder, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "NAV" + std::to_string(info.param);
                         });

}  // namespace
