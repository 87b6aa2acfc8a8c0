// Every line the launcher shows: its own reports and its programs' console
// lines. Each goes into the log with its time and who said it, into the last
// lines under the table, and, while no table is drawn, onto the console.
#pragma once

#include <cstddef>
#include <cstdint>

#include "core/console.h"

constexpr char kLauncherName[] = "Relay-Launcher";

// One line said by tag (a program's name or the launcher's).
void report_line(const char* tag, const char* text);

// A report of the launcher's own.
void report(const char* format, ...) RELAY_PRINTF(1, 2);

// The system's words for an error code, without a line end ("error 123"
// when it has none).
void error_words(uint32_t error, char* text, size_t size);

// The local time as "YYYY-MM-DD HH:MM:SS"; buf holds 20 bytes.
void time_stamp(char* buf, size_t size);
