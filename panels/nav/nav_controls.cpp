// The NAV knob or knobs and the NAV keys to simulator events and modes.
#include "panels/nav/nav_controls.h"

#include "core/panel_input.h"
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

int32_t toggled(int32_t flag) { return flag == 0 ? 1 : 0; }

NavStep step_for(bool up, bool fraction) {
    if (fraction) return up ? NAV_FRACTION_UP : NAV_FRACTION_DOWN;
    return up ? NAV_WHOLE_UP : NAV_WHOLE_DOWN;
}

bool encoder_step(NavContext& x, NavStep step, int obs_count) {
    return nav_encoder_step(x.radio, &x.c.copies, x.block, x.c.nav_page, x.c.obs_select != 0, step, obs_count);
}

// What a datagram is to the controls of a panel version. The knob's codes
// differ between the versions; the keys are the same on both.
enum NavCode : uint8_t {
    NAV_CODE_NONE,
    NAV_CODE_TURN,
    NAV_CODE_PUSH,
    NAV_CODE_COURSE,
    NAV_CODE_PAGE,
    NAV_CODE_SWAP,
    NAV_CODE_IDENT,
};

// One knob's turn is recognised by its letter alone: a turn with no
// direction still ends a double push. `dual_step` gets the index of a two
// knobs' code in dual_codes.
NavCode nav_code(const NavControlCodes& codes, int encoder_version, const char* text, int* dual_step) {
    if (encoder_version == 1 && text[0] == codes.encoder) return NAV_CODE_TURN;
    if (encoder_version == 2) {
        for (int i = 0; i < 4; ++i) {
            if (!text_has_code(text, codes.dual_codes[i])) continue;
            *dual_step = i;
            return NAV_CODE_TURN;
        }
    }
    if ((encoder_version == 1 || encoder_version == 2) && text[0] == 'P') return NAV_CODE_PUSH;
    if (text[0] == 'B') return NAV_CODE_COURSE;
    if (text[0] == 'M') return NAV_CODE_PAGE;
    if (text[0] == 'S') return NAV_CODE_SWAP;
    if (text[0] == codes.ident_key) return NAV_CODE_IDENT;
    return NAV_CODE_NONE;
}

// One knob: "<encoder>-"/"<encoder>+" step in the tuning mode.
void single_turn(NavContext& x, const char* text) {
    NavControls& c = x.c;
    c.press_window = 0;  // a turn between two pushes makes them two single pushes
    if (text[1] != '-' && text[1] != '+') return;
    NavStep step = step_for(text[1] == '+', c.tune_mode == 1);
    if (encoder_step(x, step, c.obs_fast == 1 ? kFastObsSteps : 1)) restart_countdown(x);
}

// One knob: "P" toggles the tuning mode; a second push within the window
// selects the OBS.
void single_push(NavContext& x) {
    NavControls& c = x.c;
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
// the fraction (one OBS step).
void dual_turn(NavContext& x, int dual_step) {
    static const NavStep kSteps[4] = {NAV_WHOLE_DOWN, NAV_WHOLE_UP, NAV_FRACTION_DOWN, NAV_FRACTION_UP};
    bool whole = dual_step < 2;
    bool acted = encoder_step(x, kSteps[dual_step], whole ? kFastObsSteps : 1);
    if (acted && (x.codes.dual_steps_restart_on_every_page || x.c.nav_page == kCdiPage)) restart_countdown(x);
}

// Two knobs: "P" on the CDI page selects the OBS.
void dual_push(NavContext& x) {
    NavControls& c = x.c;
    if (c.nav_page == kCdiPage) {
        c.obs_select = c.obs_select ? 0 : 1;
        restart_countdown(x);
    } else if (c.nav_page == kDmePage) {
        transmit_event(x.radio.event.toggle_dme, 0);
        if (x.codes.dual_dme_push_restarts) restart_countdown(x);
    }
}

void key(NavContext& x, NavCode code) {
    NavControls& c = x.c;
    if (code == NAV_CODE_COURSE) {
        nav_set_course(x.radio, x.block);
        clear_countdown(x);
    } else if (code == NAV_CODE_PAGE) {
        c.nav_page = nav_next_page(c.nav_page);
        c.press_window = 0;
        clear_countdown(x);
        c.obs_fast = 0;
        c.tune_mode = 0;
    } else if (code == NAV_CODE_SWAP) {
        c.press_window = 0;
        clear_countdown(x);
        transmit_event(x.radio.event.swap, 0);
    } else if (code == NAV_CODE_IDENT) {
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
    int dual_step = 0;
    NavCode code = nav_code(codes, encoder_version, text, &dual_step);
    if (code == NAV_CODE_TURN) {
        if (encoder_version == 1) single_turn(x, text);
        else dual_turn(x, dual_step);
    } else if (code == NAV_CODE_PUSH) {
        if (encoder_version == 1) single_push(x);
        else dual_push(x);
    } else {
        key(x, code);
    }
}

bool nav_controls_take_code(const NavControlCodes& codes, int encoder_version, const char* text) {
    int dual_step = 0;
    return text && nav_code(codes, encoder_version, text, &dual_step) != NAV_CODE_NONE;
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
