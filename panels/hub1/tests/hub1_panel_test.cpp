// The multi-function panel through the update cycle: page selection, the
// page key tables with the shared countdown and double-push window, each
// page's lines, and the countdown step. Simulator calls go to the recording
// fake, lines over loopback to the socket standing in for the panel.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/bridge_state.h"
#include "core/tests/fake_simconnect.h"
#include "panels/hub1/hub1_panel.h"
#include "panels/test_support/panel_test_harness.h"

namespace {

using Events = std::vector<SentEvent>;
using Ids = std::vector<uint32_t>;
using Lines = std::vector<std::string>;
using Writes = std::vector<int32_t>;

const char kPageKey[PAGE_COUNT][2] = {"1", "2", "3", "4", "5", "6"};

class HubPanel : public ::testing::Test {
protected:
    void SetUp() override {
        fake_sim::reset();
        bridge_reset(program_profile(PROGRAM_HUB1), &kHubPanelHooks);
        ASSERT_TRUE(hub_panel_start());
        ASSERT_TRUE(link_.open());
        g_bridge.panel_connected = 1;
        // COM1 transmitting; NAV1 on a VOR showing TO, NAV2 FROM; the ADF
        // receiving a station 20 degrees right; the transponder in ALT.
        f_.i32("AVIONICS MASTER SWITCH", 1).i32("CIRCUIT GENERAL PANEL ON", 1);
        f_.f64("COM ACTIVE FREQUENCY:1", 118.0, "MHz").f64("COM STANDBY FREQUENCY:1", 121.5, "MHz");
        f_.f64("COM ACTIVE FREQUENCY:2", 124.85, "MHz").f64("COM STANDBY FREQUENCY:2", 119.1, "MHz");
        f_.i32("COM TRANSMIT:1", 1);
        f_.f64("NAV ACTIVE FREQUENCY:1", 110.5, "MHz").f64("NAV STANDBY FREQUENCY:1", 113.9, "MHz");
        f_.f64("NAV ACTIVE FREQUENCY:2", 114.1, "MHz").f64("NAV STANDBY FREQUENCY:2", 108.2, "MHz");
        f_.i32("NAV ACTIVE FREQUENCY:1", 0x1050, "Frequency BCD16");
        f_.i32("NAV ACTIVE FREQUENCY:2", 0x1410, "Frequency BCD16");
        f_.i32("NAV SIGNAL:1", 1, "number").i32("NAV TOFROM:1", 1, "Enum").f64("NAV RADIAL:1", 359.6, "degrees");
        f_.i32("NAV SIGNAL:2", 1, "number").i32("NAV TOFROM:2", 2, "Enum");
        f_.f64("ADF ACTIVE FREQUENCY:1", 344.5, "KHz").f64("ADF STANDBY FREQUENCY:1", 250.5, "KHz");
        f_.i32("ADF ACTIVE FREQUENCY:1", 0x03445000, "Frequency ADF BCD32");
        f_.i32("ADF STANDBY FREQUENCY:1", 0x02505000, "Frequency ADF BCD32");
        f_.i32("ADF SIGNAL:1", 1, "number").f64("ADF RADIAL:1", 20.0, "degrees");
        f_.f64("PLANE HEADING DEGREES GYRO", 350.7, "degrees").f64("ABSOLUTE TIME", 1000.0, "seconds");
        state(XPDR_ALT).i32("TRANSPONDER CODE:1", 0x1200, "BCO16");
        f_.f64("PRESSURE ALTITUDE", 4960.0, "feet").f64("INDICATED ALTITUDE", 5040.0, "feet");
    }
    void TearDown() override { link_.close(); }

    TestFrame& state(int32_t s) { return f_.i32("TRANSPONDER STATE:1", s, "Enum"); }
    TestFrame& time(double seconds) { return f_.f64("ABSOLUTE TIME", seconds, "seconds"); }
    TestFrame& power(int32_t on) { return f_.i32("AVIONICS MASTER SWITCH", on); }

