// What sets NAV1-Relay and NAV2-Relay apart, and the lookup of each
// program's fields and events in the shared registration tables.
#include "core/console.h"
#include "core/panel_lookup.h"
#include "panels/nav/nav_panel.h"

namespace {

const NavProgram kNavPrograms[2] = {
    // NAV1's dual encoder: knob 1 whole megahertz, directions L and R.
    {PROGRAM_NAV1, 1, RASTER_25_KHZ, {"R1L", "R1R", "R2L", "R2R"}, false, false, true},
    // NAV2's: knob 2 whole megahertz, directions - and +.
    {PROGRAM_NAV2, 2, RASTER_50_KHZ, {"R2-", "R2+", "R1-", "R1+"}, true, true, false},
};

bool resolve_echo(LayoutColumn layout, NavEchoFields* e) {
    bool ok = find_field(layout, "NAV ACTIVE FREQUENCY:1", "MHz", &e->nav1_active);
    ok &= find_field(layout, "NAV STANDBY FREQUENCY:1", "MHz", &e->nav1_standby);
    ok &= find_field(layout, "NAV ACTIVE FREQUENCY:2", "MHz", &e->nav2_active);
    ok &= find_field(layout, "NAV STANDBY FREQUENCY:2", "MHz", &e->nav2_standby);
    ok &= find_field(layout, "ADF ACTIVE FREQUENCY:1", "KHz", &e->adf1_active);
    ok &= find_field(layout, "ADF STANDBY FREQUENCY:1", "KHz", &e->adf1_standby);
    return ok;
}

}  // namespace

NavPanelState g_nav_panel;

const NavProgram* nav_program(int radio_number) {
    if (radio_number != 1 && radio_number != 2) return nullptr;
    return &kNavPrograms[radio_number - 1];
}

bool nav_panel_start(int radio_number) {
    g_nav_panel = NavPanelState{};
    const NavProgram* nav = nav_program(radio_number);
    const ProgramProfile* program = nav ? program_profile(nav->program) : nullptr;
    if (!program) {
        console_print("Error: there is no NAV%d panel program\n", radio_number);
        return false;
    }
    NavRadio radio{};
    NavEchoFields echo{};
    bool ok = nav_radio_resolve(program->layout, program->events, nav->radio_number, nav->raster, &radio);
    if (nav->echo_frequencies) ok &= resolve_echo(program->layout, &echo);
    if (!ok) return false;

    g_nav_panel.radio = radio;
    g_nav_panel.echo = echo;
    g_nav_panel.program = nav;
    return true;
}
