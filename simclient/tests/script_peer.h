// A scripted byte-level peer for the client tests: listens on loopback TCP or
// on the local pipe, accepts the client, records what it sends and answers
// with bytes the test chooses. Every wait has a timeout.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "simclient/tests/test_records.h"

struct PeerListener;
struct PeerConn;

// Listens on 127.0.0.1 or ::1 on a port of the system's choosing. Null when
// the family is not available.
PeerListener* peer_listen_tcp(bool ipv6, uint16_t* port);
// Listens on the pipe "\\.\pipe\<name>".
PeerListener* peer_listen_pipe(const char* pipe_name);
PeerConn* peer_accept(PeerListener* listener, uint32_t timeout_ms);
void peer_stop(PeerListener* listener);

// >0 bytes read, 0 when the client closed, -1 on timeout or error.
int32_t peer_read(PeerConn* conn, uint8_t* buf, uint32_t len, uint32_t timeout_ms);
bool peer_write(PeerConn* conn, const uint8_t* buf, uint32_t len);
void peer_close(PeerConn* conn);
// Ends the connection abruptly (TCP: a reset; pipe: the server disconnects
// the client) and frees it.
void peer_abort(PeerConn* conn);
// Stops sending but keeps reading (TCP half-close; a pipe has none: no-op).
void peer_shutdown_send(PeerConn* conn);

// Runs the test process in a network namespace of its own where possible, so
// the default pipe name and loopback ports belong to this test alone.
// Returns false when the process stays in the machine's namespace.
bool peer_isolated();

// One accepted client connection with helpers for whole messages.
class ScriptedPeer {
public:
    explicit ScriptedPeer(PeerConn* conn) : conn_(conn) {}
    ~ScriptedPeer() { peer_close(conn_); }
    ScriptedPeer(const ScriptedPeer&) = delete;
    ScriptedPeer& operator=(const ScriptedPeer&) = delete;

    // Reads one request (by its size field); empty on timeout or close.
    std::vector<uint8_t> read_message(uint32_t timeout_ms = 5000);
    // True when nothing arrives within the time.
    bool stays_silent(uint32_t ms);
    bool send(const std::vector<uint8_t>& bytes) { return peer_write(conn_, bytes.data(), (uint32_t)bytes.size()); }
    void close() {
        peer_close(conn_);
        conn_ = nullptr;
    }
    void abort() {
        peer_abort(conn_);
        conn_ = nullptr;
    }
    void shutdown_send() { peer_shutdown_send(conn_); }

private:
    bool read_exactly(uint8_t* buf, uint32_t len, uint32_t timeout_ms);
    PeerConn* conn_;
};
