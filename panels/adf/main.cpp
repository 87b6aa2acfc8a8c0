// ADF-Relay: the ADF panel, version 1 (one encoder) or 2 (two encoders).
#include "core/program_entry.h"
#include "panels/adf/adf_panel.h"

int main() {
    if (!adf_panel_start()) return 1;
    return run_program(PROGRAM_ADF, &kAdfPanelHooks);
}
