// The COM1 and COM2 pages: tune the standby frequency, swap, transmit select
// and receive-all; the lines are the COM radio's own.
#include "core/bridge_state.h"
#include "core/session_setup.h"
#include "panels/hub1/hub1_panel.h"

namespace {

const ComRadioEvents& events_of(HubPage page) { return g_hub_radios.com_event[hub_radio_index(page)]; }
HubComMode& mode_of(HubPage page) { return g_hub_panel.com[hub_radio_index(page)]; }

bool transmit_select(HubPage page, const uint8_t*, int) {
    transmit_event(events_of(page).transmit_select, 0);
    return true;
}

// Receive-all only makes sense while the other radio transmits.
bool receive_all(HubPage page, const uint8_t* block, int) {
    const ComRadioFields& other = g_hub_radios.com_field[1 - hub_radio_index(page)];
    if (block_i32(block, other.transmit) == 1) transmit_event(events_of(page).receive_all_toggle, 0);
    return true;
}

bool toggle_tune_mode(HubPage page, const uint8_t*, int) {
    HubComMode& m = mode_of(page);
    m.tune_mode = m.tune_mode == 1 ? 0 : 1;
    return true;
}

bool step(HubPage page, const uint8_t*, int direction) {
    com_send_detent(events_of(page), mode_of(page).tune_mode == 1, direction > 0);
    return true;
}

bool swap(HubPage page, const uint8_t*, int) {
    transmit_event(events_of(page).swap, 0);
    return true;
}

const HubKey kComKeys[] = {
    {'I', transmit_select, COUNTDOWN_CLEAR, false},
    {'M', receive_all, COUNTDOWN_CLEAR, false},
    {'P', toggle_tune_mode, COUNTDOWN_RESTART, false},
    {'R', step, COUNTDOWN_RESTART, false},
    {'S', swap, COUNTDOWN_CLEAR, false},
};

void display(HubPage page, const uint8_t* block) {
    int i = hub_radio_index(page);
    com_send_frequencies('F', block, g_hub_radios.com_field[i]);
    com_send_header('H', i + 1, block, g_hub_radios.com_field[i]);
}

}  // namespace

const HubPageRules kHubComPage = {kComKeys, sizeof kComKeys / sizeof kComKeys[0], display, nullptr};
