// The transponder rules that the transponder panel and the multi-function
// panel share: flight level, mode keys and steps, digit events, the entry
// countdowns and the two display lines.
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/bridge_state.h"
#include "core/tests/fake_simconnect.h"
#include "panels/test_support/panel_test_harness.h"
#include "panels/xpdr/transponder_rules.h"

namespace {

using Ids = std::vector<uint32_t>;
using Writes = std::vector<int32_t>;

TEST(TransponderFlightLevel, RoundsToTheNearestHundredWithHalvesAwayFromZero) {
    EXPECT_EQ(xpdr_flight_level(4449.0), 44);
    EXPECT_EQ(xpdr_flight_level(4450.0), 45);
    EXPECT_EQ(xpdr_flight_level(34949.0), 349);
    EXPECT_EQ(xpdr_flight_level(34950.0), 350);
    EXPECT_EQ(xpdr_flight_level(49.99), 0);
    EXPECT_EQ(xpdr_flight_level(0.0), 0);
    EXPECT_EQ(xpdr_flight_level(-49.0), 0);
    EXPECT_EQ(xpdr_flight_level(-50.0), -1);
    EXPECT_EQ(xpdr_flight_level(-149.0), -1);
    EXPECT_EQ(xpdr_flight_level(-150.0), -2);
}

TEST(TransponderFlightLevel, AltitudesThatAreNoNumberOrOutOfRangeStayDefined) {
    EXPECT_EQ(xpdr_flight_level(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(xpdr_flight_level(1e300), INT32_MAX);
    EXPECT_EQ(xpdr_flight_level(-1e300), INT32_MIN);
    EXPECT_EQ(xpdr_flight_level(std::numeric_limits<double>::infinity()), INT32_MAX);
    EXPECT_EQ(xpdr_flight_level(-std::numeric_limits<double>::infinity()), INT32_MIN);
}

TEST(TransponderFlightLevel, IndicatedAltitudeOnlyWithFlModeOne) {
    TransponderFields f{};
    ASSERT_TRUE(xpdr_resolve(LAYOUT_XPDR, EVENTS_HUB1_XPDR, &f, nullptr));
    TestFrame frame(LAYOUT_XPDR);
    frame.f64("PRESSURE ALTITUDE", 4960.0, "feet").f64("INDICATED ALTITUDE", 5120.0, "feet");
    EXPECT_EQ(xpdr_frame_flight_level(frame.data(), f, 0), 50);
    EXPECT_EQ(xpdr_frame_flight_level(frame.data(), f, 1), 51);
    EXPECT_EQ(xpdr_frame_flight_level(frame.data(), f, 2), 50);
    EXPECT_EQ(xpdr_frame_flight_level(frame.data(), f, 257), 50);
}

TEST(TransponderModes, KeysToggleOffStandbyAndOnAltitude) {
    // "M": STBY goes OFF, everything else STBY.
    EXPECT_EQ(xpdr_standby_key_state(XPDR_STBY), XPDR_OFF);
    for (int32_t s : std::vector<int32_t>{XPDR_OFF, XPDR_TEST, XPDR_ON, XPDR_ALT, XPDR_GRND, 9})
        EXPECT_EQ(xpdr_standby_key_state(s), XPDR_STBY);
    // "S": ON goes ALT, everything else ON.
    EXPECT_EQ(xpdr_on_key_state(XPDR_ON), XPDR_ALT);
    for (int32_t s : std::vector<int32_t>{XPDR_OFF, XPDR_STBY, XPDR_TEST, XPDR_ALT, XPDR_GRND, -1})
        EXPECT_EQ(xpdr_on_key_state(s), XPDR_ON);
}

TEST(TransponderModes, StepsStopAtOffAndAltAndNeverLeaveTheSelectableStates) {
    int32_t next = -7;
    EXPECT_FALSE(xpdr_mode_after_step(XPDR_OFF, -1, &next));
    EXPECT_FALSE(xpdr_mode_after_step(XPDR_ALT, +1, &next));
    EXPECT_FALSE(xpdr_mode_after_step(XPDR_GRND, +1, &next));
    EXPECT_EQ(next, -7);
    for (int32_t s = XPDR_STBY; s <= XPDR_ALT; ++s) {
        ASSERT_TRUE(xpdr_mode_after_step(s, -1, &next));
        EXPECT_EQ(next, s - 1);
    }
    for (int32_t s = XPDR_OFF; s < XPDR_ALT; ++s) {
        ASSERT_TRUE(xpdr_mode_after_step(s, +1, &next));
        EXPECT_EQ(next, s + 1);
    }
    // GRND is shown, never selected, but stepping down from it gives ALT.
    ASSERT_TRUE(xpdr_mode_after_step(XPDR_GRND, -1, &next));
    EXPECT_EQ(next, XPDR_ALT);
    // States the simulator should not report write nothing out of range.
    EXPECT_FALSE(xpdr_mode_after_step(9, -1, &next));
    EXPECT_FALSE(xpdr_mode_after_step(-3, +1, &next));
}

TEST(TransponderCode, DigitEventsFollowTheCursorAndValidCodesAreOctal) {
    TransponderEvents e{};
    ASSERT_TRUE(xpdr_resolve(LAYOUT_XPDR, EVENTS_HUB1_XPDR, nullptr, &e));
    Ids dec, inc;
    for (uint8_t cursor = 0; cursor < 4; ++cursor) {
        uint32_t id = 0;
        ASSERT_TRUE(xpdr_digit_event(e, cursor, -1, &id));
        dec.push_back(id);
        ASSERT_TRUE(xpdr_digit_event(e, cursor, +1, &id));
        inc.push_back(id);
    }
    // XPNDR_1000_DEC .. XPNDR_1_DEC, then XPNDR_1000_INC .. XPNDR_1_INC.
    EXPECT_EQ(dec, (Ids{64, 65, 66, 67}));
    EXPECT_EQ(inc, (Ids{68, 69, 70, 71}));
    uint32_t id = 0;
    EXPECT_FALSE(xpdr_digit_event(e, 4, +1, &id));

    for (uint32_t code : {0x0000u, 0x1200u, 0x7000u, 0x7777u}) EXPECT_TRUE(xpdr_code_is_valid(code)) << code;
    for (uint32_t code : {0x1280u, 0x8000u, 0x0009u, 0x10000u, 0x71200u})
        EXPECT_FALSE(xpdr_code_is_valid(code)) << code;
}

class TransponderKeys : public ::testing::Test {
protected:
    void SetUp() override {
        fake_sim::reset();
        std::memset(&g_bridge, 0, sizeof g_bridge);
        ASSERT_TRUE(xpdr_resolve(LAYOUT_XPDR, EVENTS_HUB1_XPDR, nullptr, &ev_));
    }
    TransponderEvents ev_{};
    TransponderEntry e_{};
};

TEST_F(TransponderKeys, PushMovesTheCursorOrLeavesModeSelection) {
    for (uint8_t want : {1, 2, 3, 0, 1}) {
        xpdr_key_push(&e_, 200);
        EXPECT_EQ(e_.code_cursor, want);
        EXPECT_EQ(e_.code_countdown, 200);
    }
    e_.mode_countdown = 5;
    xpdr_key_push(&e_, 100);
    EXPECT_EQ(e_.code_cursor, 1);
    EXPECT_EQ(e_.mode_countdown, 0);
    EXPECT_EQ(e_.code_countdown, 100);
}

TEST_F(TransponderKeys, ModeKeysWriteAtOnceAndOpenModeSelection) {
    e_.code_countdown = 9;
    xpdr_key_standby(&e_, XPDR_ALT, 200);
    EXPECT_EQ(e_.mode_countdown, 200);
    EXPECT_EQ(e_.code_countdown, 0);
    xpdr_key_standby(&e_, XPDR_STBY, 100);
    xpdr_key_on_alt(&e_, XPDR_TEST, 100);
    xpdr_key_on_alt(&e_, XPDR_ON, 100);
    EXPECT_EQ(e_.mode_countdown, 100);
    EXPECT_EQ(take_state_writes(), (Writes{XPDR_STBY, XPDR_OFF, XPDR_ON, XPDR_ALT}));

    xpdr_step_mode(XPDR_OFF, -1);
    xpdr_step_mode(XPDR_ALT, +1);
    xpdr_step_mode(XPDR_STBY, +1);
    EXPECT_EQ(take_state_writes(), (Writes{XPDR_TEST}));
    // The whole write: definition 1, the user aircraft, one 4-byte value.
    xpdr_step_mode(XPDR_ON, -1);
    std::vector<FakeCall> set = fake_sim::calls_named("SetDataOnSimObject");
    ASSERT_EQ(set.size(), 1u);
    EXPECT_EQ(set[0].args, (std::vector<uint32_t>{1, 0, 0, 0, 4}));
}

TEST_F(TransponderKeys, IdentAndVfrCodeEndBothEntriesAndAnUnholdableCodeIsNotSent) {
    e_ = TransponderEntry{2, 50, 60};
    xpdr_key_ident(&e_, ev_);
    EXPECT_EQ(e_.code_countdown, 0);
    EXPECT_EQ(e_.mode_countdown, 0);
    EXPECT_EQ(e_.code_cursor, 2);  // back to the thousands at the end of the frame
    e_ = TransponderEntry{2, 50, 60};
    xpdr_key_vfr_code(&e_, ev_, 0x7000);
    EXPECT_EQ(e_.code_countdown, 0);
    EXPECT_EQ(e_.mode_countdown, 0);
    EXPECT_EQ(take_sent_events(), (std::vector<SentEvent>{{74, 0}, {72, 0x7000}}));

    e_ = TransponderEntry{0, 50, 60};
    ::testing::internal::CaptureStdout();
    xpdr_key_vfr_code(&e_, ev_, 0x1289);
    std::string out = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(take_sent_events(), std::vector<SentEvent>{});
    EXPECT_NE(out.find("XPDR_CODE 1289"), std::string::npos) << out;
    EXPECT_EQ(e_.code_countdown, 0);
    EXPECT_EQ(e_.mode_countdown, 0);
}

TEST_F(TransponderKeys, CodeStepSendsTheDigitUnderTheCursorAndRestartsCodeEntry) {
    e_.code_cursor = 3;
    xpdr_step_code(&e_, ev_, +1, 100);
    EXPECT_EQ(e_.code_countdown, 100);
    e_.code_cursor = 0;
    xpdr_step_code(&e_, ev_, -1, 200);
    EXPECT_EQ(e_.code_countdown, 200);
    EXPECT_EQ(take_event_ids(), (Ids{71, 64}));
    e_ = TransponderEntry{9, 0, 0};
    xpdr_step_code(&e_, ev_, +1, 200);
    EXPECT_EQ(take_event_ids(), Ids{});
    EXPECT_EQ(e_.code_countdown, 0);
}

TEST(TransponderEntryCountdown, CursorReturnsToThousandsOnceCodeEntryRunsOut) {
    TransponderEntry e{2, 2, 1};
    xpdr_count_down(&e);
    EXPECT_EQ(e.code_countdown, 1);
    EXPECT_EQ(e.mode_countdown, 0);
    EXPECT_EQ(e.code_cursor, 2);
    xpdr_count_down(&e);
    EXPECT_EQ(e.code_countdown, 0);
    EXPECT_EQ(e.code_cursor, 2);  // the frame that reached 0 still showed the cursor
    xpdr_count_down(&e);
    EXPECT_EQ(e.code_cursor, 0);
    EXPECT_EQ(e.mode_countdown, 0);
}

TEST(TransponderLines, HeaderShowsTheCursorThenTheModeWithOrWithoutTheMarker) {
    const char* cursor[] = {"H>XPDR   SET  |   ", "H>XPDR   SET   |  ", "H>XPDR   SET    | ", "H>XPDR   SET     |"};
    for (uint8_t c = 0; c < 4; ++c) {
        // Code entry wins over mode selection.
        EXPECT_STREQ(xpdr_header_text(TransponderEntry{c, 1, 1}, XPDR_ALT, true), cursor[c]);
    }
    EXPECT_STREQ(xpdr_header_text(TransponderEntry{4, 1, 0}, XPDR_ALT, true), "H>XPDR   SET  CODE");

    const char* plain[] = {"H>XPDR   OFF  CODE", "H>XPDR   STBY CODE", "H>XPDR   TEST CODE",
                           "H>XPDR   ON   CODE", "H>XPDR   ALT  CODE", "H>XPDR   GRND CODE"};
    const char* marked[] = {"H>XPDR  >OFF  CODE", "H>XPDR  >STBY CODE", "H>XPDR  >TEST CODE",
                            "H>XPDR  >ON   CODE", "H>XPDR  >ALT  CODE", "H>XPDR  >GRND CODE"};
    for (int32_t s = XPDR_OFF; s <= XPDR_GRND; ++s) {
        EXPECT_STREQ(xpdr_header_text(TransponderEntry{3, 0, 0}, s, true), plain[s]);
        EXPECT_STREQ(xpdr_header_text(TransponderEntry{3, 0, 7}, s, true), marked[s]);
        EXPECT_STREQ(xpdr_header_text(TransponderEntry{3, 0, 7}, s, false), plain[s]);
    }
    // A state outside OFF to GRND still gives a header of the panel's width.
    for (int32_t s : {-1, 6, 1000}) {
        EXPECT_EQ(std::string(xpdr_header_text(TransponderEntry{}, s, true)).size(), 18u);
        EXPECT_EQ(std::string(xpdr_header_text(TransponderEntry{0, 0, 1}, s, true)).size(), 18u);
    }
}

TEST(TransponderLines, ValueLineShowsLevelIdentAndFourCodeDigits) {
    char line[24];
    struct Case {
        int32_t level, ident, code;
        const char* want;
    };
    const Case cases[] = {
        {44, 0, 0x1200, "F>FL 044      1200"}, {50, 1, 0x1200, "F>FL 050 IDNT 1200"},
        {350, 0, 0x7000, "F>FL 350      7000"}, {0, 0, 0x0000, "F>FL 000      0000"},
        {-1, 0, 0x0007, "F>FL -01      0007"}, {1234, 2, 0x7777, "F>FL 1234 IDNT 7777"},
    };
    for (const Case& c : cases) {
        int n = xpdr_format_value_line(line, c.level, c.ident, c.code);
        EXPECT_STREQ(line, c.want);
        EXPECT_EQ(n, static_cast<int>(std::string(c.want).size()));
    }
    // Whatever the simulator sends, the line stays within its buffer.
    EXPECT_EQ(xpdr_format_value_line(line, INT32_MIN, 1, -1), 23);
}

}  // namespace
