// Keeping a program running across simulator sessions (STAY_RUNNING), and
// ending such a program cleanly when the user interrupts it.
#pragma once

// True once the user has asked the program to end (Ctrl+C, closing the
// console, a termination signal). The interrupt handlers go in only once
// STAY_RUNNING has been read as set: without the key an interrupt ends the
// program exactly as it always has.
bool stop_requested();

// Called when a session has ended. With STAY_RUNNING set (read now, quietly,
// when the session ended before its first panel search read the file), puts
// the state record back into its start state, prints that the program
// searches for the simulator again, and returns true. Otherwise changes and
// prints nothing and returns false: the program ends as usual.
bool begin_next_session();

// Ends a program that the user interrupted: one line; returns the exit code.
int end_on_user_request();

// Where stop_requested gets its answer; tests put their own check in place
// (null restores the interrupt handlers).
typedef bool (*StopCheck)();
void set_stop_check(StopCheck check);
