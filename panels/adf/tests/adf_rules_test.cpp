// The shared ADF rules on their own, with the ADF program's tables. Events go
// to the recording fake of the simulator client, lines over loopback to a
// socket standing in for the panel.
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/bridge_state.h"
#include "core/tests/fake_simconnect.h"
#include "panels/adf/adf_rules.h"
#include "panels/test_support/panel_test_harness.h"

namespace {

using Events = std::vector<SentEvent>;
using Lines = std::vector<std::string>;

// ADF-Relay's event ids.
constexpr uint32_t kCompleteSet = 45, kSwap = 55, kCardDec = 57, kUnitsDec = 49;

class AdfRules : public ::testing::Test {
protected:
    void SetUp() override {
        fake_sim::reset();
        bridge_reset(program_profile(PROGRAM_ADF), nullptr);
        ASSERT_TRUE(adf_describe(LAYOUT_ADF, EVENTS_ADF, &adf_));
        frame_.f64("ADF ACTIVE FREQUENCY:1", 344.5, "KHz").f64("ADF STANDBY FREQUENCY:1", 1799.9, "KHz");
        frame_.f64("PLANE HEADING DEGREES GYRO", 350.0, "degrees").f64("ADF RADIAL:1", 20.7, "degrees");
        frame_.f64("ADF CARD", 7.0, "degrees").f64("ABSOLUTE TIME", 4725.0, "seconds");
    }

    // The edit state after the digit refresh of a frame with these BCD32 words.
    AdfEditState refreshed(uint32_t active, uint32_t standby = 0x02505000) {
        frame_.i32("ADF ACTIVE FREQUENCY:1", static_cast<int32_t>(active), "Frequency ADF BCD32");
        frame_.i32("ADF STANDBY FREQUENCY:1", static_cast<int32_t>(standby), "Frequency ADF BCD32");
        AdfEditState s{};
        adf_refresh_digits(adf_, &s, frame_.data());
        return s;
    }

    AdfDescription adf_{};
    TestFrame frame_{LAYOUT_ADF};
};

TEST_F(AdfRules, DescribeServesTheMultiFunctionPanelAndNamesWhatIsMissing) {
    AdfDescription hub{};
    ASSERT_TRUE(adf_describe(LAYOUT_HUB1, EVENTS_HUB1_XPDR, &hub));
    EXPECT_EQ(hub.event.complete_set, 49u);
    EXPECT_EQ(hub.event.digit_inc[DIGIT_TENTHS], 58u);
    // The NAV programs declare no ADF standby word.
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(adf_describe(LAYOUT_NAVCOM_NAV, EVENTS_NAVCOM_NAV2, &hub));
    std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("ADF STANDBY FREQUENCY:1 (Frequency ADF BCD32)"), std::string::npos) << out;
}

TEST_F(AdfRules, DigitStepsWrapWithoutCarry) {
    AdfEditState s = refreshed(0x17995000, 0x03445000);
    EXPECT_EQ(s.adf_value, 0x17995u);
    EXPECT_EQ(s.adf_standby_value, 0x03445u);
    struct Case {
        uint32_t before;
        uint8_t cursor;
        int direction;
        uint32_t after;
    };
    const Case cases[] = {
        {0x01000000, DIGIT_HUNDREDS, -1, 0x17000},  // 100 down: 1700
        {0x17999000, DIGIT_HUNDREDS, +1, 0x01999},  // 1799.9 up: 199.9
        {0x09000000, DIGIT_HUNDREDS, +1, 0x10000},  // 900 up: 1000
        {0x10000000, DIGIT_HUNDREDS, -1, 0x09000},
        {0x17000000, DIGIT_HUNDREDS, -1, 0x16000},  // 1700 is valid both ways
        {0x16000000, DIGIT_HUNDREDS, +1, 0x17000},
        {0x17999000, DIGIT_TENS, +1, 0x17099},
        {0x03449000, DIGIT_TENTHS, +1, 0x03440},  // 344.9 up: 344.0
        {0x03405000, DIGIT_UNITS, -1, 0x03495},
        // Words no digit step could make still land on a frequency.
        {0x00000000, DIGIT_HUNDREDS, -1, 0x17000},
        {0x1A000000, DIGIT_HUNDREDS, +1, 0x01000},
        {0x03A40000, DIGIT_TENS, +1, 0x03040},
    };
    for (const Case& c : cases) {
        s = refreshed(c.before);
        s.digit_cursor = c.cursor;
        adf_step_digit(&s, c.direction);
        EXPECT_EQ(adf_pack_digits(s.adf_digits), c.after) << std::hex << c.before << " cursor " << int(c.cursor);
    }
}

