// The NAV panel's steps of the update cycle: the encoder or encoders and the
// keys to simulator events, the page of the radio to the display.
#include "panels/nav/nav_panel.h"

#include "core/bridge_state.h"
#include "core/console.h"
#include "core/panel_lookup.h"
#include "core/panel_messages.h"

namespace {

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
    nav_controls_input(&s, s.radio, s.program->controls, g_bridge.encoder_version, &g_bridge.input_countdown, text,
                       block);
}

bool nav_takes_code(const char* text) {
    const NavPanelState& s = g_nav_panel;
    return s.program && nav_controls_take_code(s.program->controls, g_bridge.encoder_version, text);
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
    bool counting = nav_controls_countdown(&s, &g_bridge.input_countdown);
    if (counting && s.program->echo_frequencies && g_bridge.testmode) echo_frequencies(block);
}

const PanelHooks kNavPanelHooks = {nullptr, nullptr, nav_input, nav_display, nav_countdown, nav_takes_code};
