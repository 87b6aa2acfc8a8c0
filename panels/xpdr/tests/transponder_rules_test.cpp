// The transponder rules that the transponder panel and the multi-function
// panel share; the keys and their countdowns are held by the panel's tests.
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "panels/test_support/panel_test_harness.h"
#include "panels/xpdr/transponder_rules.h"

namespace {

TEST(TransponderRules, FlightLevelRoundsHalvesAwayFromZeroAndStaysDefined) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    const std::vector<std::pair<double, int32_t>> cases = {
        {4449.0, 44}, {4450.0, 45}, {34949.0, 349}, {34950.0, 350}, {49.99, 0}, {-49.0, 0},
        {-50.0, -1},  {-149.0, -1}, {-150.0, -2},   {nan, 0},       {1e300, INT32_MAX}, {-inf, INT32_MIN}};
    for (const auto& c : cases) EXPECT_EQ(xpdr_flight_level(c.first), c.second) << c.first;

    TransponderFields f{};
    ASSERT_TRUE(xpdr_resolve(LAYOUT_XPDR, EVENTS_HUB1_XPDR, &f, nullptr));
    TestFrame frame(LAYOUT_XPDR);
    frame.f64("PRESSURE ALTITUDE", 4960.0, "feet").f64("INDICATED ALTITUDE", 5120.0, "feet");
    EXPECT_EQ(xpdr_frame_flight_level(frame.data(), f, 1), 51);
    for (int32_t mode : {0, 2, 257}) EXPECT_EQ(xpdr_frame_flight_level(frame.data(), f, mode), 50) << mode;
}

TEST(TransponderRules, ModeKeysToggleAndStepsStopAtOffAndAlt) {
    // "M": STBY goes OFF, anything else STBY; "S": ON goes ALT, anything else ON.
    for (int32_t s = -1; s <= 9; ++s) {
        EXPECT_EQ(xpdr_standby_key_state(s), s == XPDR_STBY ? XPDR_OFF : XPDR_STBY) << s;
        EXPECT_EQ(xpdr_on_key_state(s), s == XPDR_ON ? XPDR_ALT : XPDR_ON) << s;
    }
    int32_t next = -7;
    EXPECT_FALSE(xpdr_mode_after_step(XPDR_OFF, -1, &next));
    EXPECT_FALSE(xpdr_mode_after_step(XPDR_ALT, +1, &next));
    EXPECT_FALSE(xpdr_mode_after_step(XPDR_GRND, +1, &next));
    // States the simulator should not report step to nothing.
    EXPECT_FALSE(xpdr_mode_after_step(9, -1, &next));
    EXPECT_FALSE(xpdr_mode_after_step(-3, +1, &next));
    EXPECT_EQ(next, -7);
    std::vector<int32_t> down, up;
    for (int32_t s = XPDR_OFF; s <= XPDR_GRND; ++s) {
        if (xpdr_mode_after_step(s, -1, &next)) down.push_back(next);
        if (xpdr_mode_after_step(s, +1, &next)) up.push_back(next);
    }
    // GRND is never selected, but stepping down from it gives ALT.
    EXPECT_EQ(down, (std::vector<int32_t>{XPDR_OFF, XPDR_STBY, XPDR_TEST, XPDR_ON, XPDR_ALT}));
    EXPECT_EQ(up, (std::vector<int32_t>{XPDR_STBY, XPDR_TEST, XPDR_ON, XPDR_ALT}));
}

