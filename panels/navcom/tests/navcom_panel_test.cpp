// The NAV/COM panel's halves, codes, countdowns and start-up events for
// NAVCOM1-Relay and NAVCOM2-Relay, on one and on two knobs per half.
// Simulator calls go to the recording fake; display lines go over loopback
// UDP to a socket that stands in for the panel. The NAV pages and the NAV
// modes themselves are tested with the shared NAV rules and the NAV panel.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/bridge_state.h"
#include "core/session_setup.h"
#include "core/tests/fake_simconnect.h"
#include "core/update_cycle.h"
#include "panels/navcom/navcom_panel.h"
#include "panels/test_support/panel_test_harness.h"

namespace {

using Ids = std::vector<uint32_t>;
using Lines = std::vector<std::string>;
using Events = std::vector<SentEvent>;

TEST(NavComProgramTable, EachProgramResolvesItsOwnRadiosFromTheNavComColumns) {
    struct Want {
        int radio;
        Ids com;  // whole inc, fraction dec, swap, transmit select, receive-all
        Ids nav;  // whole inc, set, swap, VOR set, VOR ident
        Ids fields;  // COM standby MHz, other radio's transmit, partial panel
    };
    for (const Want& w : {Want{1, {26, 23, 27, 28, 22}, {38, 40, 39, 5, 41}, {464, 588, 624}},
                          Want{2, {32, 29, 33, 34, 22}, {45, 47, 46, 8, 48}, {472, 584, 628}}}) {
        ASSERT_TRUE(navcom_panel_start(w.radio));
        const NavComPanelState& s = g_navcom_panel;
        const ComRadioEvents& c = s.com_event;
        const NavRadioEvents& n = s.nav_radio.event;
        EXPECT_EQ((Ids{c.whole_inc, c.fraction_dec, c.swap, c.transmit_select, c.receive_all_toggle}), w.com);
        EXPECT_EQ((Ids{n.whole_inc, n.set, n.swap, n.vor_set, n.vor_ident}), w.nav);
        EXPECT_EQ((Ids{s.field.com.standby_mhz, s.field.other_transmit, s.nav_radio.field.power.partial_panel}),
                  w.fields);
        EXPECT_EQ(s.nav_radio.raster, RASTER_50_KHZ);
    }
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(navcom_panel_start(3));
    EXPECT_NE(::testing::internal::GetCapturedStdout().find("Error"), std::string::npos);
    // A panel that never started sends nothing and reads nothing.
    fake_sim::reset();
    uint8_t block[644] = {};
    navcom_initial_frame(block);
    navcom_input("C+", block);
    navcom_display(block);
    navcom_countdown(block);
    EXPECT_TRUE(fake_sim::calls().empty());
}

class NavComPanel : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        fake_sim::reset();
        n_ = GetParam();
        bridge_reset(program_profile(navcom_program(n_)->program), &kNavComPanelHooks);
        ASSERT_TRUE(navcom_panel_start(n_));
        ASSERT_TRUE(link_.open());
        g_bridge.encoder_version = 1;
        // Radio n powered: COM 118.000 / 121.500 transmitting, NAV 110.50 /
        // 113.90 with a VOR showing TO on radial 200.4.
        f_.i32("AVIONICS MASTER SWITCH", 1).i32("CIRCUIT GENERAL PANEL ON", 1);
        f64("COM ACTIVE FREQUENCY", 118.0, "MHz").f64("COM STANDBY FREQUENCY", 121.5, "MHz");
        i32("COM TRANSMIT", 1, "boolean");
        f64("NAV ACTIVE FREQUENCY", 110.50, "MHz").f64("NAV STANDBY FREQUENCY", 113.90, "MHz");
        i32("NAV ACTIVE FREQUENCY", 0x1050, "Frequency BCD16");
        i32("NAV SIGNAL", 100, "number").i32("NAV TOFROM", 1, "Enum").f64("NAV RADIAL", 200.4, "degrees");
    }
    void TearDown() override { link_.close(); }

public:
    // Radio n's variables (public, so the calls chain in the tests).
    NavComPanel& i32(const char* base, int32_t v, const char* units) {
        f_.i32(var(base).c_str(), v, units);
        return *this;
    }
    NavComPanel& f64(const char* base, double v, const char* units) {
        f_.f64(var(base).c_str(), v, units);
        return *this;
    }

protected:
    std::string var(const char* base) const { return std::string(base) + ":" + std::to_string(n_); }
    // The NAVCOM1 text as radio n shows it.
    std::string text(std::string s) const {
        if (n_ == 2) s[s.find('1')] = '2';
        return s;
    }

    void input(const char* code) { navcom_input(code, f_.data()); }
    void inputs(std::initializer_list<const char*> codes) {
        for (const char* code : codes) input(code);
    }
    void frames(int count) {
        for (int i = 0; i < count; ++i) navcom_countdown(f_.data());
    }
    void go_to_page(uint8_t page) {
        while (g_navcom_panel.nav.nav_page != page) input("M");
    }
    Lines display() {
        navcom_display(f_.data());
        return link_.lines();
    }
    const ComRadioEvents& com() const { return g_navcom_panel.com_event; }
    const NavRadioEvents& nav() const { return g_navcom_panel.nav_radio.event; }

    int n_ = 1;
    TestFrame f_{LAYOUT_NAVCOM_NAV};
    PanelLoopback link_;
};

