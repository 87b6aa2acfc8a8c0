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
// stays open until the process ends, so that a launcher still stopping its
// programs is seen as asked, not as one that cannot be asked.
bool end_request_received();

// The asking side: true when a listening launcher got the request.
bool end_request_send();

}  // namespace platform
