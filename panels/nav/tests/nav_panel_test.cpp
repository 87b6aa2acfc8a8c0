// The NAV panel's modes and keys for NAV1-Relay and NAV2-Relay, on one and on
// two encoders. Simulator calls go to the recording fake; display lines go
// over loopback UDP to a socket that stands in for the panel. What a NAV
// page shows and sends is tested with the shared rules.
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
using Events = std::vector<SentEvent>;

class NavPanel : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        fake_sim::reset();
        n_ = GetParam();
        bridge_reset(program_profile(nav_program(n_)->program), &kNavPanelHooks);
        ASSERT_TRUE(nav_panel_start(n_));
        ASSERT_TRUE(link_.open());
        g_bridge.encoder_version = 1;
        // Radio n powered on 110.50 / 113.90, a VOR showing TO on radial 200.4.
        f_.i32("AVIONICS MASTER SWITCH", 1).i32("CIRCUIT GENERAL PANEL ON", 1);
        f_.f64(var("NAV ACTIVE FREQUENCY").c_str(), 110.50, "MHz");
        f_.f64(var("NAV STANDBY FREQUENCY").c_str(), 113.90, "MHz");
        f_.i32(var("NAV ACTIVE FREQUENCY").c_str(), 0x1050, "Frequency BCD16");
        f_.i32(var("NAV TOFROM").c_str(), 1, "Enum").f64(var("NAV RADIAL").c_str(), 200.4, "degrees");
    }
    void TearDown() override { link_.close(); }

    std::string var(const char* base) const { return std::string(base) + ":" + std::to_string(n_); }
    void input(const char* text) { nav_input(text, f_.data()); }
    void frames(int count) {
        for (int i = 0; i < count; ++i) nav_countdown(f_.data());
    }
    void go_to_page(uint8_t page) {
        while (g_nav_panel.nav_page != page) input("M");
    }
    const NavRadioEvents& ev() const { return g_nav_panel.radio.event; }
    // NAVn_RADIO_SET of 110.50 up one megahertz, or one channel of the raster.
    SentEvent set_whole_up() const { return {ev().set, 0x1150}; }
    SentEvent set_fraction_up() const { return {ev().set, n_ == 1 ? 0x1052u : 0x1055u}; }

    int n_ = 1;
    TestFrame f_{LAYOUT_NAVCOM_NAV};
    PanelLoopback link_;
};

TEST_P(NavPanel, SingleEncoderTunesWholeUntilPushedAndTogglesDmeOnItsPage) {
    for (const char* code : {"R+", "P", "R-", "R+x", "Rx", "X"}) input(code);
    EXPECT_EQ(take_event_ids(), (Ids{ev().whole_inc, ev().fraction_dec, ev().fraction_inc}));
    EXPECT_EQ(g_bridge.input_countdown, kNavInputFrames);
    go_to_page(2);  // M went back to whole megahertz
    input("R+");
    input("P");
    input("R+");
    EXPECT_EQ(take_sent_events(), (Events{set_whole_up(), set_fraction_up()}));

    go_to_page(4);  // M cleared the countdown; the DME page does not restart it
    input("R+");
    input("P");
    EXPECT_EQ(g_bridge.input_countdown, 0);
    input("P");  // each push toggles; the pair still counts as a double push
    EXPECT_EQ(take_event_ids(), (Ids{ev().toggle_dme, ev().toggle_dme}));
    EXPECT_EQ(g_nav_panel.obs_select, 1);
    EXPECT_EQ(g_bridge.input_countdown, kNavInputFrames);
}

