// What sets COMM1-Relay and COMM2-Relay apart, and the lookup of each
// radio's fields and events in the shared registration tables.
#include "core/panel_lookup.h"
#include "panels/com/com_panel.h"

namespace {

const ComRadio kComRadios[2] = {
    {PROGRAM_COMM1, "COM1", "COM ACTIVE FREQUENCY:1", "COM STANDBY FREQUENCY:1", "PARTIAL PANEL COMM:1",
     "COM_RADIO_WHOLE_DEC", "COM_RADIO_WHOLE_INC", "COM_RADIO_FRACT_DEC", "COM_RADIO_FRACT_INC",
     "COM_STBY_RADIO_SWAP", "COM1_TRANSMIT_SELECT", HEADER_TRANSMIT_THEN_RECEIVE_ALL, true},
    {PROGRAM_COMM2, "COM2", "COM ACTIVE FREQUENCY:2", "COM STANDBY FREQUENCY:2", "PARTIAL PANEL COMM:2",
     "COM2_RADIO_WHOLE_DEC", "COM2_RADIO_WHOLE_INC", "COM2_RADIO_FRACT_DEC", "COM2_RADIO_FRACT_INC",
     "COM2_RADIO_SWAP", "COM2_TRANSMIT_SELECT", HEADER_RECEIVE_ALL_THEN_MARKER_SOUND, false},
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
    ComEvents e{};
    bool ok = find_field(layout, radio->active_mhz, "MHz", &f.active_mhz);
    ok &= find_field(layout, radio->standby_mhz, "MHz", &f.standby_mhz);
    ok &= find_power_fields(layout, radio->partial_panel, &f.power);
    ok &= find_field(layout, "COM TRANSMIT:1", "boolean", &f.transmit_1);
    ok &= find_field(layout, "COM TRANSMIT:2", "boolean", &f.transmit_2);
    ok &= find_field(layout, "COM RECIEVE ALL", "boolean", &f.receive_all);
    ok &= find_field(layout, "MARKER SOUND", "boolean", &f.marker_sound);
    ok &= find_event(events, radio->whole_dec, &e.whole_dec);
    ok &= find_event(events, radio->whole_inc, &e.whole_inc);
    ok &= find_event(events, radio->fraction_dec, &e.fraction_dec);
    ok &= find_event(events, radio->fraction_inc, &e.fraction_inc);
    ok &= find_event(events, radio->swap, &e.swap);
    ok &= find_event(events, radio->transmit_select, &e.transmit_select);
    ok &= find_event(events, "COM_RECEIVE_ALL_TOGGLE", &e.receive_all_toggle);
    if (!ok) return false;

    g_com_panel.field = f;
    g_com_panel.event = e;
    g_com_panel.radio = radio;
    return true;
}
