// Message helpers of the scripted peer, the same on every platform.
#include "simclient/tests/script_peer.h"

#include "platform/env.h"

bool ScriptedPeer::read_exactly(uint8_t* buf, uint32_t len, uint32_t timeout_ms) {
    uint64_t deadline = platform::monotonic_ms() + timeout_ms;
    uint32_t got = 0;
    while (got < len) {
        uint64_t now = platform::monotonic_ms();
        if (now >= deadline || !conn_) return false;
        int32_t n = peer_read(conn_, buf + got, len - got, static_cast<uint32_t>(deadline - now));
        if (n <= 0) return false;
        got += static_cast<uint32_t>(n);
    }
    return true;
}

std::vector<uint8_t> ScriptedPeer::read_message(uint32_t timeout_ms) {
    uint8_t head[4];
    if (!read_exactly(head, 4, timeout_ms)) return {};
    uint32_t size = head[0] | head[1] << 8 | head[2] << 16 | static_cast<uint32_t>(head[3]) << 24;
    if (size < 4 || size > 1000000) return {};
    std::vector<uint8_t> message(size);
    for (int i = 0; i < 4; ++i) message[i] = head[i];
    if (!read_exactly(message.data() + 4, size - 4, timeout_ms)) return {};
    return message;
}

bool ScriptedPeer::stays_silent(uint32_t ms) {
    uint8_t byte;
    return peer_read(conn_, &byte, 1, ms) < 0;
}
