// The stand-in's byte streams: a peer that stops reading must not hang the
// writer (the stand-in's quit and Ctrl+C wait for every writer).
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/env.h"
#include "platform/stream_server.h"

namespace {

using namespace platform;

TEST(StreamServerTest, SendToAPeerThatStopsReadingGivesUpInsteadOfHanging) {
    uint16_t port = 0;
    int error = 0;
    StreamListener* listener = stream_listen_tcp(4, 0, &port, &error);
    ASSERT_NE(nullptr, listener);
    StreamConnection* reader = stream_connect_tcp(4, port);  // connects, then never reads
    ASSERT_NE(nullptr, reader);
    StreamConnection* writer = stream_accept(listener, 5000);
    ASSERT_NE(nullptr, writer);

    // Far more than loopback buffers hold. Should the send hang, the watchdog
    // ends it by closing the reader, and the test fails.
    std::vector<uint8_t> flood(64u * 1024u * 1024u, 0x42);
    std::atomic<bool> returned{false};
    std::atomic<bool> rescued{false};
    std::thread watchdog([&] {
        uint64_t deadline = monotonic_ms() + 60000;
        while (!returned && monotonic_ms() < deadline) sleep_ms(20);
        if (!returned) {
            rescued = true;
            stream_close(reader);
        }
    });
    bool sent = stream_send_all(writer, flood.data(), flood.size(), 500);
    returned = true;
    watchdog.join();

    EXPECT_FALSE(rescued) << "the send hung until the reader was closed";
    EXPECT_FALSE(sent);
    if (!rescued) stream_close(reader);
    stream_close(writer);
    stream_close_listener(listener);
}

}  // namespace
