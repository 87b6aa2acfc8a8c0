// The NAV/COM panel's steps of the update cycle: the COM knob and keys to the
// COM radio's events, the NAV controls to the NAV radio's, and both halves
// to the four display lines.
#include "panels/navcom/navcom_panel.h"

#include "core/bridge_state.h"
#include "core/panel_input.h"
#include "core/panel_lookup.h"
#include "core/panel_messages.h"
#include "core/session_setup.h"

namespace {

void com_step(bool fraction, bool up) {
    com_send_detent(g_navcom_panel.com_event, fraction, up);
    g_navcom_panel.com_countdown = kComHalfInputFrames;
}

// One knob: "C-"/"C+" step in the tuning mode, "F" toggles it; "T" selects
// the radio for transmit, "R" toggles receive-all while the other radio
// transmits. Keys end the fraction mode at once.
void step_in_tune_mode(const uint8_t*, int direction) { com_step(g_navcom_panel.com_tune_mode == 1, direction > 0); }
void toggle_tune_mode(const uint8_t*, int) {
    NavComPanelState& s = g_navcom_panel;
    s.com_tune_mode = s.com_tune_mode == 0 ? 1 : 0;
    s.com_countdown = kComHalfInputFrames;
}
void transmit_select(const uint8_t*, int) {
    transmit_event(g_navcom_panel.com_event.transmit_select, 0);
    g_navcom_panel.com_countdown = 0;
}
void receive_all(const uint8_t* block, int) {
    NavComPanelState& s = g_navcom_panel;
    if (block_i32(block, s.field.other_transmit) == 1) transmit_event(s.com_event.receive_all_toggle, 0);
    s.com_countdown = 0;
}

// Two knobs: knob 3 steps the fraction, knob 4 whole megahertz. This panel
// has no transmit-select or receive-all key.
void step_fraction(const uint8_t*, int direction) { com_step(true, direction > 0); }
void step_whole(const uint8_t*, int direction) { com_step(false, direction > 0); }

void swap(const uint8_t*, int) {
    transmit_event(g_navcom_panel.com_event.swap, 0);
    g_navcom_panel.com_countdown = 0;
}

// The COM half's codes; the NAV half's are kNavComNavCodes.
const PanelInput kComInputs[] = {
    {"C-", 1, step_in_tune_mode, -1},
    {"C+", 1, step_in_tune_mode, +1},
    {"F", 1, toggle_tune_mode, 0},
    {"T", 1, transmit_select, 0},
    {"R", 1, receive_all, 0},
    {"R3-", 2, step_fraction, -1},
    {"R3+", 2, step_fraction, +1},
    {"R4-", 2, step_whole, -1},
    {"R4+", 2, step_whole, +1},
    {"X", 0, swap, 0},
};

const PanelInput* find_com_input(const char* text) {
    return find_panel_input(kComInputs, sizeof kComInputs / sizeof kComInputs[0], g_bridge.encoder_version, text);
}

}  // namespace

void navcom_initial_frame(const uint8_t* block) {
    NavComPanelState& s = g_navcom_panel;
    if (!s.program || !block || !s.program->startup_events) return;
    if (block_i32(block, s.field.marker_sound) == 0) transmit_event(s.com_event.transmit_select, 0);
    if (block_i32(block, s.field.com.receive_all) == 0) transmit_event(s.com_event.receive_all_toggle, 0);
}

void navcom_input(const char* text, const uint8_t* block) {
    NavComPanelState& s = g_navcom_panel;
    if (!s.program || !text || !block) return;
    // The NAV radio's power and failure state gates the whole panel, the
    // COM half included.
    if (!power_accepts_input(block, s.nav_radio.field.power)) return;
    if (const PanelInput* in = find_com_input(text)) in->act(block, in->direction);
    nav_controls_input(&s.nav, s.nav_radio, kNavComNavCodes, g_bridge.encoder_version, &g_bridge.input_countdown,
                       text, block);
}

bool navcom_takes_code(const char* text) {
    if (!text) return false;
    return find_com_input(text) || nav_controls_take_code(kNavComNavCodes, g_bridge.encoder_version, text);
}

void navcom_display(const uint8_t* block) {
    NavComPanelState& s = g_navcom_panel;
    if (!s.program || !block) return;
    if (!power_shows_display(block, s.nav_radio.field.power)) {
        send_line("%s", kBlankHeader);
        send_line("%s", kBlankMain);
        send_line("%s", kBlankSecondMain);
        send_line("%s", kBlankSecondHeader);
        s.nav.nav_page = 0;
        send_line("B>OFF");
        return;
    }
    send_line("B>ON");
    com_send_frequencies('C', block, s.field.com);
    com_send_header('T', s.program->radio_number, block, s.field.com);
    nav_send_page(s.nav_radio, block, s.nav.nav_page, s.nav.obs_select != 0, 'S');
}

void navcom_countdown(const uint8_t* block) {
    NavComPanelState& s = g_navcom_panel;
    if (!s.program || !block) return;
    nav_controls_countdown(&s.nav, &g_bridge.input_countdown);
    if (s.com_countdown == 0) {
        s.com_tune_mode = 0;
    } else {
        --s.com_countdown;
    }
}

const PanelHooks kNavComPanelHooks = {navcom_initial_frame, nullptr,          navcom_input,
                                      navcom_display,       navcom_countdown, navcom_takes_code};
