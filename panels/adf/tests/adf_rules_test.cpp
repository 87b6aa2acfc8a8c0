// The shared ADF rules on their own: digits, set sequence, bearing, needle,
// clock and the page lines, with the ADF program's and the multi-function
// program's tables. Events go to the recording fake of the simulator client,
// lines over loopback to a socket standing in for the panel.
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
constexpr uint32_t kCompleteSet = 45, kSwap = 55, kCardDec = 57, kCardInc = 56;

class AdfRules : public ::testing::Test {
protected:
    void SetUp() override {
        fake_sim::reset();
        bridge_reset(program_profile(PROGRAM_ADF), nullptr);
        ASSERT_TRUE(adf_describe(LAYOUT_ADF, EVENTS_ADF, &adf_));
    }

    // The edit state after the digit refresh of a frame with these BCD32 words.
    AdfEditState refreshed(uint32_t active, uint32_t standby = 0x03790000) {
        TestFrame f(LAYOUT_ADF);
        f.i32("ADF ACTIVE FREQUENCY:1", static_cast<int32_t>(active), "Frequency ADF BCD32");
        f.i32("ADF STANDBY FREQUENCY:1", static_cast<int32_t>(standby), "Frequency ADF BCD32");
        AdfEditState s{};
        adf_refresh_digits(adf_, &s, f.data());
        return s;
    }

    AdfDescription adf_{};
};

TEST_F(AdfRules, DescribeResolvesBothProgramsThatShowAnAdf) {
    EXPECT_EQ(adf_.field.active_bcd32, 560u);
    EXPECT_EQ(adf_.field.standby_bcd32, 564u);
    EXPECT_EQ(adf_.field.active_khz, 512u);
    EXPECT_EQ(adf_.field.absolute_time, 256u);
    EXPECT_EQ(adf_.event.complete_set, kCompleteSet);
    EXPECT_EQ(adf_.event.digit_dec[DIGIT_HUNDREDS], 47u);
    EXPECT_EQ(adf_.event.digit_inc[DIGIT_TENTHS], 54u);
    EXPECT_EQ(adf_.event.ident_toggle, 59u);

    AdfDescription hub{};
    ASSERT_TRUE(adf_describe(LAYOUT_HUB1, EVENTS_HUB1_XPDR, &hub));
    EXPECT_EQ(hub.field.standby_bcd32, 564u);
    EXPECT_EQ(hub.event.complete_set, 49u);
    EXPECT_EQ(hub.event.swap, 59u);

    // The NAV programs declare no ADF standby word: refused, and named.
    ::testing::internal::CaptureStdout();
    EXPECT_FALSE(adf_describe(LAYOUT_NAVCOM_NAV, EVENTS_NAVCOM_NAV2, &hub));
    std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("ADF STANDBY FREQUENCY:1 (Frequency ADF BCD32)"), std::string::npos) << out;
}

TEST_F(AdfRules, RefreshTakesTheDigitsAndBothPackedValuesFromTheFrame) {
    AdfEditState s = refreshed(0x17995000, 0x03445000);
    EXPECT_EQ(s.adf_digits[DIGIT_HUNDREDS], 0x17);
    EXPECT_EQ(s.adf_digits[DIGIT_TENS], 9);
    EXPECT_EQ(s.adf_digits[DIGIT_UNITS], 9);
    EXPECT_EQ(s.adf_digits[DIGIT_TENTHS], 5);
    EXPECT_EQ(s.adf_value, 0x17995u);
    EXPECT_EQ(s.adf_standby_value, 0x03445u);
    EXPECT_EQ(adf_pack_digits(s.adf_digits), s.adf_value);
}

