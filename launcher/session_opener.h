// Attempts to open a simulator session, made on a thread of the opener's
// own so that the launcher's loop never waits for one: an open can take
// seconds (a busy pipe is waited for, a refused TCP connection is tried
// again by the system). The thread lives as long as the opener, since the
// first read and write of a session are started on it and Wine ends what a
// thread started when the thread ends. An attempt touches nothing but the
// opener's record; the session it opened is handed to the loop, and from
// then on only the loop uses it, dispatch and close included.
#pragma once

#include "simclient/sim_types.h"

struct SessionOpener;

// Starts the opener's thread; the application name must outlive the
// opener. Null when no thread could be made.
SessionOpener* opener_create(const char* application_name);

// Begins one attempt; none may be under way.
void opener_begin(SessionOpener* opener);

// True once the attempt begun last is over, with the session it opened (or
// null) in *session; false while it runs or when none was begun.
bool opener_take(SessionOpener* opener, HANDLE_SIM* session);

// Waits for an attempt under way to be over and hands over its session;
// null when none was under way.
void opener_wait(SessionOpener* opener, HANDLE_SIM* session);

// Ends the thread and frees the opener; no attempt may be under way.
void opener_destroy(SessionOpener* opener);
