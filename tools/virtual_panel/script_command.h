// One line of a virtual-panel script, e.g. "send R+", "wait 500",
// "expect F>118.000  119.000", "show", "silent on", "quit".
#pragma once

#include <cstddef>

enum ScriptOp {
    OP_NONE,           // blank line or "# comment"
    OP_SEND,           // send <code>: one datagram to the program
    OP_WAIT,           // wait <ms>: keep serving for that long
    OP_EXPECT,         // expect <datagram>: wait until exactly that arrives
    OP_EXPECT_PREFIX,  // expect-prefix <text>: wait for a datagram starting so
    OP_TIMEOUT,        // timeout <ms>: time limit of the expect commands
    OP_SHOW,           // show: print the display as it stands
    OP_SILENT,         // silent on|off
    OP_DROP,           // drop <n>: leave the next n identity requests unanswered
    OP_IDENTITY,       // identity <text>: answer with this text from now on
    OP_QUIT,           // quit [exit code]
    OP_INVALID,
};

struct ScriptCommand {
    ScriptOp op;
    long number;      // milliseconds, on/off (1/0), a count or exit code
    char text[2048];  // the argument in the readable notation
};

// Parses one line (without its line end). Unknown words and bad numbers give
// OP_INVALID with a reason in text.
void parse_script_command(const char* line, ScriptCommand* out);
