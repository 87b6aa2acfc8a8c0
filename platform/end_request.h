// A request from another process of the same user on this computer that the
// running Relay-Launcher end, as q in its window would; the uninstaller asks
// this before it removes the programs. Local only, never over the network:
// Windows: a named event in the session's own namespace; POSIX: an abstract
// Unix datagram socket that takes requests from the same user only.
#pragma once

namespace platform {

// The running launcher: starts taking requests. False when it cannot; the
// launcher then runs on without (it can still be ended by hand).
bool end_request_listen();

// True once a request has arrived. Polled; never blocks. What listens
// stays open until the process ends, so the asking side can tell when the
// launcher has gone.
bool end_request_received();

// The asking side: true when a launcher listens and got the request.
bool end_request_send();

// True while a launcher listens: until its process has ended.
bool end_request_listened();

}  // namespace platform
