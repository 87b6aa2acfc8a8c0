// The stand-in's log: one line per report on standard output, flushed at
// once, at a chosen verbosity (0: opens, events and data writes; 1: every
// request; 2: also every frame sent). Lines from several client threads never
// interleave.
#pragma once

#if defined(__GNUC__)
#define STANDIN_PRINTF(a, b) __attribute__((format(printf, a, b)))
#else
#define STANDIN_PRINTF(a, b)
#endif

// -1 silences the log (tests).
extern int g_log_level;

void standin_log(int level, const char* format, ...) STANDIN_PRINTF(2, 3);

// Prints text as it stands (command replies, the listening line), whatever
// the verbosity.
void standin_print(const char* text);