    // One frame with these datagrams from the panel; the lines it sent. The
    // identity check is kept out of the way.
    Lines frame(std::initializer_list<const char*> codes = {}) {
        for (const char* code : codes) link_.send_from_panel(code);
        g_bridge.frame_counter = 0;
        link_.run_frame(f_);
        return link_.lines();
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i) frame();
    }
    // Shows a page afresh, with nothing sent or pending.
    void show(HubPage page) {
        frame({kPageKey[page]});
        take_sent_events();
    }

    const ComRadioEvents& com(int n) const { return g_hub_radios.com_event[n - 1]; }
    const NavRadioEvents& nav(int n) const { return g_hub_radios.nav[n - 1].event; }
    const AdfEvents& adf() const { return g_hub_radios.adf.event; }
    const TransponderEvents& xpdr() const { return g_hub_radios.xpdr_event; }

    HubPanelState& s = g_hub_panel;
    TestFrame f_{LAYOUT_HUB1};
    PanelLoopback link_;
};

TEST_F(HubPanel, StartsOnTheConfiguredPageOnceAndDropsEveryKeyWhileOff) {
    EXPECT_EQ(frame(), (Lines{"B>ON", "F>124.850  119.100", "H>COM2     Standby"}));
    g_bridge.start_display = 0;  // a later session's configuration moves nothing
    frame();
    EXPECT_EQ(s.hub_page, PAGE_COM2);
    s = HubPanelState{};
    frame();
    EXPECT_EQ(s.hub_page, PAGE_COM1);

    for (const char* off : {"AVIONICS MASTER SWITCH", "CIRCUIT GENERAL PANEL ON"}) {
        f_.i32(off, 0);
        EXPECT_EQ(frame({"3", "S", "R+"}), (Lines{"H>                ", "F>                ", "B>OFF"}));
        EXPECT_EQ(s.hub_page, PAGE_COM1);
        EXPECT_TRUE(take_sent_events().empty());
        f_.i32(off, 1);
    }
}

TEST_F(HubPanel, DigitKeysWalkTheSixPagesAndChangeNothingElse) {
    const Lines want[PAGE_COUNT] = {
        {"B>ON", "F>118.000  121.500", "H>COM1 T \a Standby"},
        {"B>ON", "F>124.850  119.100", "H>COM2     Standby"},
        {"B>ON", "H>NAV1   \x05 Standby", "F>110.50    113.90"},
        {"B>ON", "H>NAV2   \x06 Standby", "F>114.10    108.20"},
        {"B>ON", "H>ADF    \x04 Standby", "F> 344.5     250.5"},
        {"B>ON", "H>XPDR   ALT  CODE", "F>FL 050      1200"},
    };
    frame({"3", "P"});  // NAV1 fraction tuning, countdown running
    for (int page = 0; page < PAGE_COUNT; ++page) EXPECT_EQ(frame({kPageKey[page]}), want[page]) << page;
    EXPECT_EQ(frame({"0", "7", "9"}), want[PAGE_XPDR]);  // no page keys
    EXPECT_EQ(s.nav[0].tune_mode, 1);
    EXPECT_EQ(g_bridge.input_countdown, kHubInputFrames - 8);
    EXPECT_TRUE(take_sent_events().empty());
}

TEST_F(HubPanel, ComPagesTuneTheirOwnRadioAndKeysEndTheTuningMode) {
    show(PAGE_COM1);
    frame({"P", "R+", "R-", "M"});  // receive-all needs COM2 transmitting
    frame({"R+", "I", "S", "Rx"});
    EXPECT_EQ(take_event_ids(), (Ids{com(1).fraction_inc, com(1).fraction_dec, com(1).whole_inc,
                                     com(1).transmit_select, com(1).swap}));
    EXPECT_EQ(s.com[0].tune_mode, 0);
    show(PAGE_COM2);
    frame({"M", "P", "R-"});
    EXPECT_EQ(take_event_ids(), (Ids{com(2).receive_all_toggle, com(2).fraction_dec}));
    EXPECT_EQ(g_bridge.input_countdown, kHubInputFrames - 1);
    EXPECT_EQ(s.com[0].tune_mode, 0);
}

