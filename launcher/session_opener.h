// One attempt to open a simulator session, made on a thread of its own so
// that the launcher's loop never waits for it: an open can take seconds (a
// busy pipe is waited for, a refused TCP connection is tried again by the
// system). The attempt touches nothing but its own record; the session it
// opened is handed to the loop once the attempt is over, and from then on
// only the loop uses it (dispatch included).
#pragma once

#include "simclient/sim_types.h"

struct SessionOpener;

// Starts an attempt under the given application name (a literal: it must
// outlive the attempt). Null when no thread could be made.
SessionOpener* opener_start(const char* application_name);

// Once the attempt is over: true, with the open session or null in
// *session, and the opener freed (*opener becomes null). False while it
// still runs.
bool opener_take(SessionOpener** opener, HANDLE_SIM* session);

// Waits for the attempt to be over, then as opener_take.
void opener_wait(SessionOpener** opener, HANDLE_SIM* session);