TEST_P(NavComPanel, ComKnobTunesWholeUntilPushedAndFallsBackAHundredFramesAfterTheLastStep) {
    inputs({"C+", "C-", "F", "C+", "C-", "Cx", "C"});
    EXPECT_EQ(take_event_ids(), (Ids{com().whole_inc, com().whole_dec, com().fraction_inc, com().fraction_dec}));
    frames(kComHalfInputFrames);
    input("C+");  // still the fraction, and the countdown starts again
    frames(kComHalfInputFrames);
    input("C+");
    frames(kComHalfInputFrames + 1);
    input("C+");
    EXPECT_EQ(take_event_ids(), (Ids{com().fraction_inc, com().fraction_inc, com().whole_inc}));

    // The two halves count down apart: NAV keys leave the COM mode alone,
    // COM keys the NAV mode.
    inputs({"F", "P", "M", "S", "I", "B"});
    frames(1);
    EXPECT_EQ(g_navcom_panel.com_tune_mode, 1);
    inputs({"P", "T", "R", "X"});
    frames(1);
    EXPECT_EQ(g_navcom_panel.nav.tune_mode, 1);
    EXPECT_EQ(g_navcom_panel.com_tune_mode, 0);
}

TEST_P(NavComPanel, ComKeysSelectTransmitSwapAndToggleReceiveAllOnlyWhileTheOtherRadioTransmits) {
    const char* other = n_ == 1 ? "COM TRANSMIT:2" : "COM TRANSMIT:1";
    inputs({"T", "R", "X"});
    f_.i32(other, 1);
    input("R");
    // None of them is a NAV key: "T" is no ident and "X" no NAV swap here.
    EXPECT_EQ(take_event_ids(), (Ids{com().transmit_select, com().swap, com().receive_all_toggle}));
    input("P");
    inputs({"T", "R", "X", "C+", "F"});
    input("P");  // the COM inputs between the pushes do not cancel the double push
    EXPECT_EQ(g_navcom_panel.nav.obs_select, 1);
}

TEST_P(NavComPanel, NavHalfRunsTheNavControlsOnItsOwnCodes) {
    inputs({"N+", "P", "N-", "S", "I", "R+", "T"});
    EXPECT_EQ(take_event_ids(), (Ids{nav().whole_inc, nav().fraction_dec, nav().swap, nav().vor_ident,
                                     com().transmit_select}));
    go_to_page(1);
    input("P");
    input("N+");  // a NAV turn between the pushes cancels the double push
    input("P");
    EXPECT_EQ(g_navcom_panel.nav.obs_select, 0);
    frames(5);
    input("P");
    EXPECT_EQ(g_navcom_panel.nav.obs_select, 1);
    inputs({"P", "N+"});  // fast OBS: five steps a detent
    // The cancelling turn tuned the active frequency one 50-kHz channel.
    Events want{{nav().set, 0x1055}};
    want.insert(want.end(), 5, SentEvent{nav().obi_inc, 0});
    EXPECT_EQ(take_sent_events(), want);
}

TEST_P(NavComPanel, TwoKnobsPerHalfStepBothRadiosAndHaveNoTransmitOrReceiveAllKey) {
    g_bridge.encoder_version = 2;
    f_.i32(n_ == 1 ? "COM TRANSMIT:2" : "COM TRANSMIT:1", 1);
    inputs({"R3+", "R3-", "R4+", "R4-", "R2+", "R1-", "R5+", "R3", "R4x"});
    EXPECT_EQ(take_event_ids(), (Ids{com().fraction_inc, com().fraction_dec, com().whole_inc, com().whole_dec,
                                     nav().whole_inc, nav().fraction_dec}));
    EXPECT_EQ(g_navcom_panel.com_countdown, kComHalfInputFrames);
    EXPECT_EQ(g_bridge.input_countdown, kNavInputFrames);

    inputs({"T", "R", "C+", "F", "N+"});
    EXPECT_TRUE(take_sent_events().empty());
    input("X");
    EXPECT_EQ(take_event_ids(), (Ids{com().swap}));

    // CDI page: the push selects the OBS; the whole-megahertz knob turns it
    // five degrees a detent, the fraction knob one.
    go_to_page(1);
    inputs({"P", "R2-", "R2+", "R1-", "R1+"});
    Ids want(5, nav().obi_dec);
    want.insert(want.end(), 5, nav().obi_inc);
    want.push_back(nav().obi_dec);
    want.push_back(nav().obi_inc);
    EXPECT_EQ(take_event_ids(), want);
    // The COM knobs work on every page.
    go_to_page(4);
    inputs({"R3+", "R2+", "P"});
    EXPECT_EQ(take_event_ids(), (Ids{com().fraction_inc, nav().toggle_dme}));
    EXPECT_EQ(g_bridge.input_countdown, kNavInputFrames);
}

