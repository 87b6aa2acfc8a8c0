// Our entry is spliced into the list's own text: added, brought up to date
// and cut out again, whatever the layout around it, and nothing else moves.
#include <gtest/gtest.h>

#include <string>

#include "launcher/autostart/launch_list_text.h"

namespace {

const char kOurs[] =
    "<Launch.Addon>\n\t\t<Name>Avionics Panel Relays</Name>\n\t\t<Disabled>False</Disabled>\n"
    "\t\t<Path>C:\\A &amp; B\\Relay-Launcher.exe</Path>\n\t\t<CommandLine>--with-simulator</CommandLine>\n"
    "\t</Launch.Addon>";

bool put(std::string* text, EntryChange* change) {
    return put_entry_in_text(text, "C:\\A & B\\Relay-Launcher.exe", "--with-simulator", change);
}

TEST(LaunchListText, AddsAfterTheLastElementWithItsIndentationAndCutsBackToTheSameBytes) {
    const std::string bare = "<SimBase.Document>\n</SimBase.Document>\n";
    const std::string tabs = "<SimBase.Document>\n\t<Descr>Launch</Descr><!-- x -->\n</SimBase.Document>";
    const std::string bare_on = "<SimBase.Document>\n  <Launch.Addon>\n    <Name>Avionics Panel Relays</Name>\n"
                                "    <Disabled>False</Disabled>\n    <Path>C:\\A &amp; B\\Relay-Launcher.exe</Path>\n"
                                "    <CommandLine>--with-simulator</CommandLine>\n  </Launch.Addon>\n"
                                "</SimBase.Document>\n";
    const std::string tabs_on = "<SimBase.Document>\n\t<Descr>Launch</Descr>\n\t" + std::string(kOurs) +
                                "<!-- x -->\n</SimBase.Document>";
    for (const auto& [before, after] : {std::pair(bare, bare_on), std::pair(tabs, tabs_on)}) {
        std::string text = before;
        EntryChange change;
        ASSERT_TRUE(put(&text, &change));
        EXPECT_EQ(change, EntryChange::added);
        EXPECT_EQ(text, after);
        ASSERT_TRUE(put(&text, &change));
        EXPECT_EQ(change, EntryChange::none);
        EXPECT_EQ(remove_entries_from_text(&text), 1);
        EXPECT_EQ(text, before);
    }
}

TEST(LaunchListText, BringsTheFirstEntryUpToDateAndCutsCopies) {
    std::string text =
        "<SimBase.Document>\r\n  <Launch.Addon>\r\n    <Name> Avionics Panel Relays </Name>\r\n"
        "    <Disabled>True</Disabled>\r\n    <Path attr='1'/>\r\n  </Launch.Addon>\r\n"
        "  <Launch.Addon><Name>Other</Name></Launch.Addon>\r\n"
        "  <Launch.Addon>\r\n    <Name>Avionics Panel Relays</Name>\r\n  </Launch.Addon>\r\n</SimBase.Document>";
    EntryChange change;
    ASSERT_TRUE(put(&text, &change));
    EXPECT_EQ(change, EntryChange::updated);
    EXPECT_EQ(text,
              "<SimBase.Document>\r\n  <Launch.Addon>\r\n    <Name> Avionics Panel Relays </Name>\r\n"
              "    <Disabled>False</Disabled>\r\n    <Path attr='1'>C:\\A &amp; B\\Relay-Launcher.exe</Path>\r\n"
              "    <CommandLine>--with-simulator</CommandLine>\r\n  </Launch.Addon>\r\n"
              "  <Launch.Addon><Name>Other</Name></Launch.Addon>\r\n</SimBase.Document>");
    EXPECT_EQ(count_entries_in_text(text), 1);

    // A document type may define entities the text does not show: left alone.
    std::string typed = "<!DOCTYPE SimBase.Document [<!ENTITY e \"x\">]>\n<SimBase.Document>&e;</SimBase.Document>";
    EXPECT_EQ(count_entries_in_text(typed), -1);
    EXPECT_FALSE(put(&typed, &change));
    EXPECT_EQ(remove_entries_from_text(&typed), -1);
}

}  // namespace