TEST_F(AdfRules, DigitStepsWrapWithoutCarry) {
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
        {0x10000000, DIGIT_HUNDREDS, -1, 0x09000},  // 1000 down: 900
        {0x17999000, DIGIT_TENS, +1, 0x17099},
        {0x03449000, DIGIT_TENTHS, +1, 0x03440},  // 344.9 up: 344.0
        {0x03440000, DIGIT_TENTHS, -1, 0x03449},
        {0x03405000, DIGIT_UNITS, -1, 0x03495},
        // Words no digit step could make still land on a frequency.
        {0x00000000, DIGIT_HUNDREDS, -1, 0x17000},
        {0x00000000, DIGIT_HUNDREDS, +1, 0x01000},
        {0x1A000000, DIGIT_HUNDREDS, +1, 0x01000},
        {0x03A40000, DIGIT_TENS, +1, 0x03040},
        {0x03A40000, DIGIT_TENS, -1, 0x03940},
    };
    for (const Case& c : cases) {
        AdfEditState s = refreshed(c.before);
        s.digit_cursor = c.cursor;
        adf_step_digit(&s, c.direction);
        EXPECT_EQ(adf_pack_digits(s.adf_digits), c.after) << std::hex << c.before << " cursor " << int(c.cursor);
    }
}

TEST_F(AdfRules, SetSendsTheEditAndWithTheSwapOptionPutsTheStandbyBack) {
    AdfEditState s = refreshed(0x03445000, 0x02505000);
    adf_send_set(adf_, &s, {false, ECHO_NONE});
    EXPECT_EQ(take_sent_events(), (Events{{kCompleteSet, 0x03445000}}));

    s.digit_cursor = DIGIT_TENTHS;
    adf_step_digit(&s, +1);
    ::testing::internal::CaptureStdout();
    adf_send_set(adf_, &s, {true, ECHO_ON_SET});
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "03446\n03446\n");
    EXPECT_EQ(take_sent_events(), (Events{{kCompleteSet, 0x03446000}, {kSwap, 0}, {kCompleteSet, 0x02505000}}));
    EXPECT_EQ(s.adf_value, 0x03446u);
}

TEST_F(AdfRules, TurnByPage) {
    AdfEditState s = refreshed(0x03445000);
    AdfSetOptions plain{false, ECHO_NONE};
    // Frequencies page: the simulator's digit event for the cursor, no edit.
    for (uint8_t d = 0; d < DIGIT_COUNT; ++d) {
        s.digit_cursor = d;
        adf_turn(adf_, &s, ADF_PAGE_FREQUENCIES, -1, 1, plain);
        adf_turn(adf_, &s, ADF_PAGE_FREQUENCIES, +1, 1, plain);
        EXPECT_EQ(take_event_ids(), (std::vector<uint32_t>{47u + d, 51u + d}));
    }
    EXPECT_EQ(adf_pack_digits(s.adf_digits), 0x03445u);

    // Two local steps in one frame add up, each with its own set.
    s.digit_cursor = DIGIT_TENTHS;
    adf_turn(adf_, &s, ADF_PAGE_NEEDLE, +1, 1, plain);
    adf_turn(adf_, &s, ADF_PAGE_CLOCK, +1, 1, plain);
    EXPECT_EQ(take_sent_events(), (Events{{kCompleteSet, 0x03446000}, {kCompleteSet, 0x03447000}}));

    // Card select: card events, then the set with the frequency unchanged;
    // the test-mode lines of a local step are not printed for a card turn.
    s.card_select = 1;
    ::testing::internal::CaptureStdout();
    adf_turn(adf_, &s, ADF_PAGE_NEEDLE, -1, 5, {false, ECHO_ON_LOCAL_STEP});
    adf_turn(adf_, &s, ADF_PAGE_NEEDLE, +1, 1, plain);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    Events card(5, SentEvent{kCardDec, 0});
    card.push_back({kCompleteSet, 0x03447000});
    card.push_back({kCardInc, 0});
    card.push_back({kCompleteSet, 0x03447000});
    EXPECT_EQ(take_sent_events(), card);

    // Card select plays no part on the clock page.
    ::testing::internal::CaptureStdout();
    adf_turn(adf_, &s, ADF_PAGE_CLOCK, -1, 5, {false, ECHO_ON_LOCAL_STEP});
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "03446\n03446\n");
    EXPECT_EQ(take_sent_events(), (Events{{kCompleteSet, 0x03446000}}));
}

