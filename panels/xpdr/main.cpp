// XPDR-Relay: the transponder panel. Its logic arrives later; until then the
// program runs the shared link and session.
#include "core/program_entry.h"

int main() { return run_program(PROGRAM_XPDR, nullptr); }
