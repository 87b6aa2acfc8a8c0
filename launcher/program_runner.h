// Running the programs: starting one from the launcher's folder, taking its
// console lines, noticing its end and starting it again after the restart
// delay, and stopping them all when the launcher ends.
#pragma once

#include <cstdint>

#include "launcher/launcher_state.h"

// Starts the program now (also when it waits for a restart), unless a copy
// of it already runs outside the launcher.
void start_program(ProgramSlot* slot, uint64_t now_ms);

// Stops a running program to start it again as soon as it has ended; why
// completes the report "starting <name> again ...".
void restart_program(ProgramSlot* slot, const char* why);

// Takes the program's output, notices its end, restarts it when due.
void service_program(ProgramSlot* slot, uint64_t now_ms);

// Asks every running program to stop, kills those that have not within the
// grace time, and reports one line per program that ended.
void stop_all_programs();

// What the table shows of a program's last words: its unfinished line (the
// spinner's) if there is one, else its last line.
const char* last_words(const ProgramSlot* slot);