TEST_P(NavPanel, DoublePushWithinThirtyFramesSelectsTheObsUnlessATurnOrAKeyButBComesBetween) {
    go_to_page(1);
    input("P");
    input("R+");  // the turn makes the next push a first push again
    input("P");
    frames(kNavDoublePushFrames);  // and the window runs out
    input("P");
    EXPECT_EQ(g_nav_panel.obs_select, 0);
    EXPECT_EQ(take_sent_events(), (Events{set_fraction_up()}));

    frames(kNavDoublePushFrames - 1);
    input("P");
    EXPECT_EQ(g_nav_panel.obs_select, 1);
    EXPECT_EQ(g_nav_panel.tune_mode, 0);  // toggled twice on the way in
    input("R-");
    input("P");  // in OBS select the push makes the OBS fast
    input("R+");
    Ids want(1, ev().obi_dec);
    want.insert(want.end(), 5, ev().obi_inc);
    EXPECT_EQ(take_event_ids(), want);

    for (const char* key : {"M", "S", "T", "B"}) {
        g_nav_panel.obs_select = 0;
        g_nav_panel.press_window = 0;
        input("P");
        input(key);
        input("P");
        EXPECT_EQ(g_nav_panel.obs_select, key[0] == 'B' ? 1 : 0) << key;
    }
    EXPECT_EQ(take_event_ids(), (Ids{ev().swap, ev().vor_ident, ev().vor_set}));
}

TEST_P(NavPanel, ModesFallBackAHundredFramesAfterTheLastInputOrAtOnceOnAKey) {
    go_to_page(1);
    for (int i = 0; i < 3; ++i) input("P");
    ASSERT_EQ(g_nav_panel.obs_fast, 1);
    frames(kNavInputFrames);
    EXPECT_EQ(g_nav_panel.obs_select, 1);
    frames(1);
    EXPECT_EQ(g_nav_panel.obs_select, 0);
    EXPECT_EQ(g_nav_panel.obs_fast, 0);
    input("R+");
    EXPECT_EQ(take_sent_events(), (Events{set_whole_up()}));

    for (const char* key : {"S", "T", "B"}) {
        input("P");
        input("P");
        ASSERT_EQ(g_nav_panel.obs_select, 1);
        input(key);
        frames(1);
        EXPECT_EQ(g_nav_panel.obs_select, 0) << key;
    }
    EXPECT_EQ(take_sent_events(), (Events{{ev().swap, 0}, {ev().vor_ident, 0}, {ev().vor_set, 20}}));

    g_nav_panel.tune_mode = g_nav_panel.obs_fast = 1;
    std::vector<int> pages;
    for (int i = 0; i < 5; ++i) {
        input("M");
        pages.push_back(g_nav_panel.nav_page);
    }
    EXPECT_EQ(pages, (std::vector<int>{2, 3, 4, 0, 1}));
    EXPECT_EQ(g_nav_panel.tune_mode + g_nav_panel.obs_fast, 0);
}

TEST_P(NavPanel, PartialPanelTwoDropsInputButOnlyOneBlanksTheDisplayAndResetsThePage) {
    go_to_page(3);
    f_.i32(var("PARTIAL PANEL NAV").c_str(), 2, "Enum");
    for (const char* code : {"R+", "P", "M", "S", "T", "B"}) input(code);
    EXPECT_TRUE(take_sent_events().empty());
    nav_display(f_.data());
    EXPECT_EQ(link_.lines(), (Lines{"B>ON", "H>NAV" + std::to_string(n_) + "        FROM", "F>110.50       ---"}));

    f_.i32(var("PARTIAL PANEL NAV").c_str(), 1, "Enum");
    nav_display(f_.data());
    EXPECT_EQ(link_.lines(), (Lines{"H>                ", "F>                ", "B>OFF"}));
    EXPECT_EQ(g_nav_panel.nav_page, 0);
}

TEST_P(NavPanel, TestModeEchoesTheFrequenciesWhileCountingDownOnNavOneOnly) {
    g_bridge.testmode = 1;
    g_bridge.input_countdown = 1;
    f_.f64("NAV ACTIVE FREQUENCY:1", 110.5, "MHz").f64("ADF STANDBY FREQUENCY:1", 344.5, "KHz");
    ::testing::internal::CaptureStdout();
    frames(2);  // the second finds the countdown at 0: no lines
    std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, n_ == 2 ? ""
                           : "NAV1-ACTV  110.500  NAV1-STBY  113.900\nNAV2-ACTV    0.000  NAV2-STBY    0.000\n"
                             "ADF1-ACTV    0.000  ADF1-STBY  344.500\n");
}

