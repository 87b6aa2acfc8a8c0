// The NAV panel's steps of the update cycle: the encoder or encoders and the
// keys to simulator events, the page of the radio to the display.
#include "panels/nav/nav_panel.h"

#include <cstring>

#include "core/bridge_state.h"
#include "core/console.h"
#include "core/panel_lookup.h"
#include "core/panel_messages.h"
#include "core/session_setup.h"

namespace {

constexpr uint8_t kCdiPage = 1;
constexpr uint8_t kDmePage = 4;
constexpr int kFastObsSteps = 5;

void restart_countdown() { g_bridge.input_countdown = kNavInputFrames; }
void clear_countdown() { g_bridge.input_countdown = 0; }

// Only the characters of the code itself count; a shorter text never
// matches, so nothing past its end is read.
bool is_code(const char* text, const char* code) { return std::strncmp(text, code, std::strlen(code)) == 0; }

int32_t toggled(int32_t flag) { return flag == 0 ? 1 : 0; }

NavStep step_for(bool up, bool fraction) {
    if (fraction) return up ? NAV_FRACTION_UP : NAV_FRACTION_DOWN;
    return up ? NAV_WHOLE_UP : NAV_WHOLE_DOWN;
}

bool encoder_step(const uint8_t* block, NavStep step, int obs_count) {
    NavPanelState& s = g_nav_panel;
    return nav_encoder_step(s.radio, &s.copies, block, s.nav_page, s.obs_select != 0, step, obs_count);
}

// Single encoder: "R-"/"R+" step in the tuning mode, "P" toggles it; a
// second push within the window selects the OBS.
void single_encoder(const char* text, const uint8_t* block) {
    NavPanelState& s = g_nav_panel;
    if (text[0] == 'R') {
        s.press_window = 0;  // a turn between two pushes makes them two single pushes
        if (text[1] != '-' && text[1] != '+') return;
        NavStep step = step_for(text[1] == '+', s.tune_mode == 1);
        if (encoder_step(block, step, s.obs_fast == 1 ? kFastObsSteps : 1)) restart_countdown();
        return;
    }
    if (text[0] != 'P') return;
    if (s.nav_page == kDmePage) {
        transmit_event(s.radio.event.toggle_dme, 0);
    } else {
        if (s.nav_page == kCdiPage && s.obs_select) {
            s.obs_fast = toggled(s.obs_fast);
        } else {
            s.tune_mode = toggled(s.tune_mode);
        }
        restart_countdown();
    }
    if (s.press_window > 0) {
        s.obs_select = 1;
        s.press_window = 0;
        restart_countdown();
    } else {
        s.press_window = kNavDoublePushFrames;
    }
}

// Dual encoder: one knob whole megahertz (five OBS steps in OBS select), the
// other the fraction (one OBS step); "P" on the CDI page selects the OBS.
void dual_encoder(const char* text, const uint8_t* block) {
    NavPanelState& s = g_nav_panel;
    const NavProgram& p = *s.program;
    static const NavStep kSteps[4] = {NAV_WHOLE_DOWN, NAV_WHOLE_UP, NAV_FRACTION_DOWN, NAV_FRACTION_UP};
    for (int i = 0; i < 4; ++i) {
        if (!is_code(text, p.dual_codes[i])) continue;
        bool whole = i < 2;
        bool acted = encoder_step(block, kSteps[i], whole ? kFastObsSteps : 1);
        if (acted && (p.dual_steps_restart_on_every_page || s.nav_page == kCdiPage)) restart_countdown();
        return;
    }
    if (text[0] != 'P') return;
    if (s.nav_page == kCdiPage) {
        s.obs_select = s.obs_select ? 0 : 1;
        restart_countdown();
    } else if (s.nav_page == kDmePage) {
        transmit_event(s.radio.event.toggle_dme, 0);
        if (p.dual_dme_push_restarts) restart_countdown();
    }
}

void keys(const char* text, const uint8_t* block) {
    NavPanelState& s = g_nav_panel;
    switch (text[0]) {
        case 'B':
            nav_set_course(s.radio, block);
            clear_countdown();
            break;
        case 'M':
            s.nav_page = nav_next_page(s.nav_page);
            s.press_window = 0;
            clear_countdown();
            s.obs_fast = 0;
            s.tune_mode = 0;
            break;
        case 'S':
            s.press_window = 0;
            clear_countdown();
            transmit_event(s.radio.event.swap, 0);
            break;
        case 'T':
            s.press_window = 0;
            clear_countdown();
            nav_ident(s.radio, block, s.nav_page);
            break;
        default:
            break;
    }
}

void echo_frequencies(const uint8_t* block) {
    const NavEchoFields& e = g_nav_panel.echo;
    console_print("NAV1-ACTV %8.3f  NAV1-STBY %8.3f\n", block_f64(block, e.nav1_active),
                  block_f64(block, e.nav1_standby));
    console_print("NAV2-ACTV %8.3f  NAV2-STBY %8.3f\n", block_f64(block, e.nav2_active),
                  block_f64(block, e.nav2_standby));
    console_print("ADF1-ACTV %8.3f  ADF1-STBY %8.3f\n", block_f64(block, e.adf1_active),
                  block_f64(block, e.adf1_standby));
}

}  // namespace

void nav_input(const char* text, const uint8_t* block) {
    NavPanelState& s = g_nav_panel;
    if (!s.program || !text || !block) return;
    if (!power_accepts_input(block, s.radio.field.power)) return;
    if (g_bridge.encoder_version == 1) {
        single_encoder(text, block);
    } else if (g_bridge.encoder_version == 2) {
        dual_encoder(text, block);
    }
    keys(text, block);
}

void nav_display(const uint8_t* block) {
    NavPanelState& s = g_nav_panel;
    if (!s.program || !block) return;
    if (!power_shows_display(block, s.radio.field.power)) {
        send_line("%s", kBlankHeader);
        send_line("%s", kBlankMain);
        s.nav_page = 0;
        send_line("B>OFF");
        return;
    }
    send_line("B>ON");
    nav_send_page(s.radio, block, s.nav_page, s.obs_select != 0, 'C');
}

void nav_countdown(const uint8_t* block) {
    NavPanelState& s = g_nav_panel;
    if (!s.program || !block) return;
    if (g_bridge.input_countdown == 0) {
        s.tune_mode = 0;
        s.obs_fast = 0;
        s.obs_select = 0;
    } else {
        --g_bridge.input_countdown;
        if (s.program->echo_frequencies && g_bridge.testmode) echo_frequencies(block);
    }
    if (s.press_window > 0) --s.press_window;
}

const PanelHooks kNavPanelHooks = {nullptr, nullptr, nav_input, nav_display, nav_countdown};
