// What a NAV radio's encoder and keys send to the simulator.
#include "core/bridge_state.h"
#include "core/console.h"
#include "core/encoder_acceleration.h"
#include "core/session_setup.h"
#include "panels/nav/nav_rules.h"

namespace {

constexpr uint8_t kDmePage = 4;

bool steps_up(NavStep step) { return step == NAV_WHOLE_UP || step == NAV_FRACTION_UP; }

// Pages are 0 to 4; anything beyond counts as page 0, as on the display.
uint8_t known_page(uint8_t page) { return page > kDmePage ? 0 : page; }

}  // namespace

void nav_send_step(const NavRadio& radio, NavStep step) {
    if (radio.number == 0) return;
    const NavRadioEvents& e = radio.event;
    switch (step) {
        case NAV_WHOLE_DOWN: transmit_event(e.whole_dec, 0); break;
        case NAV_WHOLE_UP: transmit_event(e.whole_inc, 0); break;
        case NAV_FRACTION_DOWN: transmit_event(e.fraction_dec, 0); break;
        case NAV_FRACTION_UP: transmit_event(e.fraction_inc, 0); break;
    }
}

void nav_step_and_set(const NavRadio& radio, NavCopies* copies, const uint8_t* block, NavStep step, int count,
                      bool go_on_from_copy) {
    if (radio.number == 0 || !copies || !block) return;
    // From this frame's words: never from a copy the simulator may since
    // have overruled. Only a fast turn goes on from the value it set a
    // moment ago, which the frames may not show yet.
    if (!go_on_from_copy) {
        copies->nav[0] = static_cast<uint32_t>(block_i32(block, radio.field.active_bcd16[0]));
        copies->nav[1] = static_cast<uint32_t>(block_i32(block, radio.field.active_bcd16[1]));
    }
    uint32_t* copy = nav_copy_for(copies, radio.number);
    for (int i = 0; i < count; ++i) {
        switch (step) {
            case NAV_WHOLE_DOWN: nav_whole_down(copy); break;
            case NAV_WHOLE_UP: nav_whole_up(copy); break;
            case NAV_FRACTION_DOWN: nav_fraction_down(copy, radio.raster); break;
            case NAV_FRACTION_UP: nav_fraction_up(copy, radio.raster); break;
        }
    }
    transmit_event(radio.event.set, *copy);
}

void nav_turn_obs(const NavRadio& radio, bool up, int count) {
    if (radio.number == 0) return;
    for (int i = 0; i < count; ++i) transmit_event(up ? radio.event.obi_inc : radio.event.obi_dec, 0);
}

bool nav_encoder_step(const NavRadio& radio, NavCopies* copies, const uint8_t* block, uint8_t page,
                      bool obs_select, NavStep step, int obs_count) {
    if (radio.number == 0 || !block) return false;
    int direction = steps_up(step) ? 1 : -1;
    bool fraction = step == NAV_FRACTION_DOWN || step == NAV_FRACTION_UP;
    uint8_t shown = known_page(page);
    if (shown == kDmePage) return false;
    if (shown == 0) {
        // Page 0 shows the standby frequency: the simulator steps it.
        DetentSteps d = accelerated_detent(fraction ? KNOB_NAV_FRACTION : KNOB_NAV_WHOLE, direction, 1);
        for (int i = 0; i < d.count; ++i) nav_send_step(radio, step);
    } else if (shown == 1 && obs_select) {
        nav_turn_obs(radio, direction > 0, accelerated_detent(KNOB_OBS, direction, obs_count).count);
    } else {
        DetentSteps d = accelerated_detent(fraction ? KNOB_NAV_SET_FRACTION : KNOB_NAV_SET_WHOLE, direction, 1);
        nav_step_and_set(radio, copies, block, step, d.count, d.continues_run);
    }
    return true;
}

bool nav_set_course(const NavRadio& radio, const uint8_t* block) {
    if (radio.number == 0 || !block) return false;
    if (g_bridge.testmode) console_print("B\n");
    // Only a VOR showing TO has a course to the station to fly.
    if (block_i32(block, radio.field.has_localizer) != 0 || block_i32(block, radio.field.tofrom) != 1) return false;
    double radial = block_f64(block, radio.field.radial);
    if (!nav_radial_known(radial)) return false;  // no course anybody selected
    transmit_event(radio.event.vor_set, static_cast<uint32_t>(nav_course_to_station(radial)));
    if (g_bridge.testmode) console_print("B %3.3f\n", radial);
    return true;
}

void nav_ident(const NavRadio& radio, const uint8_t* block, uint8_t page) {
    if (radio.number == 0 || !block) return;
    const NavRadioEvents& e = radio.event;
    if (known_page(page) != kDmePage) {
        transmit_event(e.vor_ident, 0);
        return;
    }
    if (block_f64(block, radio.field.selected_dme) != radio.selected_dme) return;
    if (radio.dme_ident_toggles) {
        transmit_event(e.dme1_ident_toggle, 0);
    } else if (block_i32(block, radio.field.dme_sound) == 0) {
        transmit_event(e.dme1_ident_enable, 0);
        transmit_event(e.dme2_ident_enable, 0);
    } else {
        transmit_event(e.dme1_ident_disable, 0);
        transmit_event(e.dme2_ident_disable, 0);
    }
}
