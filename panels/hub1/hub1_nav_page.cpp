// The NAV1 and NAV2 pages: the five displays of a NAV radio, tuning on the
// simulator's steps (display 0) or by step and set (displays 1 to 3), OBS
// select by double push, course to the station, ident and DME. What a NAV
// radio shows and sends is the shared NAV rules'; the keys and modes here.
#include "core/bridge_state.h"
#include "core/session_setup.h"
#include "panels/hub1/hub1_panel.h"

namespace {

constexpr uint8_t kCdiDisplay = 1;
constexpr uint8_t kDmeDisplay = 4;
constexpr int kFastObsSteps = 5;

const NavRadio& radio_of(HubPage page) { return g_hub_radios.nav[hub_radio_index(page)]; }
HubNavMode& mode_of(HubPage page) { return g_hub_panel.nav[hub_radio_index(page)]; }

int32_t toggled(int32_t flag) { return flag == 1 ? 0 : 1; }

bool set_course(HubPage page, const uint8_t* block, int) {
    nav_set_course(radio_of(page), block);
    return true;
}

bool ident(HubPage page, const uint8_t* block, int) {
    nav_ident(radio_of(page), block, mode_of(page).page);
    return true;
}

bool next_display(HubPage page, const uint8_t*, int) {
    HubNavMode& m = mode_of(page);
    m.page = nav_next_page(m.page);
    m.tune_mode = 0;
    m.obs_fast = 0;
    return true;
}

// On the DME display the push selects the other DME and leaves the
// countdown alone; elsewhere it toggles the tuning or the fast OBS turn.
bool push(HubPage page, const uint8_t*, int) {
    HubNavMode& m = mode_of(page);
    bool restarts = true;
    if (m.page == kDmeDisplay) {
        transmit_event(radio_of(page).event.toggle_dme, 0);
        restarts = false;
    } else if (m.page == kCdiDisplay && m.obs_select) {
        m.obs_fast = toggled(m.obs_fast);
    } else {
        m.tune_mode = toggled(m.tune_mode);
    }
    hub_double_push_check(&m.obs_select);
    return restarts;
}

bool turn(HubPage page, const uint8_t* block, int direction) {
    HubNavMode& m = mode_of(page);
    bool up = direction > 0;
    NavStep step = m.tune_mode == 1 ? (up ? NAV_FRACTION_UP : NAV_FRACTION_DOWN) : (up ? NAV_WHOLE_UP : NAV_WHOLE_DOWN);
    return nav_encoder_step(radio_of(page), &g_hub_panel.nav_copies, block, m.page, m.obs_select != 0, step,
                            m.obs_fast == 1 ? kFastObsSteps : 1);
}

bool swap(HubPage page, const uint8_t*, int) {
    transmit_event(radio_of(page).event.swap, 0);
    return true;
}

const HubKey kNavKeys[] = {
    {'B', set_course, COUNTDOWN_CLEAR, false},
    {'I', ident, COUNTDOWN_CLEAR, true},
    {'M', next_display, COUNTDOWN_CLEAR, true},
    {'P', push, COUNTDOWN_RESTART, false},
    {'R', turn, COUNTDOWN_RESTART, true},
    {'S', swap, COUNTDOWN_CLEAR, true},
};

void display(HubPage page, const uint8_t* block) {
    const HubNavMode& m = mode_of(page);
    nav_send_page(radio_of(page), block, m.page, m.obs_select != 0, 'C');
}

void unpowered(HubPage page) { mode_of(page).page = 0; }

}  // namespace

const HubPageRules kHubNavPage = {kNavKeys, sizeof kNavKeys / sizeof kNavKeys[0], display, unpowered};