TEST(TransponderRules, DigitEventsFollowTheCursorAndOnlyOctalCodesAreValid) {
    TransponderEvents e{};
    ASSERT_TRUE(xpdr_resolve(LAYOUT_XPDR, EVENTS_HUB1_XPDR, nullptr, &e));
    std::vector<uint32_t> ids;
    for (uint8_t cursor = 0; cursor < 4; ++cursor) {
        for (int direction : {-1, +1}) {
            uint32_t id = 0;
            ASSERT_TRUE(xpdr_digit_event(e, cursor, direction, &id));
            ids.push_back(id);
        }
    }
    // XPNDR_1000_DEC/INC, XPNDR_100_DEC/INC, XPNDR_10_..., XPNDR_1_...
    EXPECT_EQ(ids, (std::vector<uint32_t>{64, 68, 65, 69, 66, 70, 67, 71}));
    uint32_t id = 0;
    EXPECT_FALSE(xpdr_digit_event(e, 4, +1, &id));

    for (uint32_t code : {0x0000u, 0x1200u, 0x7000u, 0x7777u}) EXPECT_TRUE(xpdr_code_is_valid(code)) << code;
    for (uint32_t code : {0x1280u, 0x8000u, 0x0009u, 0x10000u}) EXPECT_FALSE(xpdr_code_is_valid(code)) << code;
}

TEST(TransponderRules, CursorReturnsToThousandsTheFrameAfterCodeEntryRunsOut) {
    TransponderEntry e{2, 2, 1};
    xpdr_count_down(&e);
    xpdr_count_down(&e);
    EXPECT_EQ(e.code_countdown, 0);
    EXPECT_EQ(e.mode_countdown, 0);
    EXPECT_EQ(e.code_cursor, 2);  // the frame that reached 0 still showed the cursor
    xpdr_count_down(&e);
    EXPECT_EQ(e.code_cursor, 0);
    EXPECT_EQ(e.mode_countdown, 0);
}

TEST(TransponderRules, HeaderShowsTheCursorElseTheModeWithOrWithoutTheMarker) {
    const char* cursor[] = {"H>XPDR   SET  |   ", "H>XPDR   SET   |  ", "H>XPDR   SET    | ", "H>XPDR   SET     |",
                            "H>XPDR   SET  CODE"};
    for (uint8_t c = 0; c < 5; ++c) {
        // Code entry wins over mode selection.
        EXPECT_STREQ(xpdr_header_text(TransponderEntry{c, 1, 1}, XPDR_ALT, true), cursor[c]);
    }
    const char* mode[] = {"OFF ", "STBY", "TEST", "ON  ", "ALT ", "GRND"};
    for (int32_t s = XPDR_OFF; s <= XPDR_GRND; ++s) {
        std::string m = mode[s];
        EXPECT_EQ(xpdr_header_text(TransponderEntry{3, 0, 0}, s, true), "H>XPDR   " + m + " CODE");
        EXPECT_EQ(xpdr_header_text(TransponderEntry{3, 0, 7}, s, true), "H>XPDR  >" + m + " CODE");
        EXPECT_EQ(xpdr_header_text(TransponderEntry{3, 0, 7}, s, false), "H>XPDR   " + m + " CODE");
    }
    // A state outside OFF to GRND still gives a header of the panel's width.
    for (int32_t s : {-1, 6, 1000}) {
        EXPECT_EQ(std::string(xpdr_header_text(TransponderEntry{0, 0, 1}, s, true)).size(), 18u);
    }
}

TEST(TransponderRules, ValueLineShowsLevelIdentAndFourCodeDigits) {
    struct Case {
        int32_t level, ident, code;
        const char* want;
    };
    const Case cases[] = {
        {44, 0, 0x1200, "F>FL 044      1200"}, {50, 1, 0x1200, "F>FL 050 IDNT 1200"},
        {350, 0, 0x7000, "F>FL 350      7000"}, {0, 0, 0x0000, "F>FL 000      0000"},
        {-1, 0, 0x0007, "F>FL -01      0007"}, {1234, 2, 0x7777, "F>FL 1234 IDNT 7777"},
    };
    char line[24];
    for (const Case& c : cases) {
        EXPECT_EQ(xpdr_format_value_line(line, c.level, c.ident, c.code), static_cast<int>(std::strlen(c.want)));
        EXPECT_STREQ(line, c.want);
    }
    // Whatever the simulator sends, the line stays within its buffer.
    EXPECT_EQ(xpdr_format_value_line(line, INT32_MIN, 1, -1), 23);
}

}  // namespace