TEST_P(NavPanel, DualEncoderKnobsAreEachProgramsOwn) {
    g_bridge.encoder_version = 2;
    std::vector<const char*> mine = {"R1L", "R1R", "R2L", "R2R"}, other = {"R2-", "R2+", "R1-", "R1+"};
    if (n_ == 2) std::swap(mine, other);  // whole down, whole up, fraction down, fraction up
    for (const char* code : mine) input(code);
    EXPECT_EQ(take_event_ids(), (Ids{ev().whole_dec, ev().whole_inc, ev().fraction_dec, ev().fraction_inc}));
    for (const char* code : other) input(code);
    for (const char* code : {"R+", "R1", "P"}) input(code);
    EXPECT_TRUE(take_sent_events().empty());
    // NAV2 restarts the countdown on every step that acts, NAV1 on page 1 only.
    EXPECT_EQ(g_bridge.input_countdown, n_ == 2 ? kNavInputFrames : 0);

    go_to_page(1);
    input("P");
    input(mine[1]);  // whole-megahertz knob: five OBS steps; fraction knob: one
    input(mine[2]);
    Ids want(5, ev().obi_inc);
    want.push_back(ev().obi_dec);
    EXPECT_EQ(take_event_ids(), want);
    EXPECT_EQ(g_bridge.input_countdown, kNavInputFrames);
    g_nav_panel.press_window = 7;
    input("P");
    input(mine[3]);
    EXPECT_EQ(take_sent_events(), (Events{set_fraction_up()}));
    EXPECT_EQ(g_nav_panel.press_window, 7);  // knobs leave the push window alone

    for (uint8_t page : {2, 3}) {  // step and set; NAV1 restarts on page 1 only
        go_to_page(page);
        input(mine[1]);
        EXPECT_EQ(g_bridge.input_countdown, n_ == 2 ? kNavInputFrames : 0) << int(page);
    }
    EXPECT_EQ(take_sent_events(), (Events{set_whole_up(), set_whole_up()}));

    go_to_page(4);
    for (const char* code : mine) input(code);
    input("P");  // restarts the countdown in NAV2-Relay only
    EXPECT_EQ(take_event_ids(), (Ids{ev().toggle_dme}));
    EXPECT_EQ(g_bridge.input_countdown, n_ == 2 ? kNavInputFrames : 0);
}

TEST_P(NavPanel, FastTurnAcceleratesEveryPageAndStepAndSetGoesOnFromWhatItSet) {
    g_bridge.encoder_version = 2;
    const char* whole_up = n_ == 1 ? "R1R" : "R2+";
    const char* fraction_up = n_ == 1 ? "R2R" : "R1+";
    accelerate(10);
    turn_knob(fraction_up, f_, 4, 20, 1000);  // the simulator's own step: 1, 1, 2, 2
    EXPECT_EQ(take_event_ids(), Ids(6, ev().fraction_inc));
    go_to_page(2);
    turn_knob(whole_up, f_, 4, 20, 2000);  // every frame still says 110.50
    EXPECT_EQ(take_sent_events(),
              (Events{{ev().set, 0x1150}, {ev().set, 0x1250}, {ev().set, 0x1450}, {ev().set, 0x1650}}));
    turn_knob(whole_up, f_, 2, 100, 3000);  // slowly: one step from the frame's value each
    EXPECT_EQ(take_sent_events(), (Events{set_whole_up(), set_whole_up()}));
    go_to_page(1);
    input("P");
    turn_knob(whole_up, f_, 3, 20, 4000);  // five OBS steps a detent, multiplied
    turn_knob(fraction_up, f_, 3, 20, 4060);
    EXPECT_EQ(take_event_ids(), Ids(20 + 4, ev().obi_inc));
}

TEST_P(NavPanel, TakesEveryCodeItsPanelSends) {
    expect_takes_every_panel_code(n_ == 1 ? "nav1" : "nav2", kNavPanelHooks.takes_code);
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, NavPanel, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "NAV" + std::to_string(info.param);
                         });

TEST(NavProgramTable, UnknownRadioFailsAndAnUnstartedPanelDoesNothing) {
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(nav_panel_start(3));
    EXPECT_NE(::testing::internal::GetCapturedStdout().find("Error"), std::string::npos);
    fake_sim::reset();
    uint8_t block[644] = {};
    nav_input("R+", block);
    nav_display(block);
    nav_countdown(block);
    EXPECT_TRUE(fake_sim::calls().empty());
}

}  // namespace
