// The lookup of every radio the multi-function panel serves in HUB1's own
// columns of the registration tables, once at start.
#include "core/console.h"
#include "panels/hub1/hub1_panel.h"

HubPanelState g_hub_panel;
HubRadios g_hub_radios;

bool hub_panel_start() {
    g_hub_panel = HubPanelState{};
    g_hub_radios = HubRadios{};
    const ProgramProfile* program = program_profile(PROGRAM_HUB1);
    if (!program) return false;
    LayoutColumn layout = program->layout;
    EventColumn events = program->events;

    HubRadios r{};
    bool ok = find_power_fields(layout, nullptr, &r.power);
    for (int i = 0; i < 2; ++i) {
        ok &= com_resolve_radio(layout, events, i + 1, &r.com_field[i], &r.com_event[i]);
        // Both NAV pages step the fraction on the 50 kHz raster.
        ok &= nav_radio_resolve(layout, events, i + 1, RASTER_50_KHZ, &r.nav[i]);
    }
    ok &= adf_describe(layout, events, &r.adf);
    ok &= xpdr_resolve(layout, events, &r.xpdr_field, &r.xpdr_event);
    if (!ok) {
        console_print("Error: HUB1-Relay cannot serve its panel\n");
        return false;
    }
    r.started = true;
    g_hub_radios = r;
    return true;
}
