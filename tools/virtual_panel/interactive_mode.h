// Interactive mode: the panel drawn in the terminal, keystrokes turned into
// the panel's codes.
#pragma once

// Runs until q, Ctrl+C or a stop signal; returns the exit code. Falls back
// to an error when the terminal cannot be switched to raw input.
int run_interactive();
