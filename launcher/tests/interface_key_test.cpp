// INTERFACE_INDEX goes where the programs' reader finds it, and nothing else
// of the user's file changes; a file that cannot be replaced stays as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/tests/test_support.h"
#include "launcher/interface_key.h"
#include "platform/ini_reader.h"

namespace {

TEST(InterfaceKeyTest, SetsTheKeyTheReaderFindsAndKeepsEveryOtherByte) {
    struct Case {
        const char* before;
        const char* after;
    } cases[] = {
        // The first [NET] only, its spelling and blanks kept; other sections alone.
        {"[COM1]\r\nINTERFACE_INDEX=1\r\n[net]\r\n  interface_index = 7 \r\n[NET]\r\nINTERFACE_INDEX=9\r\n",
         "[COM1]\r\nINTERFACE_INDEX=1\r\n[net]\r\n  interface_index = 12 \r\n[NET]\r\nINTERFACE_INDEX=9\r\n"},
        {"[NET]\nINTERFACE_INDEX=\n", "[NET]\nINTERFACE_INDEX=12\n"},
        // Missing: below the line that has it commented out, else below the heading.
        {"[NET]\n; INTERFACE_INDEX: the adapter\n;INTERFACE_INDEX=0\nSTAY_RUNNING=1\n",
         "[NET]\n; INTERFACE_INDEX: the adapter\n;INTERFACE_INDEX=0\nINTERFACE_INDEX=12\nSTAY_RUNNING=1\n"},
        {"[NET]\r\nSTAY_RUNNING=1\r\n[LAUNCH]\r\n", "[NET]\r\nINTERFACE_INDEX=12\r\nSTAY_RUNNING=1\r\n[LAUNCH]\r\n"},
        {"[NET]", "[NET]\r\nINTERFACE_INDEX=12"},
        {"[COM1]\nIDLE_MS=20", "[COM1]\nIDLE_MS=20\n\n[NET]\nINTERFACE_INDEX=12\n"},
        {"", "[NET]\r\nINTERFACE_INDEX=12\r\n"},
    };
    for (const Case& c : cases) {
        std::string text = c.before;
        platform::ini_set_value(&text, "NET", "INTERFACE_INDEX", "12", "\r\n");
        EXPECT_EQ(text, c.after) << c.before;
        char value[16] = "";
        platform::ini_find_value(text.c_str(), "NET", "INTERFACE_INDEX", value, sizeof value);
        EXPECT_STREQ(value, "12") << c.before;
    }
}

TEST(InterfaceKeyTest, KeepsTheOldFileAndLeavesOneItCannotReplace) {
    TempWorkDir dir;
    const std::string old_text = "; mine\n[NET]\nSTAY_RUNNING=1\n";
    dir.write("Avionics-Panel.cfg", old_text);
    ASSERT_TRUE(write_interface_key("Avionics-Panel.cfg", 3));
    EXPECT_EQ(read_whole_file("Avionics-Panel.cfg"), "; mine\n[NET]\nINTERFACE_INDEX=3\nSTAY_RUNNING=1\n");
    EXPECT_EQ(read_whole_file("Avionics-Panel.cfg.relay-backup"), old_text);
    EXPECT_FALSE(std::ifstream("Avionics-Panel.cfg.relay-new").good());

    // No scratch file can be written: the file stays as it was.
    dir.write("Other.cfg", old_text);
    ASSERT_TRUE(std::filesystem::create_directory("Other.cfg.relay-new"));
    EXPECT_FALSE(write_interface_key("Other.cfg", 3));
    EXPECT_EQ(read_whole_file("Other.cfg"), old_text);
}

}  // namespace