TEST_F(AdfRules, PushPageAndEndOfInputMode) {
    AdfEditState s{};
    for (int i = 0; i < 4; ++i) adf_push(&s, ADF_PAGE_FREQUENCIES);
    EXPECT_EQ(s.digit_cursor, DIGIT_HUNDREDS);  // after the tenths the first digit
    adf_push(&s, ADF_PAGE_FREQUENCIES);
    s.card_select = 1;
    adf_push(&s, ADF_PAGE_NEEDLE);  // toggles the fast turn, cursor stays
    EXPECT_EQ(s.digit_cursor, DIGIT_TENS);
    EXPECT_EQ(s.card_fast, 1);
    adf_push(&s, ADF_PAGE_CLOCK);
    EXPECT_EQ(s.digit_cursor, DIGIT_UNITS);

    uint8_t page = ADF_PAGE_CLOCK;
    adf_next_page(&page, &s);
    EXPECT_EQ(page, ADF_PAGE_FREQUENCIES);
    EXPECT_EQ(s.digit_cursor, DIGIT_HUNDREDS);
    EXPECT_EQ(s.card_fast, 0);
    EXPECT_EQ(s.card_select, 1);  // card select ends with the countdown
    adf_end_input_mode(&s);
    EXPECT_EQ(s.card_select, 0);
}

TEST_F(AdfRules, ClockStartsStopsAndResets) {
    AdfEditState s{};
    adf_clock_key(&s, 1000.0);
    EXPECT_EQ(s.et_state, CLOCK_RUNNING);
    adf_clock_update(&s, 4725.9);
    EXPECT_EQ(s.et_elapsed, 3725);  // 62:05
    // Stopping holds the time of the stop, even if the page was not drawn
    // since the clock started.
    adf_clock_key(&s, 5000.5);
    EXPECT_EQ(s.et_elapsed, 4000);
    adf_clock_update(&s, 9000.0);
    EXPECT_EQ(s.et_elapsed, 4000);
    adf_clock_key(&s, 9000.0);
    EXPECT_EQ(s.et_state, CLOCK_RESET);
    EXPECT_EQ(s.et_elapsed, 0);
    adf_clock_key(&s, 9000.0);
    adf_clock_update(&s, 9010.0);
    EXPECT_EQ(s.et_elapsed, 10);

    // The simulator's clock set back: counting goes on from there, never
    // below zero; a time that is no number changes nothing.
    adf_clock_update(&s, 100.0);
    EXPECT_EQ(s.et_elapsed, 0);
    adf_clock_update(&s, 160.0);
    EXPECT_EQ(s.et_elapsed, 60);
    adf_clock_update(&s, std::nan(""));
    EXPECT_EQ(s.et_elapsed, 60);
    adf_clock_update(&s, 1e300);
    EXPECT_EQ(s.et_elapsed, INT32_MAX);
}

