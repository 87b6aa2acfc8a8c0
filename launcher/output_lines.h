// A program's console output cut into lines: line ends (LF or CR LF) end a
// line, the search spinner's glyphs are taken out, and a line too long for
// the buffer is passed on in pieces.
#pragma once

#include <cstddef>

constexpr size_t kOutputLineSize = 256;

struct OutputLines {
    char pending[kOutputLineSize];  // the unfinished line, terminated
    size_t length;
    bool after_backspace;  // the last byte was a backspace that may start a glyph
};

typedef void (*LineSink)(void* context, const char* line);

void output_clear(OutputLines* lines);

// Takes the bytes; every finished line that is not empty goes to sink.
void output_feed(OutputLines* lines, const char* bytes, size_t count, LineSink sink, void* context);

// Passes on the unfinished line, if any (when the program has ended).
void output_flush(OutputLines* lines, LineSink sink, void* context);