TEST_F(HubPanel, DoublePushIsOneWindowAcrossDisplaysAndPages) {
    show(PAGE_NAV1);
    frame({"P", "P"});  // display 0: OBS select, tuning toggled back
    EXPECT_EQ(s.nav[0].obs_select, 1);
    EXPECT_EQ(s.nav[0].tune_mode, 0);
    frame({"M"});  // the key clears the countdown: the modes end with the frame
    EXPECT_EQ(s.nav[0].obs_select, 0);
    frame({"P", "P", "R+", "P", "R-"});  // display 1: the OBS, then five at a time
    Ids want{nav(1).obi_inc};
    want.insert(want.end(), 5, nav(1).obi_dec);
    EXPECT_EQ(take_event_ids(), want);

    frame({"M"});
    frame({"P", "5", "P"});  // the first push on NAV1, the second on the ADF page
    EXPECT_EQ(s.adf.card_select, 1);
    EXPECT_EQ(s.press_window, 0);
    frames(kHubInputFrames);
    EXPECT_EQ(s.adf.card_select, 0);
}

TEST_F(HubPanel, NavStepAndSetStartsFromTheFrameEveryTime) {
    show(PAGE_NAV1);
    frame({"M", "R+", "R+", "R+"});  // display 1 without OBS select
    frame({"P", "R+"});
    f_.i32("NAV ACTIVE FREQUENCY:1", 0x1795, "Frequency BCD16");
    frame({"R+"});
    EXPECT_EQ(take_sent_events(), (Events{{nav(1).set, 0x1150}, {nav(1).set, 0x1150}, {nav(1).set, 0x1150},
                                          {nav(1).set, 0x1055}, {nav(1).set, 0x1700}}));
    show(PAGE_NAV2);
    frame({"M", "M", "R-"});  // display 2 of NAV2: its own copy, 50 kHz as well
    frame({"P", "R-"});
    EXPECT_EQ(take_sent_events(), (Events{{nav(2).set, 0x1310}, {nav(2).set, 0x1405}}));
}

TEST_F(HubPanel, FastTurnMultipliesTheFastObsButNeverTheTransponderDigits) {
    accelerate(10);
    show(PAGE_NAV1);
    frame({"M", "P", "P", "P"});  // display 1: OBS select, then five steps a detent
    turn_knob("R+", f_, 3, 20, 2000);
    EXPECT_EQ(take_event_ids(), Ids(20, nav(1).obi_inc));
    show(PAGE_XPDR);
    turn_knob("R+", f_, 4, 20, 4000);
    EXPECT_EQ(take_event_ids(), Ids(4, xpdr().digit_inc[0]));
}

TEST_F(HubPanel, NavCourseIdentAndDmeKeys) {
    show(PAGE_NAV1);
    frame({"P", "B"});
    f_.f64("NAV RADIAL:1", 10.4, "degrees");
    frame({"B"});
    f_.i32("NAV HAS LOCALIZER:1", 1);
    frame({"B"});
    EXPECT_EQ(take_sent_events(), (Events{{nav(1).vor_set, 180}, {nav(1).vor_set, 190}}));
    EXPECT_EQ(s.nav[0].tune_mode, 0);  // "B" cleared the countdown

    frame({"M", "M", "M", "M", "I", "P", "R+"});  // DME display, DME 1 not selected
    f_.f64("SELECTED DME", 1.0, "number");
    frame({"I"});
    EXPECT_EQ(take_event_ids(), (Ids{nav(1).toggle_dme, nav(1).dme1_ident_toggle}));
    show(PAGE_NAV2);
    frame({"M", "M", "M", "M", "P"});
    EXPECT_EQ(g_bridge.input_countdown, 0);  // the DME push leaves it alone
    f_.f64("SELECTED DME", 2.0, "number");
    frame({"I"});
    f_.i32("DME SOUND", 1);
    frame({"I"});
    EXPECT_EQ(take_event_ids(), (Ids{nav(2).toggle_dme, nav(2).dme1_ident_enable, nav(2).dme2_ident_enable,
                                     nav(2).dme1_ident_disable, nav(2).dme2_ident_disable}));
}

