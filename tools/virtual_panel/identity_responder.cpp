#include "tools/virtual_panel/identity_responder.h"

void responder_init(IdentityResponder* r, bool silent, long silent_after) {
    r->silent = silent;
    r->answers_left = silent_after;
    r->answered = 0;
    r->ignored = 0;
    r->drops_left = 0;
}

bool responder_should_answer(IdentityResponder* r) {
    if (r->silent || r->answers_left == 0) {
        ++r->ignored;
        return false;
    }
    if (r->drops_left > 0) {
        --r->drops_left;
        ++r->ignored;
        return false;
    }
    if (r->answers_left > 0) --r->answers_left;
    ++r->answered;
    return true;
}

void responder_drop(IdentityResponder* r, long count) { r->drops_left = count; }

void responder_set_silent(IdentityResponder* r, bool silent) {
    r->silent = silent;
    if (!silent) r->answers_left = -1;
}
