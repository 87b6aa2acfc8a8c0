// The elapsed-time clock of the ADF pages. It counts in the simulator's own
// "ABSOLUTE TIME", so it keeps time whichever page is shown and however fast
// frames arrive.
#include <cmath>
#include <cstdint>

#include "core/bridge_state.h"
#include "panels/adf/adf_rules.h"

namespace {

// Whole seconds from the start to now. A frame whose time is no number
// leaves the clock as it was; a simulator clock set back before the start
// (or a start that was no number) counts on from now instead of showing a
// negative time.
void take_elapsed(AdfEditState* s, double absolute_time) {
    if (!std::isfinite(absolute_time)) return;
    double seconds = absolute_time - s->et_start;
    if (!std::isfinite(seconds) || seconds < 0) {
        s->et_start = absolute_time;
        seconds = 0;
    }
    s->et_elapsed = whole_int32(seconds);
}

}  // namespace

void adf_clock_key(AdfEditState* s, double absolute_time) {
    s->et_state = static_cast<uint8_t>(s->et_state + 1);
    if (s->et_state > CLOCK_STOPPED) {
        adf_clock_reset(s);
    } else if (s->et_state == CLOCK_RUNNING) {
        s->et_start = absolute_time;
    } else if (!s->clock_shown_before) {
        // Stopped while running unseen: what was last drawn may be long
        // out of date, so hold this frame's time. Otherwise the value on
        // show stays.
        take_elapsed(s, absolute_time);
    }
}

void adf_clock_next_frame(AdfEditState* s) {
    s->clock_shown_before = s->clock_shown;
    s->clock_shown = false;
}

void adf_clock_update(AdfEditState* s, double absolute_time) {
    s->clock_shown = true;
    if (s->et_state == CLOCK_RUNNING) take_elapsed(s, absolute_time);
}

void adf_clock_reset(AdfEditState* s) {
    s->et_state = CLOCK_RESET;
    s->et_elapsed = 0;
}