TEST_F(HubPanel, AdfLocalStepsWrapWithoutCarryAndSetInThreeEvents) {
    show(PAGE_ADF);
    f_.i32("ADF ACTIVE FREQUENCY:1", 0x17999000, "Frequency ADF BCD32");
    frame({"M", "R+"});  // needle display, hundreds: 1799.9 up gives 199.9
    EXPECT_EQ(take_sent_events(),
              (Events{{adf().complete_set, 0x01999000}, {adf().swap, 0}, {adf().complete_set, 0x02505000}}));
    g_bridge.adf_stby = 0;
    frame({"P", "R+", "R+"});  // tens, twice in one frame: 1709.9, then 1719.9
    EXPECT_EQ(take_sent_events(), (Events{{adf().complete_set, 0x17099000}, {adf().complete_set, 0x17199000}}));
    f_.i32("ADF ACTIVE FREQUENCY:1", 0x01000000, "Frequency ADF BCD32");
    frame({"M", "R-"});  // the clock display edits too; the cursor is back on the hundreds
    EXPECT_EQ(take_sent_events(), (Events{{adf().complete_set, 0x17000000}}));

    frames(kHubDoublePushFrames);  // "M" leaves the window of the push above open
    frame({"M", "M", "P", "P", "R+"});  // needle display, card select: the card, then the frequency as it is
    EXPECT_EQ(take_sent_events(), (Events{{adf().card_inc, 0}, {adf().complete_set, 0x01000000}}));
    EXPECT_EQ(frame()[3], "F> 344.5    \x04 >000");
}

TEST_F(HubPanel, AdfClockStartsStopsResetsAndGoesBackToZeroWhenOff) {
    show(PAGE_ADF);
    frame({"M", "M", "I"});
    time(1065.0);
    EXPECT_EQ(frame()[2], "F> 344.5     01:05");
    time(1070.0);
    frame({"I"});  // stopped: the value on show in the frame before stays
    time(1100.0);
    EXPECT_EQ(frame()[2], "F> 344.5     01:05");
    EXPECT_EQ(frame({"I"})[2], "F> 344.5     00:00");
    frame({"I"});
    time(1103.0);
    EXPECT_EQ(frame()[2], "F> 344.5     00:03");
    // Run unseen on another page and stopped on coming back in one frame:
    // the stop holds that frame's time.
    show(PAGE_COM1);
    time(1130.0);
    frame({"5", "I"});
    time(1200.0);
    EXPECT_EQ(frame()[2], "F> 344.5     00:30");
    EXPECT_TRUE(take_sent_events().empty());

    power(0);
    frame();
    power(1);
    EXPECT_EQ(frame(), (Lines{"B>ON", "H>ADF    \x04 Standby", "F> 344.5     250.5"}));
    EXPECT_EQ(s.adf.et_state, CLOCK_RESET);
    EXPECT_EQ(s.adf.et_elapsed, 0);
}

