// HUB1-Relay: the multi-function panel with its six radio pages.
#include "core/program_entry.h"
#include "panels/hub1/hub1_panel.h"

int main() {
    if (!hub_panel_start()) return 1;
    return run_program(PROGRAM_HUB1, &kHubPanelHooks);
}