TEST(AdfValues, BearingToTheStationAndNeedle) {
    EXPECT_EQ(adf_bearing(350.0, 20.7), 10);
    EXPECT_EQ(adf_bearing(350.7, 20.0), 10);
    EXPECT_EQ(adf_bearing(300.0, 60.0), 0);  // 360 shows as 0
    EXPECT_EQ(adf_bearing(359.0, 0.9), 359);
    EXPECT_EQ(adf_bearing(5.0, -10.5), 355);
    EXPECT_EQ(adf_bearing(0.0, -0.5), 0);
    EXPECT_EQ(adf_bearing(359.0, 360.0), 359);
    EXPECT_EQ(adf_bearing(-400.0, -400.0), 280);  // beyond one turn still 0..359
    EXPECT_EQ(adf_bearing(std::nan(""), 1.0), 0);

    EXPECT_EQ(adf_needle(20.0, true), 6);
    EXPECT_EQ(adf_needle(25.0, true), 8);
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
        frame_.f64("ADF ACTIVE FREQUENCY:1", 344.5, "KHz").f64("ADF STANDBY FREQUENCY:1", 1799.9, "KHz");
        frame_.f64("PLANE HEADING DEGREES GYRO", 350.0, "degrees").f64("ADF RADIAL:1", 20.7, "degrees");
        frame_.f64("ADF CARD", 7.0, "degrees").f64("ABSOLUTE TIME", 4725.0, "seconds");
    }
    void TearDown() override { link_.close(); }

    Lines page(uint8_t page, bool signal, bool sound, bool cursor_header = false) {
        frame_.i32("ADF SIGNAL:1", signal ? 100 : 0, "number").i32("ADF SOUND:1", sound ? 1 : 0);
        adf_send_page(adf_, &s_, page, frame_.data(), cursor_header);
        return link_.lines();
    }

    PanelLoopback link_;
    TestFrame frame_{LAYOUT_ADF};
    AdfEditState s_{};
};

TEST_F(AdfPages, FrequenciesWithPlainOrCursorHeader) {
    EXPECT_EQ(page(ADF_PAGE_FREQUENCIES, false, false), (Lines{"H>ADF      Standby", "F> 344.5    1799.9"}));
    EXPECT_EQ(page(ADF_PAGE_FREQUENCIES, true, true), (Lines{"H>ADF    \x04 Standby", "F> 344.5 \a  1799.9"}));
    const char* without_signal[] = {"H>ADF        |    ", "H>ADF         |   ", "H>ADF          |  ",
                                    "H>ADF            |"};
    const char* with_signal[] = {"H>ADF    \x04   |    ", "H>ADF    \x04    |   ", "H>ADF    \x04     |  ",
                                 "H>ADF    \x04       |"};
    for (uint8_t d = 0; d < DIGIT_COUNT; ++d) {
        s_.digit_cursor = d;
        EXPECT_EQ(page(ADF_PAGE_FREQUENCIES, false, false, true)[0], without_signal[d]);
        EXPECT_EQ(page(ADF_PAGE_FREQUENCIES, true, false, true)[0], with_signal[d]);
    }
}

TEST_F(AdfPages, NeedleShowsBearingOrCard) {
    EXPECT_EQ(page(ADF_PAGE_NEEDLE, true, false), (Lines{"H>ADF             ", "C>6", "F> 344.5    \x04  010"}));
    EXPECT_EQ(page(ADF_PAGE_NEEDLE, false, true), (Lines{"H>ADF             ", "C>0", "F> 344.5 \a  |  ---"}));
    s_.card_select = 1;
    EXPECT_EQ(page(ADF_PAGE_NEEDLE, true, true)[2], "F> 344.5 \a  \x04 >007");
    EXPECT_EQ(page(ADF_PAGE_NEEDLE, false, false)[2], "F> 344.5    | >007");
}

TEST_F(AdfPages, ClockShowsMinutesAndSeconds) {
    s_.et_state = CLOCK_RUNNING;
    s_.et_start = 1000.0;
    EXPECT_EQ(page(ADF_PAGE_CLOCK, false, false), (Lines{"H>ADF           ET", "F> 344.5     62:05"}));
    EXPECT_EQ(page(ADF_PAGE_CLOCK, true, true)[1], "F> 344.5 \a   62:05");
    s_.et_state = CLOCK_STOPPED;
    frame_.f64("ABSOLUTE TIME", 9999.0, "seconds");
    EXPECT_EQ(page(ADF_PAGE_CLOCK, false, false)[1], "F> 344.5     62:05");
}

}  // namespace