TEST_F(AdfRules, TurnsAndTheSetSequence) {
    AdfEditState s = refreshed(0x03445000);
    // Frequencies page: the simulator's own digit event, nothing edited.
    s.digit_cursor = DIGIT_UNITS;
    adf_turn(adf_, &s, ADF_PAGE_FREQUENCIES, -1, 1, {true, ECHO_ON_SET});
    EXPECT_EQ(take_sent_events(), (Events{{kUnitsDec, 0}}));

    // Local steps add up within a frame, each sending its own set; the swap
    // option puts this frame's standby back after each.
    s.digit_cursor = DIGIT_TENTHS;
    adf_turn(adf_, &s, ADF_PAGE_NEEDLE, +1, 1, {false, ECHO_NONE});
    ::testing::internal::CaptureStdout();
    adf_turn(adf_, &s, ADF_PAGE_CLOCK, +1, 1, {true, ECHO_ON_SET});
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "03447\n03447\n");
    EXPECT_EQ(take_sent_events(),
              (Events{{kCompleteSet, 0x03446000}, {kCompleteSet, 0x03447000}, {kSwap, 0}, {kCompleteSet, 0x02505000}}));

    // Card select: the card events, then the set with the frequency as it was;
    // the lines of a local step are not printed for it.
    s.card_select = 1;
    ::testing::internal::CaptureStdout();
    adf_turn(adf_, &s, ADF_PAGE_NEEDLE, -1, 5, {false, ECHO_ON_LOCAL_STEP});
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    Events card(5, SentEvent{kCardDec, 0});
    card.push_back({kCompleteSet, 0x03447000});
    EXPECT_EQ(take_sent_events(), card);
}

TEST_F(AdfRules, ClockStartsStopsAndResets) {
    AdfEditState s{};
    adf_clock_key(&s, 1000.0);
    adf_clock_update(&s, 4725.9);
    EXPECT_EQ(s.et_elapsed, 3725);
    // Stopped after the clock ran unseen (the page not drawn in the frame
    // before): the stop holds the time of its own frame.
    adf_clock_next_frame(&s);
    adf_clock_next_frame(&s);
    adf_clock_key(&s, 5000.5);
    adf_clock_update(&s, 9000.0);
    EXPECT_EQ(s.et_elapsed, 4000);
    adf_clock_next_frame(&s);
    adf_clock_key(&s, 9000.0);
    EXPECT_EQ(s.et_state, CLOCK_RESET);
    EXPECT_EQ(s.et_elapsed, 0);
    // Stopped the frame after the page showed the clock: that value stays.
    adf_clock_key(&s, 9000.0);
    adf_clock_update(&s, 9060.9);
    adf_clock_next_frame(&s);
    adf_clock_key(&s, 9075.0);
    EXPECT_EQ(s.et_elapsed, 60);
    adf_clock_key(&s, 9075.0);

    // The simulator's clock set back: counting goes on from there, never
    // below zero; a time that is no number changes nothing.
    adf_clock_key(&s, 9000.0);
    adf_clock_update(&s, 100.0);
    adf_clock_update(&s, 160.0);
    EXPECT_EQ(s.et_elapsed, 60);
    adf_clock_update(&s, std::nan(""));
    EXPECT_EQ(s.et_elapsed, 60);
    adf_clock_update(&s, 1e300);
    EXPECT_EQ(s.et_elapsed, INT32_MAX);
}

