// Byte-stream endpoints for the simulator stand-in and its tests: listening
// on loopback TCP (IPv4, IPv6) and on the local pipe, accepting, and reading
// and writing with timeouts. Windows uses Winsock and overlapped named pipes;
// POSIX uses BSD sockets and, for the pipe, an abstract Unix-domain socket
// named by pipe_socket_name(). Every wait has a timeout so callers can poll a
// stop flag instead of blocking for ever.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

struct StreamListener;
struct StreamConnection;

// Listens on the loopback address of the family (4: 127.0.0.1, 6: ::1).
// Port 0 lets the system pick; the port in use is written to *actual_port.
// Returns null on failure with the system's error code in *error.
StreamListener* stream_listen_tcp(int family, uint16_t port, uint16_t* actual_port, int* error);

// Listens on a local pipe named "\\.\pipe\<name>". Null on failure (for
// example when another process already serves the name on POSIX).
StreamListener* stream_listen_pipe(const char* pipe_name, int* error);

// Waits up to timeout_ms for a client. Null when none came.
StreamConnection* stream_accept(StreamListener* listener, uint32_t timeout_ms);

void stream_close_listener(StreamListener* listener);

// Client side, for tests and tools: connects to a loopback TCP port or a local
// pipe. Null on failure.
StreamConnection* stream_connect_tcp(int family, uint16_t port);
StreamConnection* stream_connect_pipe(const char* pipe_name);

// Reads what is there, waiting up to timeout_ms for something to arrive.
// Returns the byte count, 0 when nothing came in time, -1 when the peer has
// gone or the connection broke.
int stream_receive(StreamConnection* conn, void* buf, size_t size, uint32_t timeout_ms);

// Writes all bytes. A peer that takes nothing for timeout_ms counts as gone:
// false, and the connection should be closed.
bool stream_send_all(StreamConnection* conn, const void* data, size_t size, uint32_t timeout_ms);

void stream_close(StreamConnection* conn);

}  // namespace platform
