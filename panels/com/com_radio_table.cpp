// What sets COMM1-Relay and COMM2-Relay apart, and the lookup of each
// program's fields and events in the shared registration tables.
#include "core/panel_lookup.h"
#include "panels/com/com_panel.h"

namespace {

const ComRadio kComRadios[2] = {
    {PROGRAM_COMM1, 1, "PARTIAL PANEL COMM:1", HEADER_TRANSMIT_THEN_RECEIVE_ALL, true},
    {PROGRAM_COMM2, 2, "PARTIAL PANEL COMM:2", HEADER_RECEIVE_ALL_THEN_MARKER_SOUND, false},
};

}  // namespace

ComPanelState g_com_panel;

const ComRadio* com_radio(int radio_number) {
    if (radio_number != 1 && radio_number != 2) return nullptr;
    return &kComRadios[radio_number - 1];
}

bool com_panel_start(int radio_number) {
    g_com_panel = ComPanelState{};
    const ComRadio* radio = com_radio(radio_number);
    const ProgramProfile* program = radio ? program_profile(radio->program) : nullptr;
    if (!program) return false;

    LayoutColumn layout = program->layout;
    EventColumn events = program->events;
    ComFields f{};
    ComRadioEvents e{};
    bool ok = com_resolve_radio(layout, events, radio->radio_number, &f.radio, &e);
    ok &= find_power_fields(layout, radio->partial_panel, &f.power);
    ok &= find_field(layout, "COM TRANSMIT:2", "boolean", &f.transmit_2);
    ok &= find_field(layout, "MARKER SOUND", "boolean", &f.marker_sound);
    if (!ok) return false;

    g_com_panel.field = f;
    g_com_panel.event = e;
    g_com_panel.radio = radio;
    return true;
}