TEST_P(NavComPanel, FastTurnAcceleratesEachHalfsKnobButTheTwoInTurnAreOneStepADetent) {
    accelerate(10);
    turn_knob("C+", f_, 4, 20, 1000);
    EXPECT_EQ(take_event_ids(), Ids(6, com().whole_inc));
    for (int i = 0; i < 3; ++i) {  // each detent a run of its own
        turn_knob("C+", f_, 1, 0, 2000 + 20 * i);
        turn_knob("N-", f_, 1, 0, 2010 + 20 * i);
    }
    Ids each{com().whole_inc, nav().whole_dec};
    EXPECT_EQ(take_event_ids(), (Ids{each[0], each[1], each[0], each[1], each[0], each[1]}));
}

TEST_P(NavComPanel, DisplayShowsTheComLinesThenTheNavPageWithItsBarAsS) {
    std::string nav_header = text("H>NAV1   \x05 Standby");
    EXPECT_EQ(display(), (Lines{"B>ON", "C>118.000  121.500", text("T>COM1 T \a Standby"), nav_header,
                                "F>110.50    113.90"}));
    i32("COM TRANSMIT", 0, "boolean");
    f_.i32("COM RECIEVE ALL", 1);
    EXPECT_EQ(display()[2], text("T>COM1   \a Standby"));
    f_.i32("COM RECIEVE ALL", 2);  // receive-all counts only as exactly 1
    EXPECT_EQ(display()[2], text("T>COM1     Standby"));

    go_to_page(1);
    i32("NAV CDI", -127, "number");
    EXPECT_EQ(display(), (Lines{"B>ON", "C>118.000  121.500", text("T>COM1     Standby"), text("H>CDI1            "),
                                "S>-15", "F>110.50    \x05  000"}));
}

TEST_P(NavComPanel, NavFailureBlanksAllFourLinesAndDropsTheComKeysToo) {
    go_to_page(3);
    f_.i32(n_ == 1 ? "COM TRANSMIT:2" : "COM TRANSMIT:1", 1);
    i32("PARTIAL PANEL NAV", 2, "Enum");
    inputs({"C+", "F", "T", "R", "X", "N+", "P", "M", "S", "I", "B"});
    EXPECT_TRUE(take_sent_events().empty());
    EXPECT_EQ(display().back(), "F>110.50       ---");  // 2 drops input but shows the page

    i32("PARTIAL PANEL NAV", 1, "Enum");
    EXPECT_EQ(display(), (Lines{"H>                ", "F>                ", "C>                ", "T>                ",
                                "B>OFF"}));
    EXPECT_EQ(g_navcom_panel.nav.nav_page, 0);

    // The COM radio's own failure state plays no part.
    i32("PARTIAL PANEL NAV", 0, "Enum").i32("PARTIAL PANEL COMM", 1, "Enum");
    input("C+");
    EXPECT_EQ(take_event_ids(), (Ids{com().whole_inc}));
    EXPECT_EQ(display()[0], "B>ON");
    f_.i32("AVIONICS MASTER SWITCH", 0);
    input("X");
    EXPECT_TRUE(take_sent_events().empty());
    EXPECT_EQ(display().back(), "B>OFF");
}

TEST_P(NavComPanel, StartUpEventsOnTheInitialFrameOfNavComOneOnlyAndNothingToThePanel) {
    struct Case {
        int32_t marker_sound, receive_all;
        bool transmit, toggle;
    };
    for (Case c : {Case{0, 0, true, true}, {1, 0, false, true}, {0, 1, true, false}, {1, 1, false, false}}) {
        f_.i32("MARKER SOUND", c.marker_sound).i32("COM RECIEVE ALL", c.receive_all);
        std::vector<uint8_t> message = fake_sim::data_frame(REQUEST_INITIAL, f_.bytes());
        on_sim_message(reinterpret_cast<SIMCONNECT_RECV*>(message.data()), static_cast<uint32_t>(message.size()),
                       nullptr);
        Ids want;
        if (n_ == 1 && c.transmit) want.push_back(com().transmit_select);
        if (n_ == 1 && c.toggle) want.push_back(com().receive_all_toggle);
        EXPECT_EQ(take_event_ids(), want) << c.marker_sound << c.receive_all;
    }
    EXPECT_TRUE(link_.lines().empty());
}

TEST_P(NavComPanel, TakesEveryCodeItsPanelSends) {
    expect_takes_every_panel_code(n_ == 1 ? "navcom1" : "navcom2", kNavComPanelHooks.takes_code);
}

INSTANTIATE_TEST_SUITE_P(BothPrograms, NavComPanel, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "NAVCOM" + std::to_string(info.param);
                         });

}  // namespace
