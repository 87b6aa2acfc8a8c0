// HUB1-Relay: the multi-function panel. Its pages arrive with their own
// logic; until then the program runs the shared link and session.
#include "core/program_entry.h"

int main() { return run_program(PROGRAM_HUB1, nullptr); }
