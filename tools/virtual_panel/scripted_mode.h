// Scripted mode: commands from the arguments or from standard input, every
// datagram printed as one readable line, for tests and the demo.
#pragma once

// Runs the commands (from argv[first..argc) when there are any, else from
// standard input), then keeps serving until ended unless exit_at_end is set.
// Returns the exit code: 0, 1 when an expect timed out or a command was
// invalid, or the code given to "quit".
int run_scripted(int argc, char** argv, int first, bool exit_at_end);
