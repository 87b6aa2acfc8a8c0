#include "tools/virtual_panel/script_command.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void set_text(ScriptCommand* out, const char* text) {
    std::snprintf(out->text, sizeof(out->text), "%.2047s", text);
}

void invalid(ScriptCommand* out, const char* reason, const char* line) {
    out->op = OP_INVALID;
    std::snprintf(out->text, sizeof(out->text), "%s: %.200s", reason, line);
}

bool parse_number(const char* text, long* value) {
    if (!*text) return false;
    char* end = nullptr;
    long v = std::strtol(text, &end, 10);
    if (*end != '\0' || v < 0) return false;
    *value = v;
    return true;
}

}  // namespace

void parse_script_command(const char* line, ScriptCommand* out) {
    out->op = OP_NONE;
    out->number = 0;
    out->text[0] = '\0';
    while (*line == ' ' || *line == '\t') ++line;
    size_t len = std::strlen(line);
    // A line end left by a Windows editor is not part of the command.
    while (len > 0 && (line[len - 1] == '\r' || line[len - 1] == '\n')) --len;
    char buf[2100];
    if (len >= sizeof(buf)) {
        invalid(out, "line too long", "");
        return;
    }
    std::memcpy(buf, line, len);
    buf[len] = '\0';
    if (buf[0] == '\0' || buf[0] == '#') return;

    // The argument is everything after the first blank, blanks kept: display
    // lines have meaningful blanks inside and at the end.
    char* arg = std::strchr(buf, ' ');
    if (arg) *arg++ = '\0';
    else arg = buf + len;
    const char* word = buf;

    if (std::strcmp(word, "send") == 0 || std::strcmp(word, "expect") == 0 ||
        std::strcmp(word, "expect-prefix") == 0 || std::strcmp(word, "identity") == 0) {
        if (!*arg) {
            invalid(out, "missing text", word);
            return;
        }
        out->op = word[0] == 's' ? OP_SEND
                  : word[0] == 'i' ? OP_IDENTITY
                  : std::strcmp(word, "expect") == 0 ? OP_EXPECT
                                                      : OP_EXPECT_PREFIX;
        set_text(out, arg);
    } else if (std::strcmp(word, "wait") == 0 || std::strcmp(word, "timeout") == 0) {
        if (!parse_number(arg, &out->number)) {
            invalid(out, "expected milliseconds", arg);
            return;
        }
        out->op = word[0] == 'w' ? OP_WAIT : OP_TIMEOUT;
    } else if (std::strcmp(word, "drop") == 0) {
        if (!parse_number(arg, &out->number)) {
            invalid(out, "expected a count", arg);
            return;
        }
        out->op = OP_DROP;
    } else if (std::strcmp(word, "show") == 0) {
        out->op = OP_SHOW;
    } else if (std::strcmp(word, "silent") == 0) {
        if (std::strcmp(arg, "on") == 0) out->number = 1;
        else if (std::strcmp(arg, "off") == 0) out->number = 0;
        else {
            invalid(out, "expected on or off", arg);
            return;
        }
        out->op = OP_SILENT;
    } else if (std::strcmp(word, "quit") == 0) {
        if (*arg && !parse_number(arg, &out->number)) {
            invalid(out, "expected an exit code", arg);
            return;
        }
        out->op = OP_QUIT;
    } else {
        invalid(out, "unknown command", word);
    }
}
