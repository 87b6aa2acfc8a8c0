#include <gtest/gtest.h>

#include "tools/virtual_panel/script_command.h"

namespace {

ScriptCommand parse(const char* line) {
    ScriptCommand c;
    parse_script_command(line, &c);
    return c;
}

TEST(ScriptCommand, CommandsWithTextKeepTheirBlanks) {
    ScriptCommand c = parse("expect F>118.000  119.000");
    EXPECT_EQ(c.op, OP_EXPECT);
    EXPECT_STREQ(c.text, "F>118.000  119.000");
    c = parse("expect H>                \r\n");
    EXPECT_EQ(c.op, OP_EXPECT);
    EXPECT_STREQ(c.text, "H>                ");
    c = parse("  send R+");
    EXPECT_EQ(c.op, OP_SEND);
    EXPECT_STREQ(c.text, "R+");
    EXPECT_EQ(parse("expect-prefix F>").op, OP_EXPECT_PREFIX);
    EXPECT_EQ(parse("identity VRAN-COM2_1.0").op, OP_IDENTITY);
}

TEST(ScriptCommand, NumbersAndSwitches) {
    ScriptCommand c = parse("wait 500");
    EXPECT_EQ(c.op, OP_WAIT);
    EXPECT_EQ(c.number, 500);
    EXPECT_EQ(parse("timeout 20000").number, 20000);
    EXPECT_EQ(parse("silent on").number, 1);
    EXPECT_EQ(parse("silent off").number, 0);
    EXPECT_EQ(parse("quit").number, 0);
    EXPECT_EQ(parse("quit 3").number, 3);
    EXPECT_EQ(parse("show").op, OP_SHOW);
}

TEST(ScriptCommand, BlankAndCommentLinesDoNothing) {
    EXPECT_EQ(parse("").op, OP_NONE);
    EXPECT_EQ(parse("   ").op, OP_NONE);
    EXPECT_EQ(parse("# wait for the panel").op, OP_NONE);
}

TEST(ScriptCommand, MistakesAreReportedNotGuessed) {
    EXPECT_EQ(parse("wait").op, OP_INVALID);
    EXPECT_EQ(parse("wait 5x").op, OP_INVALID);
    EXPECT_EQ(parse("wait -5").op, OP_INVALID);
    EXPECT_EQ(parse("send").op, OP_INVALID);
    EXPECT_EQ(parse("silent maybe").op, OP_INVALID);
    EXPECT_EQ(parse("quit now").op, OP_INVALID);
    ScriptCommand c = parse("push P");
    EXPECT_EQ(c.op, OP_INVALID);
    EXPECT_STREQ(c.text, "unknown command: push");
    std::string longline(3000, 'a');
    EXPECT_EQ(parse(longline.c_str()).op, OP_INVALID);
}

}  // namespace
