// When the virtual panel answers an identity request. Tests use the silent
// settings to drive the programs' offline path: never answer, answer only the
// first N requests, or be switched silent and back at run time.
#pragma once

struct IdentityResponder {
    bool silent;          // switched by --silent and "silent on"/"silent off"
    long answers_left;    // -1: no limit; else answers before falling silent
    long answered;        // answers given so far
    long ignored;         // requests left unanswered
    long drops_left;      // answers still to be dropped ("drop N")
};

void responder_init(IdentityResponder* r, bool silent, long silent_after);

// Decides one request and counts it; true when the panel answers.
bool responder_should_answer(IdentityResponder* r);

// "drop N": the next N requests it would answer go unanswered, as if the
// network had lost them; then it answers as before.
void responder_drop(IdentityResponder* r, long count);

// "silent off" also lifts an exhausted --silent-after limit, so a test can
// bring the panel back after it went quiet.
void responder_set_silent(IdentityResponder* r, bool silent);
