// The COM panel's steps of the update cycle: encoder and keys to simulator
// events, frequencies and transmit/receive marks to the two display lines.
#include "panels/com/com_panel.h"

#include "core/bridge_state.h"
#include "core/console.h"
#include "core/panel_messages.h"
#include "core/session_setup.h"

namespace {

void step(uint32_t event) {
    transmit_event(event, 0);
    g_bridge.input_countdown = kComInputFrames;
}

// Single encoder: "P" toggles the tuning mode, "R+"/"R-" step in it.
void single_encoder(const char* text) {
    const ComRadioEvents& e = g_com_panel.event;
    if (text[0] == 'P') {
        g_com_panel.tune_mode = g_com_panel.tune_mode == 0 ? 1 : 0;
        g_bridge.input_countdown = kComInputFrames;
    } else if (text[0] == 'R' && text[1] == '-') {
        step(g_com_panel.tune_mode == 1 ? e.fraction_dec : e.whole_dec);
    } else if (text[0] == 'R' && text[1] == '+') {
        step(g_com_panel.tune_mode == 1 ? e.fraction_inc : e.whole_inc);
    }
}

// Dual encoder: knob 1 steps the fraction, knob 2 whole megahertz.
void dual_encoder(const char* text) {
    const ComRadioEvents& e = g_com_panel.event;
    if (text[0] != 'R' || (text[1] != '1' && text[1] != '2')) return;
    bool fraction = text[1] == '1';
    if (text[2] == '-') {
        step(fraction ? e.fraction_dec : e.whole_dec);
    } else if (text[2] == '+') {
        step(fraction ? e.fraction_inc : e.whole_inc);
    }
}

void keys(const char* text, const uint8_t* block) {
    const ComRadioEvents& e = g_com_panel.event;
    switch (text[0]) {
        case 'M':
            if (block_i32(block, g_com_panel.field.transmit_2) == 1) transmit_event(e.receive_all_toggle, 0);
            g_bridge.input_countdown = 0;
            break;
        case 'S':
            transmit_event(e.swap, 0);
            g_bridge.input_countdown = 0;
            break;
        case 'T':
            transmit_event(e.transmit_select, 0);
            g_bridge.input_countdown = 0;
            break;
        default:
            break;
    }
}

void send_header(const uint8_t* block) {
    const ComFields& f = g_com_panel.field;
    int radio = g_com_panel.radio->radio_number;
    if (g_com_panel.radio->header == HEADER_TRANSMIT_THEN_RECEIVE_ALL) {
        com_send_header('H', radio, block, f.radio);
        return;
    }
    if (block_i32(block, f.radio.receive_all) != 0) {
        send_line("H>COM%d T \a Standby", radio);
        return;
    }
    send_line("H>COM%d     Standby", radio);
    if (block_i32(block, f.marker_sound) == 1) {
        send_line("H>COM%d   \a Standby", radio);
    } else {
        send_line("H>COM%d     Standby", radio);
    }
}

}  // namespace

void com_input(const char* text, const uint8_t* block) {
    if (!g_com_panel.radio || !text || !block) return;
    if (!power_accepts_input(block, g_com_panel.field.power)) return;
    if (g_bridge.encoder_version == 1) {
        single_encoder(text);
    } else if (g_bridge.encoder_version == 2) {
        dual_encoder(text);
    }
    keys(text, block);
}

void com_display(const uint8_t* block) {
    if (!g_com_panel.radio || !block) return;
    if (!power_shows_display(block, g_com_panel.field.power)) {
        send_line("%s", kBlankHeader);
        send_line("%s", kBlankMain);
        send_line("B>OFF");
        return;
    }
    send_line("B>ON");
    com_send_frequencies('F', block, g_com_panel.field.radio);
    send_header(block);
}

void com_countdown(const uint8_t* block) {
    if (!g_com_panel.radio || !block) return;
    if (g_bridge.input_countdown != 0) {
        --g_bridge.input_countdown;
        if (g_com_panel.radio->echo_frequencies && g_bridge.testmode) {
            console_print("COM1-ACTV %8.3f  COM1-STBY %8.3f\n", block_f64(block, g_com_panel.field.radio.active_mhz),
                          block_f64(block, g_com_panel.field.radio.standby_mhz));
        }
    } else {
        g_com_panel.tune_mode = 0;
    }
}

const PanelHooks kComPanelHooks = {nullptr, nullptr, com_input, com_display, com_countdown};
