// NAV1-Relay and NAV2-Relay, one source built with RADIO_NUMBER 1 or 2. The
// NAV logic arrives later; until then the programs run the shared link and
// session.
#include "core/program_entry.h"

static_assert(RADIO_NUMBER == 1 || RADIO_NUMBER == 2, "RADIO_NUMBER is 1 or 2");

int main() { return run_program(RADIO_NUMBER == 1 ? PROGRAM_NAV1 : PROGRAM_NAV2, nullptr); }
