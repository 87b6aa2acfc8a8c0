// The simulator client's byte link: one stream connection over a local pipe
// or TCP, with asynchronous reads and writes whose completions arrive on
// another thread. Windows uses overlapped I/O completed on the system thread
// pool; POSIX uses one completion thread per link. Completion statuses are
// NT status values on both sides (0 = success), so the client above handles
// breaks the same way everywhere.
#pragma once

#include <cstdint>

namespace platform {

constexpr uint32_t LINK_TCP = 0;
constexpr uint32_t LINK_PIPE = 1;

// Operation kinds, as tagged on the operation records.
constexpr uint16_t LINK_OP_READ = 256;
constexpr uint16_t LINK_OP_WRITE = 257;

// Address families as the simulator's configuration names them.
constexpr uint32_t LINK_FAMILY_IPV4 = 2;
constexpr uint32_t LINK_FAMILY_IPV6 = 23;

// Status for a link that failed with an OS error we have no NT status for.
constexpr uint32_t LINK_STATUS_UNSUCCESSFUL = 0xC0000001u;
// Status of an operation on a link that has been closed.
constexpr uint32_t LINK_STATUS_CANCELLED = 0xC0000120u;

struct SimLink;

// Called once for every read or write that was started successfully, on a
// thread of the link's own (never inside link_start_read/link_start_write).
typedef void (*LinkCompletion)(void* context, uint16_t op_kind, uint32_t status, uint32_t bytes);

// Opens the pipe "\\server\pipe\name" (POSIX: the abstract Unix socket named
// by pipe_socket_name). Null on failure.
SimLink* link_open_pipe(const char* pipe_name, LinkCompletion completion, void* context);

// Resolves address and port for the family and connects to the first result.
// Null on failure.
SimLink* link_open_tcp(const char* address, const char* port, uint32_t family, LinkCompletion completion,
                       void* context);

uint32_t link_kind(const SimLink* link);

// Starts one asynchronous read into buf (at most len bytes) or one write of
// len bytes. Returns 0 when it started: its completion follows. Otherwise it
// failed at once, no completion follows, and the result is the NT status of
// the failure, as a completion would have reported it (a closed link gives
// LINK_STATUS_CANCELLED).
uint32_t link_start_read(SimLink* link, uint8_t* buf, uint32_t len);
uint32_t link_start_write(SimLink* link, const uint8_t* buf, uint32_t len);

// TCP only: turns Nagle's algorithm off.
void link_set_nodelay(SimLink* link);

// The OS error of the last failing call on this link (or of the thread).
uint32_t link_last_os_error(const SimLink* link);

// Closes the connection (shut down both directions first when was_open).
// Operations in flight still complete, with an error status.
void link_close(SimLink* link, bool was_open);

// Gives up the link memory; call only when no operation is in flight. Closes
// first if link_close was not called.
void link_free(SimLink* link);

// Wakes an application that asked to be told of new messages: posts the
// user message to the window (a no-op on POSIX), or sets the event (on POSIX
// a WakeEvent, see wake_event.h).
void notify_window(void* window, uint32_t user_message);
void notify_event(void* event_handle);

// Winsock start-up and clean-up (no-ops returning true on POSIX).
bool link_net_startup();
void link_net_cleanup();

// Test aids: how many TCP sockets this process has created for links; how
// many links are open and not yet given up with link_free (a link given up
// twice shows as one less).
uint32_t link_tcp_sockets_created();
int32_t link_live_count();

// Test seam, never armed by the programs: the next read or write started on
// any link, or (POSIX) the next wait of a link's thread, fails with the given
// OS error (Win32 or Winsock code on Windows, errno value on POSIX), exactly as
// if the system call had returned it. Each arming fails one call.
enum LinkFault : uint32_t { LINK_FAULT_READ, LINK_FAULT_WRITE, LINK_FAULT_WAIT, LINK_FAULT_COUNT };
void link_test_fail_next(LinkFault fault, uint32_t os_error);

}  // namespace platform
