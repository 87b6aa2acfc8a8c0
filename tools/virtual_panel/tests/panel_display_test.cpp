#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tools/virtual_panel/panel_display.h"

namespace {

DatagramKind feed(PanelDisplay* d, const std::string& text) {
    return display_apply(d, reinterpret_cast<const unsigned char*>(text.data()), text.size());
}

std::string screen(const PanelDisplay& d, char sel) {
    char out[kLineBytes + 1];
    display_screen_text(&d, sel, out, sizeof(out));
    return out;
}

TEST(PanelDisplay, LinesAndPowerLightFollowTheDatagrams) {
    PanelDisplay d;
    display_reset(&d);
    EXPECT_EQ(d.power, POWER_UNKNOWN);
    EXPECT_EQ(feed(&d, "B>ON"), DATAGRAM_POWER);
    EXPECT_EQ(feed(&d, "F>118.000  121.500"), DATAGRAM_LINE);
    EXPECT_EQ(feed(&d, "H>COM1 T \a Standby"), DATAGRAM_LINE);
    EXPECT_EQ(d.power, POWER_ON);
    EXPECT_EQ(screen(d, 'F'), "118.000  121.500");
    EXPECT_EQ(screen(d, 'H'), "COM1 T * Standby");
    EXPECT_EQ(feed(&d, "H>                "), DATAGRAM_LINE);
    EXPECT_EQ(feed(&d, "B>OFF"), DATAGRAM_POWER);
    EXPECT_EQ(d.power, POWER_OFF);
    EXPECT_EQ(screen(d, 'H'), std::string(16, ' '));
    EXPECT_EQ(d.datagrams, 5ul);
}

TEST(PanelDisplay, IdentityRequestsAreToldApartFromLines) {
    PanelDisplay d;
    display_reset(&d);
    EXPECT_EQ(feed(&d, "ID"), DATAGRAM_IDENTITY_REQUEST);
    EXPECT_EQ(feed(&d, "ID_Request"), DATAGRAM_IDENTITY_REQUEST);
    EXPECT_EQ(feed(&d, "ID_Request "), DATAGRAM_OTHER);
    EXPECT_EQ(feed(&d, "B>ONX"), DATAGRAM_OTHER);
    EXPECT_EQ(feed(&d, "X>abc"), DATAGRAM_OTHER);
    EXPECT_EQ(feed(&d, ""), DATAGRAM_OTHER);
    EXPECT_EQ(d.power, POWER_UNKNOWN);
}

TEST(PanelDisplay, SymbolBytesAndShortNumericLinesAreDrawnVisibly) {
    PanelDisplay d;
    display_reset(&d);
    feed(&d, std::string("H>NAV1   \x04 Standby"));
    feed(&d, std::string("F>\x05\x06\x07\x01"));
    feed(&d, "C>-12");
    EXPECT_EQ(screen(d, 'H'), "NAV1   ! Standby");
    EXPECT_EQ(screen(d, 'F'), "^v*?            ");
    EXPECT_EQ(screen(d, 'C'), "-12             ");
    EXPECT_EQ(screen(d, 'T'), std::string(16, ' '));
    EXPECT_FALSE(d.line_seen[selector_index('T')]);
}

TEST(PanelDisplay, OverlongLinesAreKeptWithinTheirBuffer) {
    PanelDisplay d;
    display_reset(&d);
    std::string longline = "F>" + std::string(200, '9');
    EXPECT_EQ(feed(&d, longline), DATAGRAM_LINE);
    EXPECT_EQ(d.line_length[selector_index('F')], kLineBytes);
    char small[5];
    display_screen_text(&d, 'F', small, sizeof(small));
    EXPECT_STREQ(small, "9999");
}

}  // namespace

namespace {

bool shows(const PanelDisplay& d, const std::string& text, bool prefix = false) {
    return display_shows(&d, reinterpret_cast<const unsigned char*>(text.data()), text.size(), prefix);
}

TEST(PanelDisplay, ShowsAnswersForTheCurrentPicture) {
    PanelDisplay d;
    display_reset(&d);
    EXPECT_FALSE(shows(d, "B>ON"));
    EXPECT_FALSE(shows(d, "F>", true));
    feed(&d, "B>OFF");
    feed(&d, "F>118.000  119.000");
    EXPECT_TRUE(shows(d, "B>OFF"));
    EXPECT_FALSE(shows(d, "B>ON"));
    EXPECT_TRUE(shows(d, "F>118.000  119.000"));
    EXPECT_FALSE(shows(d, "F>118.000  119.00"));
    EXPECT_TRUE(shows(d, "F>118.000", true));
    EXPECT_FALSE(shows(d, "F>119", true));
    EXPECT_FALSE(shows(d, "ID"));
    EXPECT_FALSE(shows(d, "H>", true));
}

}  // namespace
