// INTERFACE_INDEX goes where the programs' reader finds it, and nothing else
// of the user's file changes; a file that cannot be replaced stays as it was.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "core/tests/test_support.h"
#include "launcher/interface_key.h"
#include "platform/env.h"
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

// The text as UTF-16 in that byte order, its byte-order mark first.
std::string utf16(bool little_endian, const std::u16string& text) {
    std::string out;
    for (char16_t unit : u"\uFEFF" + text) {
        char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        out += little_endian ? std::string{low, high} : std::string{high, low};
    }
    return out;
}

TEST(InterfaceKeyTest, AUtf16FileGetsTheKeyInUtf16AndAFileThatCannotBeReadAlikeIsLeftAlone) {
    TempWorkDir dir;
    const std::string path = dir.path() + "/Avionics-Panel.cfg";  // whole: Windows looks for a bare name elsewhere
    const std::string backup = path + ".relay-backup";
    const std::u16string before = u"; Jos\u00e9's \U0001F6E9 cockpit\r\n[NET]\r\nSTAY_RUNNING=1\r\n";
    for (bool little_endian : {true, false}) {
        write_file(path, utf16(little_endian, before));
        ASSERT_TRUE(write_interface_key(path.c_str(), 3));
        EXPECT_EQ(read_whole_file(path),
                  utf16(little_endian, u"; Jos\u00e9's \U0001F6E9 cockpit\r\n[NET]\r\nINTERFACE_INDEX=3\r\n"
                                       u"STAY_RUNNING=1\r\n"));
        EXPECT_EQ(read_whole_file(backup), utf16(little_endian, before));
        char value[16] = "";
        platform::profile_string("NET", "INTERFACE_INDEX", "", value, sizeof value, path.c_str());
        EXPECT_STREQ(value, "3");  // as the programs read it
    }

    // A UTF-8 mark before a comment line: every reader finds the same [NET].
    write_file(path, "\xEF\xBB\xBF; mine\n[NET]\n");
    ASSERT_TRUE(write_interface_key(path.c_str(), 3));
    EXPECT_EQ(read_whole_file(path), "\xEF\xBB\xBF; mine\n[NET]\nINTERFACE_INDEX=3\n");

    // Left alone: a UTF-8 mark glued to [NET], half a UTF-16 character, a NUL.
    const std::string refused[] = {"\xEF\xBB\xBF[NET]\r\nSTAY_RUNNING=1\r\n", utf16(true, before) + "x",
                                   std::string("[COM1]\0\n[NET]\n", 14)};
    for (const std::string& bytes : refused) {
        write_file(path, bytes);
        std::filesystem::remove(backup);
        EXPECT_FALSE(write_interface_key(path.c_str(), 3));
        EXPECT_EQ(read_whole_file(path), bytes);
        EXPECT_FALSE(std::filesystem::exists(backup));
    }
}

}  // namespace
