// KEEP_FRAME_RATE: input handled between frames redraws only what it
// changes. Each display element of the panel (the letter before ">") shows
// the last line sent to it, so a line equal to that one changes nothing and
// is not sent again; a frame still sends every line.
#pragma once

#include <cstdint>

// send_line's part. True when the line is held back because a display step
// runs between frames; otherwise the line is sent, then noted as shown.
bool hold_line(const char* line);
void note_line_shown(const char* line);

// Nothing is known of the displays any more (the panel went offline).
void forget_shown_lines();

// Runs the display step with its lines held back, then sends, in their
// order, the last line for each element where it differs from the line
// that element shows.
void redraw_changed_lines(void (*display)(const uint8_t* block), const uint8_t* block);
