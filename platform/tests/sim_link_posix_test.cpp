// The POSIX simulator link on its own, against a loopback peer made with the
// stream endpoints: what happens when its thread can no longer wait.
#include <gtest/gtest.h>

#include <atomic>
#include <cerrno>
#include <string>

#include "platform/env.h"
#include "platform/sim_link.h"
#include "platform/stream_server.h"

namespace {

using namespace platform;

// The completions a link delivered: the last one's status, and how many.
struct Completions {
    std::atomic<int> count{0};
    std::atomic<uint32_t> last_status{0};
};

void record(void* context, uint16_t, uint32_t status, uint32_t) {
    Completions* c = static_cast<Completions*>(context);
    c->last_status = status;
    c->count++;
}

bool wait_for(const std::atomic<int>& count, int want) {
    uint64_t deadline = monotonic_ms() + 10000;
    while (count < want) {
        if (monotonic_ms() > deadline) return false;
        sleep_ms(5);
    }
    return true;
}

TEST(SimLinkTest, FailedWaitFailsWhatIsPendingAndEveryLaterStart) {
    uint16_t port = 0;
    int error = 0;
    StreamListener* listener = stream_listen_tcp(4, 0, &port, &error);
    ASSERT_NE(nullptr, listener);
    Completions done;
    SimLink* link = link_open_tcp("127.0.0.1", std::to_string(port).c_str(), LINK_FAMILY_IPV4, record, &done);
    ASSERT_NE(nullptr, link);
    StreamConnection* peer = stream_accept(listener, 5000);
    ASSERT_NE(nullptr, peer);

    // One read that works, so the link's thread is in its loop.
    uint8_t buf[16];
    ASSERT_EQ(0u, link_start_read(link, buf, sizeof buf));
    ASSERT_TRUE(stream_send_all(peer, "x", 1, 5000));
    ASSERT_TRUE(wait_for(done.count, 1));
    EXPECT_EQ(0u, done.last_status);

    // The thread's next wait fails. The read started now either is pending
    // then and completes with the failure, or is refused with it.
    link_test_fail_next(LINK_FAULT_WAIT, ENOMEM);
    uint32_t started = link_start_read(link, buf, sizeof buf);
    if (started == 0) {
        ASSERT_TRUE(wait_for(done.count, 2));
        EXPECT_EQ(LINK_STATUS_UNSUCCESSFUL, done.last_status);  // a failure, not a cancellation
    } else {
        EXPECT_EQ(LINK_STATUS_UNSUCCESSFUL, started);
    }
    EXPECT_EQ(LINK_STATUS_UNSUCCESSFUL, link_start_read(link, buf, sizeof buf));
    EXPECT_EQ(LINK_STATUS_UNSUCCESSFUL, link_start_write(link, buf, 1));
    EXPECT_EQ(static_cast<uint32_t>(ENOMEM), link_last_os_error(link));

    link_close(link, true);
    link_free(link);
    stream_close(peer);
    stream_close_listener(listener);
}

}  // namespace