TEST(AdfValues, BearingToTheStationAndNeedle) {
    EXPECT_EQ(adf_bearing(350.0, 20.7), 10);
    EXPECT_EQ(adf_bearing(300.0, 60.0), 0);  // 360 shows as 0
    EXPECT_EQ(adf_bearing(5.0, -10.5), 355);
    EXPECT_EQ(adf_bearing(359.0, 360.0), 359);
    EXPECT_EQ(adf_bearing(-400.0, -400.0), 280);  // beyond one turn still 0..359
    EXPECT_EQ(adf_bearing(std::nan(""), 1.0), 0);

    EXPECT_EQ(adf_needle(20.0, true), 6);
    EXPECT_EQ(adf_needle(-25.0, true), -8);
    EXPECT_EQ(adf_needle(0.0, true), 0);
    EXPECT_EQ(adf_needle(180.0, true), 54);  // not limited to the bar's scale
    EXPECT_EQ(adf_needle(20.0, false), 0);
    EXPECT_EQ(adf_needle(std::nan(""), true), 0);
    EXPECT_EQ(adf_needle(1e300, true), INT32_MAX);
}

class AdfPages : public AdfRules {
protected:
    void SetUp() override {
        AdfRules::SetUp();
        ASSERT_TRUE(link_.open());
    }
    void TearDown() override { link_.close(); }

    Lines page(uint8_t page, bool signal, bool sound, bool cursor_header = false) {
        frame_.i32("ADF SIGNAL:1", signal ? 100 : 0, "number").i32("ADF SOUND:1", sound ? 1 : 0);
        adf_send_page(adf_, &s_, page, frame_.data(), cursor_header);
        return link_.lines();
    }

    PanelLoopback link_;
    AdfEditState s_{};
};

TEST_F(AdfPages, FrequenciesWithPlainOrCursorHeader) {
    EXPECT_EQ(page(ADF_PAGE_FREQUENCIES, false, false), (Lines{"H>ADF      Standby", "F> 344.5    1799.9"}));
    EXPECT_EQ(page(ADF_PAGE_FREQUENCIES, true, true), (Lines{"H>ADF    \x04 Standby", "F> 344.5 \a  1799.9"}));
    const char* cursor[] = {"H>ADF        |    ", "H>ADF         |   ", "H>ADF          |  ", "H>ADF            |"};
    for (uint8_t d = 0; d < DIGIT_COUNT; ++d) {
        s_.digit_cursor = d;
        EXPECT_EQ(page(ADF_PAGE_FREQUENCIES, false, false, true)[0], cursor[d]);
    }
    EXPECT_EQ(page(ADF_PAGE_FREQUENCIES, true, false, true)[0], "H>ADF    \x04       |");
}

TEST_F(AdfPages, NeedleAndClock) {
    EXPECT_EQ(page(ADF_PAGE_NEEDLE, true, false), (Lines{"H>ADF             ", "C>6", "F> 344.5    \x04  010"}));
    EXPECT_EQ(page(ADF_PAGE_NEEDLE, false, true), (Lines{"H>ADF             ", "C>0", "F> 344.5 \a  |  ---"}));
    s_.card_select = 1;
    EXPECT_EQ(page(ADF_PAGE_NEEDLE, true, true)[2], "F> 344.5 \a  \x04 >007");
    EXPECT_EQ(page(ADF_PAGE_NEEDLE, false, false)[2], "F> 344.5    | >007");

    s_.et_state = CLOCK_RUNNING;
    s_.et_start = 1000.0;
    EXPECT_EQ(page(ADF_PAGE_CLOCK, false, false), (Lines{"H>ADF           ET", "F> 344.5     62:05"}));
    EXPECT_EQ(page(ADF_PAGE_CLOCK, true, true)[1], "F> 344.5 \a   62:05");
}

}  // namespace
