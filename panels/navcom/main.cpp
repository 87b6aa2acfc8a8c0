// NAVCOM1-Relay and NAVCOM2-Relay, one source built with RADIO_NUMBER 1 or 2.
// The NAV/COM logic arrives later; until then the programs run the shared
// link and session.
#include "core/program_entry.h"

static_assert(RADIO_NUMBER == 1 || RADIO_NUMBER == 2, "RADIO_NUMBER is 1 or 2");

int main() { return run_program(RADIO_NUMBER == 1 ? PROGRAM_NAVCOM1 : PROGRAM_NAVCOM2, nullptr); }
