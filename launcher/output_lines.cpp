#include "launcher/output_lines.h"

#include "core/console_texts.h"

namespace {

// The glyph character of a spinner step ("\b" and one of - \ | /).
bool is_spinner_glyph(char c) {
    for (const char* glyph : kSpinnerGlyphs) {
        if (glyph[1] == c) return true;
    }
    return false;
}

void append(OutputLines* lines, char c, LineSink sink, void* context) {
    if (lines->length + 1 >= kOutputLineSize) output_flush(lines, sink, context);
    lines->pending[lines->length++] = c;
    lines->pending[lines->length] = '\0';
}

}  // namespace

void output_clear(OutputLines* lines) {
    lines->pending[0] = '\0';
    lines->length = 0;
    lines->after_backspace = false;
}

void output_feed(OutputLines* lines, const char* bytes, size_t count, LineSink sink, void* context) {
    for (size_t i = 0; i < count; ++i) {
        char c = bytes[i];
        if (lines->after_backspace) {
            lines->after_backspace = false;
            if (is_spinner_glyph(c)) continue;
            append(lines, '\b', sink, context);  // not a glyph: kept, shown escaped
        }
        if (c == '\b') {
            lines->after_backspace = true;
        } else if (c == '\n') {
            output_flush(lines, sink, context);
        } else if (c != '\r') {
            append(lines, c, sink, context);
        }
    }
}

void output_flush(OutputLines* lines, LineSink sink, void* context) {
    if (lines->length > 0) sink(context, lines->pending);
    lines->length = 0;
    lines->pending[0] = '\0';
}
