// The ADF page: three displays (frequencies, needle and card, elapsed time),
// the simulator's digit steps on the first, local digit editing set whole on
// the others, card select by double push, the clock on "I". The editing,
// the set and the lines are the shared ADF rules'; the keys are here.
#include "core/bridge_state.h"
#include "core/session_setup.h"
#include "panels/hub1/hub1_panel.h"

namespace {

constexpr int kFastCardSteps = 5;

// The set goes with a swap and the frame's standby put back unless
// "ADF_STBY" is 0; test mode 2 echoes the digits of every local step.
AdfSetOptions set_options() {
    AdfSetOptions o{};
    o.standby_swap = g_bridge.adf_stby != 0;
    o.echo = g_bridge.testmode == 2 ? ECHO_ON_LOCAL_STEP : ECHO_NONE;
    return o;
}

// The clock display's key runs the clock and leaves the countdown alone;
// elsewhere it is ident.
bool ident_or_clock(HubPage, const uint8_t* block, int) {
    HubPanelState& s = g_hub_panel;
    const AdfDescription& adf = g_hub_radios.adf;
    if (s.adf_page == ADF_PAGE_CLOCK) {
        adf_clock_key(&s.adf, block_f64(block, adf.field.absolute_time));
        return false;
    }
    transmit_event(adf.event.ident_toggle, 0);
    return true;
}

bool next_display(HubPage, const uint8_t*, int) {
    adf_next_page(&g_hub_panel.adf_page, &g_hub_panel.adf);
    return true;
}

bool push(HubPage, const uint8_t*, int) {
    adf_push(&g_hub_panel.adf, g_hub_panel.adf_page);
    hub_double_push_check(&g_hub_panel.adf.card_select);
    return true;
}

bool turn(HubPage, const uint8_t*, int direction) {
    HubPanelState& s = g_hub_panel;
    int card_steps = s.adf.card_fast == 1 ? kFastCardSteps : 1;
    adf_turn(g_hub_radios.adf, &s.adf, s.adf_page, direction, card_steps, set_options());
    return true;
}

bool swap(HubPage, const uint8_t*, int) {
    transmit_event(g_hub_radios.adf.event.swap, 0);
    return true;
}

const HubKey kAdfKeys[] = {
    {'I', ident_or_clock, COUNTDOWN_CLEAR, false},
    {'M', next_display, COUNTDOWN_CLEAR, false},
    {'P', push, COUNTDOWN_RESTART, false},
    {'R', turn, COUNTDOWN_RESTART, false},
    {'S', swap, COUNTDOWN_CLEAR, false},
};

// The frequencies header is always the plain one here: only the ADF
// panel's own display marks the digit under edit.
void display(HubPage, const uint8_t* block) {
    adf_send_page(g_hub_radios.adf, &g_hub_panel.adf, g_hub_panel.adf_page, block, false);
}

void unpowered(HubPage) {
    g_hub_panel.adf_page = ADF_PAGE_FREQUENCIES;
    adf_clock_reset(&g_hub_panel.adf);
}

}  // namespace

const HubPageRules kHubAdfPage = {kAdfKeys, sizeof kAdfKeys / sizeof kAdfKeys[0], display, unpowered};
