// A wake-up for the session loop: the simulator client sets it when a
// message arrives (through notify_event), and the loop waits on it between
// passes instead of sleeping. The pointer itself is the event handle the
// client takes. Windows: an auto-reset event object; POSIX: a flag with a
// pollable descriptor of our own. A wait can also watch the panel's socket,
// so that one wait ends on whichever comes first.
#pragma once

#include <cstdint>

#include "platform/udp.h"

namespace platform {

struct WakeEvent;

// Null when the system has no event to give.
WakeEvent* wake_event_create();
// Only once nothing can set it any more.
void wake_event_free(WakeEvent* event);

// Sets the event; a waiter returns, or the next wait returns at once.
void wake_event_set(WakeEvent* event);

// Waits until the event is set or timeout_ms have passed. True when it was
// set; it is clear again afterwards either way.
bool wake_event_wait(WakeEvent* event, uint32_t timeout_ms);

// Lets waits see datagrams arrive on one UDP socket. Windows: the socket's
// network event (FD_READ); while it is selected the socket stays
// non-blocking and cannot be made blocking. POSIX: the socket is polled.
struct SocketWatch;

// Null when the system cannot watch the socket.
SocketWatch* socket_watch_create(UdpSocket socket);
// Afterwards the socket's blocking mode can be set again.
void socket_watch_free(SocketWatch* watch);

enum WakeCause { WAKE_TIMEOUT, WAKE_EVENT, WAKE_DATAGRAM };

// Waits until the event is set, a datagram waits on the watched socket
// (watch may be null: the event alone) or timeout_ms have passed. A set
// event is reported before a datagram and taken as by wake_event_wait; a
// datagram stays in the socket for the caller to read.
WakeCause wake_event_wait_or_datagram(WakeEvent* event, SocketWatch* watch, uint32_t timeout_ms);

}  // namespace platform
