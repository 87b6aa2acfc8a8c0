// COMM1-Relay and COMM2-Relay, one source built with RADIO_NUMBER 1 or 2.
#include "core/program_entry.h"
#include "panels/com/com_panel.h"

static_assert(RADIO_NUMBER == 1 || RADIO_NUMBER == 2, "RADIO_NUMBER is 1 or 2");

int main() {
    if (!com_panel_start(RADIO_NUMBER)) return 1;
    return run_program(com_radio(RADIO_NUMBER)->program, &kComPanelHooks);
}