TEST_F(HubPanel, XpdrModesCodeEntryAndTheirOwnCountdowns) {
    show(PAGE_XPDR);
    g_bridge.input_countdown = 50;  // the shared countdown and window are none of this page's
    s.press_window = 20;
    EXPECT_EQ(frame({"M", "R+", "P", "M", "S", "I", "B"})[1], "H>XPDR   ALT  CODE");  // "B" ended the selection
    EXPECT_EQ(g_bridge.input_countdown, 49);
    EXPECT_EQ(s.press_window, 19);
    take_sent_events();
    EXPECT_EQ(frame({"M", "R+"})[1], "H>XPDR  >ALT  CODE");  // STBY written; up from ALT writes nothing
    state(XPDR_STBY);
    frame({"M"});
    state(XPDR_ON);
    frame({"S"});
    state(XPDR_TEST);
    frame({"S", "R-"});
    EXPECT_EQ(take_state_writes(), (Writes{XPDR_STBY, XPDR_OFF, XPDR_ALT, XPDR_ON, XPDR_STBY}));
    frames(kHubXpdrEntryFrames - 2);
    EXPECT_EQ(frame()[1], "H>XPDR  >TEST CODE");
    EXPECT_EQ(frame()[1], "H>XPDR   TEST CODE");

    frame({"P", "R+"});  // the hundreds digit
    state(XPDR_OFF);
    frame({"R+"});
    state(XPDR_ALT);
    f_.i32("PARTIAL PANEL TRANSPONDER:1", 1, "Enum");
    frame({"R+"});
    EXPECT_EQ(take_event_ids(), (Ids{xpdr().digit_inc[1]}));
    frames(kHubXpdrEntryFrames - 4);  // the 100th frame since the digit step
    EXPECT_EQ(frame()[1], "H>XPDR   SET   |  ");
    EXPECT_EQ(frame()[1], "H>XPDR   ALT  CODE");
    EXPECT_EQ(s.xpdr.code_cursor, 0);

    state(XPDR_OFF);  // only the two switches blank this page
    frame({"B", "I"});
    EXPECT_EQ(frame(), (Lines{"B>ON", "H>XPDR   OFF  CODE", "F>FL 050      1200"}));
    EXPECT_EQ(take_sent_events(), (Events{{xpdr().set, 0x1200}, {xpdr().ident_on, 0}}));
}

TEST_F(HubPanel, FlightLevelToTheNearestHundredFeet) {
    show(PAGE_XPDR);
    for (auto c : {std::make_pair(34949.0, "F>FL 349      1200"), std::make_pair(34950.0, "F>FL 350      1200"),
                   std::make_pair(-149.0, "F>FL -01      1200")}) {
        f_.f64("PRESSURE ALTITUDE", c.first, "feet");
        EXPECT_EQ(frame()[2], c.second);
    }
    g_bridge.fl_mode = 1;
    EXPECT_EQ(frame()[2], "F>FL 050      1200");  // indicated 5,040 ft
}

TEST_F(HubPanel, PagesShowTheirRadiosAndResetTheirDisplayWhenOff) {
    show(PAGE_COM1);
    f_.i32("COM RECIEVE ALL", 1);
    EXPECT_EQ(frame()[2], "H>COM1 T \a Standby");  // transmit wins
    f_.i32("COM TRANSMIT:1", 0);
    EXPECT_EQ(frame()[2], "H>COM1   \a Standby");

    show(PAGE_NAV1);
    f_.i32("NAV CDI:1", -127, "number");
    EXPECT_EQ(frame({"M"}), (Lines{"B>ON", "H>CDI1            ", "C>-15", "F>110.50    \x05  000"}));
    frame({"M", "M", "M"});
    power(0);
    frame();
    power(1);
    EXPECT_EQ(frame()[1], "H>NAV1   \x05 Standby");

    show(PAGE_ADF);
    EXPECT_EQ(frame({"M"}), (Lines{"B>ON", "H>ADF             ", "C>6", "F> 344.5    \x04  010"}));
}

// The panel sends every key whichever page is shown ("B" has no use on a
// COM page).
TEST_F(HubPanel, TakesEveryCodeItsPanelSendsOnEveryPage) {
    for (HubPage page : {PAGE_COM1, PAGE_XPDR}) {
        show(page);
        expect_takes_every_panel_code("hub1", kHubPanelHooks.takes_code);
    }
    EXPECT_FALSE(hub_takes_code("R"));  // an encoder code needs its direction
}

}  // namespace
