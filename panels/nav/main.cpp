// NAV1-Relay and NAV2-Relay, one source built with RADIO_NUMBER 1 or 2.
#include "core/program_entry.h"
#include "panels/nav/nav_panel.h"

static_assert(RADIO_NUMBER == 1 || RADIO_NUMBER == 2, "RADIO_NUMBER is 1 or 2");

int main() {
    if (!nav_panel_start(RADIO_NUMBER)) return 1;
    return run_program(nav_program(RADIO_NUMBER)->program, &kNavPanelHooks);
}
