// The NAV knob or knobs and the NAV keys to simulator events and modes.
#include "panels/nav/nav_controls.h"

#include <cstring>

#include "core/session_setup.h"

namespace {

constexpr uint8_t kCdiPage = 1;
constexpr uint8_t kDmePage = 4;
constexpr int kFastObsSteps = 5;

// What one datagram works on.
struct NavContext {
    NavControls& c;
    const NavRadio& radio;
    const NavControlCodes& codes;
    uint8_t& countdown;
    const uint8_t* block;
};

void restart_countdown(NavContext& x) { x.countdown = kNavInputFrames; }
void clear_countdown(NavContext& x) { x.countdown = 0; }

// Only the characters of the code itself count; a shorter text never
// matches, so nothing past its end is read.
bool is_code(const char* text, const char* code) { return std::strncmp(text, code, std::strlen(code)) == 0; }

int32_t toggled(int32_t flag) { return flag == 0 ? 1 : 0; }

NavStep step_for(bool up, bool fraction) {
    if (fraction) return up ? NAV_FRACTION_UP : NAV_FRACTION_DOWN;
    return up ? NAV_WHOLE_UP : NAV_WHOLE_DOWN;
}

bool encoder_step(NavContext& x, NavStep step, int obs_count) {
    return nav_encoder_step(x.radio, &x.c.copies, x.block, x.c.nav_page, x.c.obs_select != 0, step, obs_count);
}

// One knob: "<encoder>-"/"<encoder>+" step in the tuning mode, "P" toggles
// it; a second push within the window selects the OBS.
void single_encoder(NavContext& x, const char* text) {
    NavControls& c = x.c;
    if (text[0] == x.codes.encoder) {
        c.press_window = 0;  // a turn between two pushes makes them two single pushes
        if (text[1] != '-' && text[1] != '+') return;
        NavStep step = step_for(text[1] == '+', c.tune_mode == 1);
        if (encoder_step(x, step, c.obs_fast == 1 ? kFastObsSteps : 1)) restart_countdown(x);
        return;
    }
    if (text[0] != 'P') return;
    if (c.nav_page == kDmePage) {
        transmit_event(x.radio.event.toggle_dme, 0);
    } else {
        if (c.nav_page == kCdiPage && c.obs_select) {
            c.obs_fast = toggled(c.obs_fast);
        } else {
            c.tune_mode = toggled(c.tune_mode);
        }
        restart_countdown(x);
    }
    if (c.press_window > 0) {
        c.obs_select = 1;
        c.press_window = 0;
        restart_countdown(x);
    } else {
        c.press_window = kNavDoublePushFrames;
    }
}

// Two knobs: one whole megahertz (five OBS steps in OBS select), the other
// the fraction (one OBS step); "P" on the CDI page selects the OBS.
void dual_encoder(NavContext& x, const char* text) {
    NavControls& c = x.c;
    static const NavStep kSteps[4] = {NAV_WHOLE_DOWN, NAV_WHOLE_UP, NAV_FRACTION_DOWN, NAV_FRACTION_UP};
    for (int i = 0; i < 4; ++i) {
        if (!is_code(text, x.codes.dual_codes[i])) continue;
        bool whole = i < 2;
        bool acted = encoder_step(x, kSteps[i], whole ? kFastObsSteps : 1);
        if (acted && (x.codes.dual_steps_restart_on_every_page || c.nav_page == kCdiPage)) restart_countdown(x);
        return;
    }
    if (text[0] != 'P') return;
    if (c.nav_page == kCdiPage) {
        c.obs_select = c.obs_select ? 0 : 1;
        restart_countdown(x);
    } else if (c.nav_page == kDmePage) {
        transmit_event(x.radio.event.toggle_dme, 0);
        if (x.codes.dual_dme_push_restarts) restart_countdown(x);
    }
}

void keys(NavContext& x, const char* text) {
    NavControls& c = x.c;
    if (text[0] == 'B') {
        nav_set_course(x.radio, x.block);
        clear_countdown(x);
    } else if (text[0] == 'M') {
        c.nav_page = nav_next_page(c.nav_page);
        c.press_window = 0;
        clear_countdown(x);
        c.obs_fast = 0;
        c.tune_mode = 0;
    } else if (text[0] == 'S') {
        c.press_window = 0;
        clear_countdown(x);
        transmit_event(x.radio.event.swap, 0);
    } else if (text[0] == x.codes.ident_key) {
        c.press_window = 0;
        clear_countdown(x);
        nav_ident(x.radio, x.block, c.nav_page);
    }
}

}  // namespace

void nav_controls_input(NavControls* controls, const NavRadio& radio, const NavControlCodes& codes,
                        int encoder_version, uint8_t* countdown, const char* text, const uint8_t* block) {
    if (!controls || !countdown || !text || !block || radio.number == 0) return;
    NavContext x{*controls, radio, codes, *countdown, block};
    if (encoder_version == 1) {
        single_encoder(x, text);
    } else if (encoder_version == 2) {
        dual_encoder(x, text);
    }
    keys(x, text);
}

bool nav_controls_countdown(NavControls* controls, uint8_t* countdown) {
    if (!controls || !countdown) return false;
    bool running = *countdown != 0;
    if (running) {
        --*countdown;
    } else {
        controls->tune_mode = 0;
        controls->obs_fast = 0;
        controls->obs_select = 0;
    }
    if (controls->press_window > 0) --controls->press_window;
    return running;
}
