// The COM panel's steps of the update cycle: encoder and keys to simulator
// events, frequencies and transmit/receive marks to the two display lines.
#include "panels/com/com_panel.h"

#include "core/bridge_state.h"
#include "core/console.h"
#include "core/panel_input.h"
#include "core/panel_messages.h"
#include "core/session_setup.h"

namespace {

void step(bool fraction, int direction) {
    com_send_detent(g_com_panel.event, fraction, direction > 0);
    g_bridge.input_countdown = kComInputFrames;
}

// Single encoder: "P" toggles the tuning mode, "R+"/"R-" step in it.
void toggle_tune_mode(const uint8_t*, int) {
    g_com_panel.tune_mode = g_com_panel.tune_mode == 0 ? 1 : 0;
    g_bridge.input_countdown = kComInputFrames;
}
void step_in_tune_mode(const uint8_t*, int direction) {
    step(g_com_panel.tune_mode == 1, direction);
}

// Dual encoder: knob 1 steps the fraction, knob 2 whole megahertz; the push
// has no effect.
void ignore_push(const uint8_t*, int) {}
void step_fraction(const uint8_t*, int direction) { step(true, direction); }
void step_whole(const uint8_t*, int direction) { step(false, direction); }

void receive_all(const uint8_t* block, int) {
    if (block_i32(block, g_com_panel.field.transmit_2) == 1) transmit_event(g_com_panel.event.receive_all_toggle, 0);
    g_bridge.input_countdown = 0;
}
void swap(const uint8_t*, int) {
    transmit_event(g_com_panel.event.swap, 0);
    g_bridge.input_countdown = 0;
}
void transmit_select(const uint8_t*, int) {
    transmit_event(g_com_panel.event.transmit_select, 0);
    g_bridge.input_countdown = 0;
}

// The codes of both panel versions; the keys are the same on both.
const PanelInput kInputs[] = {
    {"P", 1, toggle_tune_mode, 0},
    {"R-", 1, step_in_tune_mode, -1},
    {"R+", 1, step_in_tune_mode, +1},
    {"R1-", 2, step_fraction, -1},
    {"R1+", 2, step_fraction, +1},
    {"R2-", 2, step_whole, -1},
    {"R2+", 2, step_whole, +1},
    {"P", 2, ignore_push, 0},
    {"M", 0, receive_all, 0},
    {"S", 0, swap, 0},
    {"T", 0, transmit_select, 0},
};

const PanelInput* find_input(const char* text) {
    return find_panel_input(kInputs, sizeof kInputs / sizeof kInputs[0], g_bridge.encoder_version, text);
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
    if (const PanelInput* in = find_input(text)) in->act(block, in->direction);
}

bool com_takes_code(const char* text) { return text && find_input(text) != nullptr; }

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

const PanelHooks kComPanelHooks = {nullptr, nullptr, com_input, com_display, com_countdown, com_takes_code};
