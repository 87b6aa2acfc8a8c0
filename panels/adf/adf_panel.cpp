// The ADF panel's steps of the update cycle: the digits taken from each
// frame, encoder and keys to simulator events or local edits, the page's
// lines, and the end of temporary input modes.
#include "panels/adf/adf_panel.h"

#include <cstring>

#include "core/bridge_state.h"
#include "core/panel_messages.h"
#include "core/session_setup.h"

AdfPanelState g_adf_panel;

namespace {

AdfSetOptions set_options() {
    AdfSetOptions o{};
    o.standby_swap = g_bridge.standby != 0;
    o.echo = g_bridge.testmode == 2 ? ECHO_ON_SET : ECHO_NONE;
    return o;
}

const AdfEncoderCode* encoder_code(const AdfPanelVersion* version, const char* text) {
    for (int i = 0; i < version->encoder_count; ++i) {
        const char* code = version->encoder[i].code;
        if (std::strncmp(text, code, std::strlen(code)) == 0) return &version->encoder[i];
    }
    return nullptr;
}

void turn(const AdfEncoderCode& code) {
    AdfPanelState& p = g_adf_panel;
    int card_steps = code.card_steps ? code.card_steps : (p.edit.card_fast ? 5 : 1);
    adf_turn(p.adf, &p.edit, p.adf_page, code.direction, card_steps, set_options());
    g_bridge.input_countdown = kAdfInputFrames;
}

// A second push within the window selects the card.
void double_push_check() {
    AdfPanelState& p = g_adf_panel;
    if (p.press_window > 0) {
        p.edit.card_select = 1;
        p.press_window = 0;
        g_bridge.input_countdown = kAdfInputFrames;
    } else {
        p.press_window = kAdfPressFrames;
    }
}

void push(const AdfPanelVersion& version) {
    AdfPanelState& p = g_adf_panel;
    bool in_card_select = p.adf_page == ADF_PAGE_NEEDLE && p.edit.card_select;
    if (!in_card_select || version.push_toggles_fast) {
        adf_push(&p.edit, p.adf_page);
        g_bridge.input_countdown = kAdfInputFrames;
    }
    double_push_check();
}

void key(char code, const uint8_t* block) {
    AdfPanelState& p = g_adf_panel;
    switch (code) {
        case 'M':
            adf_next_page(&p.adf_page, &p.edit);
            g_bridge.input_countdown = 0;
            break;
        case 'S':
            transmit_event(p.adf.event.swap, 0);
            g_bridge.input_countdown = 0;
            break;
        case 'T':
            // The clock page's key runs the clock; elsewhere it is ident.
            if (p.adf_page == ADF_PAGE_CLOCK) {
                adf_clock_key(&p.edit, block_f64(block, p.adf.field.absolute_time));
            } else {
                transmit_event(p.adf.event.ident_toggle, 0);
                g_bridge.input_countdown = 0;
            }
            break;
        default:
            break;
    }
}

}  // namespace

bool adf_panel_start() {
    g_adf_panel = AdfPanelState{};
    const ProgramProfile* program = program_profile(PROGRAM_ADF);
    if (!program) return false;
    AdfDescription adf{};
    PowerFields power{};
    bool ok = adf_describe(program->layout, program->events, &adf);
    ok &= find_power_fields(program->layout, "PARTIAL PANEL ADF:1", &power);
    if (!ok) return false;
    g_adf_panel.adf = adf;
    g_adf_panel.power = power;
    g_adf_panel.started = true;
    return true;
}

void adf_prepare(const uint8_t* block) {
    if (!g_adf_panel.started || !block) return;
    adf_refresh_digits(g_adf_panel.adf, &g_adf_panel.edit, block);
    adf_clock_next_frame(&g_adf_panel.edit);
}

void adf_input(const char* text, const uint8_t* block) {
    if (!g_adf_panel.started || !text || !block) return;
    if (!power_accepts_input(block, g_adf_panel.power)) return;
    const AdfPanelVersion* version = adf_panel_version(g_bridge.encoder_version);
    if (version) {
        if (const AdfEncoderCode* code = encoder_code(version, text)) {
            turn(*code);
            return;
        }
        if (text[0] == 'P') {
            push(*version);
            return;
        }
    }
    key(text[0], block);
}

void adf_display(const uint8_t* block) {
    AdfPanelState& p = g_adf_panel;
    if (!p.started || !block) return;
    if (!power_shows_display(block, p.power)) {
        send_line("%s", kBlankHeader);
        send_line("%s", kBlankMain);
        p.adf_page = ADF_PAGE_FREQUENCIES;
        adf_clock_reset(&p.edit);
        send_line("B>OFF");
        return;
    }
    send_line("B>ON");
    bool cursor_header = g_bridge.input_countdown != 0 && g_bridge.standby != 0;
    adf_send_page(p.adf, &p.edit, p.adf_page, block, cursor_header);
}

void adf_countdown(const uint8_t*) {
    AdfPanelState& p = g_adf_panel;
    if (!p.started) return;
    if (g_bridge.input_countdown == 0) {
        adf_end_input_mode(&p.edit);
    } else {
        --g_bridge.input_countdown;
    }
    if (p.press_window > 0) --p.press_window;
}

const PanelHooks kAdfPanelHooks = {nullptr, adf_prepare, adf_input, adf_display, adf_countdown};
