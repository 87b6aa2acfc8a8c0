// The transponder panel's steps of the update cycle: the encoder sets the
// code digit by digit or steps the mode, the keys switch the mode, ident and
// set the VFR code, and the display shows mode, flight level and code.
#include "panels/xpdr/xpdr_panel.h"

#include "core/bridge_state.h"
#include "core/panel_input.h"
#include "core/panel_messages.h"

XpdrPanelState g_xpdr_panel;

namespace {

int32_t state_of(const uint8_t* block) { return block_i32(block, g_xpdr_panel.field.state); }

// A code step needs the transponder on in any mode but OFF.
void code_step(const uint8_t* block, int direction) {
    if (state_of(block) == XPDR_OFF) return;
    xpdr_step_code(&g_xpdr_panel.entry, g_xpdr_panel.event, direction, kXpdrEntryFrames);
}

// The single encoder sets the code, or the mode while mode selection runs
// (each mode step keeps it running).
void single_encoder(const uint8_t* block, int direction) {
    if (g_xpdr_panel.entry.mode_countdown == 0) {
        code_step(block, direction);
        return;
    }
    g_xpdr_panel.entry.mode_countdown = kXpdrEntryFrames;
    xpdr_step_mode(state_of(block), direction);
}

// The second encoder of the dual panel steps the mode at any time.
void mode_encoder(const uint8_t* block, int direction) { xpdr_step_mode(state_of(block), direction); }

void push(const uint8_t*, int) { xpdr_key_push(&g_xpdr_panel.entry, kXpdrEntryFrames); }
void standby_key(const uint8_t* block, int) {
    xpdr_key_standby(&g_xpdr_panel.entry, state_of(block), kXpdrEntryFrames);
}
void on_alt_key(const uint8_t* block, int) { xpdr_key_on_alt(&g_xpdr_panel.entry, state_of(block), kXpdrEntryFrames); }
void ident_key(const uint8_t*, int) { xpdr_key_ident(&g_xpdr_panel.entry, g_xpdr_panel.event); }
void vfr_key(const uint8_t*, int) { xpdr_key_vfr_code(&g_xpdr_panel.entry, g_xpdr_panel.event, g_bridge.xpdr_code); }

// The codes of both panel versions: one encoder that sets the code or the
// mode, or two of which the second steps the mode.
const PanelInput kInputs[] = {
    {"R-", 1, single_encoder, -1},
    {"R+", 1, single_encoder, +1},
    {"R1-", 2, code_step, -1},
    {"R1+", 2, code_step, +1},
    {"R2-", 2, mode_encoder, -1},
    {"R2+", 2, mode_encoder, +1},
    {"P", 0, push, 0},
    {"M", 0, standby_key, 0},
    {"S", 0, on_alt_key, 0},
    {"T", 0, ident_key, 0},
    {"B", 0, vfr_key, 0},
};

const PanelInput* find_input(const char* text) {
    return find_panel_input(kInputs, sizeof kInputs / sizeof kInputs[0], g_bridge.encoder_version, text);
}

}  // namespace

bool xpdr_panel_start() {
    g_xpdr_panel = XpdrPanelState{};
    const ProgramProfile* program = program_profile(PROGRAM_XPDR);
    XpdrPanelState s{};
    bool ok = xpdr_resolve(program->layout, program->events, &s.field, &s.event);
    ok &= find_power_fields(program->layout, "PARTIAL PANEL TRANSPONDER:1", &s.power);
    if (!ok) return false;
    s.started = true;
    g_xpdr_panel = s;
    return true;
}

void xpdr_prepare(const uint8_t* block) {
    if (!g_xpdr_panel.started || !block) return;
    g_xpdr_panel.flight_level = xpdr_frame_flight_level(block, g_xpdr_panel.field, g_bridge.fl_mode);
}

void xpdr_input(const char* text, const uint8_t* block) {
    if (!g_xpdr_panel.started || !text || !block) return;
    if (!power_accepts_input(block, g_xpdr_panel.power)) return;
    if (const PanelInput* in = find_input(text)) in->act(block, in->direction);
}

bool xpdr_takes_code(const char* text) { return text && find_input(text) != nullptr; }

void xpdr_display(const uint8_t* block) {
    if (!g_xpdr_panel.started || !block) return;
    if (!power_shows_display(block, g_xpdr_panel.power) || state_of(block) == XPDR_OFF) {
        send_line("%s", kBlankHeader);
        send_line("%s", kBlankMain);
        send_line("B>OFF");
        return;
    }
    send_line("B>ON");
    // Only the single-encoder panel marks the mode while mode selection runs.
    xpdr_send_lines(block, g_xpdr_panel.field, g_xpdr_panel.entry, g_xpdr_panel.flight_level,
                    g_bridge.encoder_version == 1);
}

void xpdr_countdown(const uint8_t* block) {
    if (!g_xpdr_panel.started || !block) return;
    xpdr_count_down(&g_xpdr_panel.entry);
}

const PanelHooks kXpdrPanelHooks = {nullptr, xpdr_prepare, xpdr_input, xpdr_display, xpdr_countdown, xpdr_takes_code};
