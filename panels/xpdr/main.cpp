// XPDR-Relay: the transponder panel.
#include "core/program_entry.h"
#include "panels/xpdr/xpdr_panel.h"

int main() {
    if (!xpdr_panel_start()) return 1;
    return run_program(PROGRAM_XPDR, &kXpdrPanelHooks);
}
