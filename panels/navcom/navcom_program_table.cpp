// What sets NAVCOM1-Relay and NAVCOM2-Relay apart, and the lookup of each
// program's fields and events in the shared registration tables.
#include "core/console.h"
#include "core/panel_lookup.h"
#include "panels/navcom/navcom_panel.h"

namespace {

const NavComProgram kNavComPrograms[2] = {
    {PROGRAM_NAVCOM1, 1, true, "COM TRANSMIT:2"},
    {PROGRAM_NAVCOM2, 2, false, "COM TRANSMIT:1"},
};

// Both programs tune the NAV active frequency locally on the 50-kHz raster.
constexpr NavRaster kNavComRaster = RASTER_50_KHZ;

}  // namespace

const NavControlCodes kNavComNavCodes = {'N', 'I', {"R2-", "R2+", "R1-", "R1+"}, true, true};

NavComPanelState g_navcom_panel;

const NavComProgram* navcom_program(int radio_number) {
    if (radio_number != 1 && radio_number != 2) return nullptr;
    return &kNavComPrograms[radio_number - 1];
}

bool navcom_panel_start(int radio_number) {
    g_navcom_panel = NavComPanelState{};
    const NavComProgram* navcom = navcom_program(radio_number);
    const ProgramProfile* program = navcom ? program_profile(navcom->program) : nullptr;
    if (!program) {
        console_print("Error: there is no NAVCOM%d panel program\n", radio_number);
        return false;
    }
    LayoutColumn layout = program->layout;
    NavRadio nav{};
    NavComFields f{};
    ComRadioEvents com{};
    bool ok = nav_radio_resolve(layout, program->events, navcom->radio_number, kNavComRaster, &nav);
    ok &= com_resolve_radio(layout, program->events, navcom->radio_number, &f.com, &com);
    ok &= find_field(layout, navcom->other_transmit, "boolean", &f.other_transmit);
    ok &= find_field(layout, "MARKER SOUND", "boolean", &f.marker_sound);
    if (!ok) return false;

    g_navcom_panel.nav_radio = nav;
    g_navcom_panel.field = f;
    g_navcom_panel.com_event = com;
    g_navcom_panel.program = navcom;
    return true;
}
