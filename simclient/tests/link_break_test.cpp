// Ways of losing the simulator that the client must report like any other
// break: a read or a write that fails at once (no completion follows), a
// simulator that stops reading, running out of memory while connecting or
// while sending. Failures are injected through the link's and the client's
// test seams; everything else is the real client on a real connection.
#include <gtest/gtest.h>

#include <cerrno>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

#include "platform/sim_link.h"
#include "simclient/alloc_faults.h"
#include "simclient/tests/connected_client.h"

namespace {

// An OS error with no status of its own (reported as LINK_STATUS_UNSUCCESSFUL,
// reason 9), unlike anything a closed link's operations complete with.
#ifdef _WIN32
const uint32_t kOddError = static_cast<uint32_t>(ERROR_GEN_FAILURE);
#else
const uint32_t kOddError = EIO;
#endif

class LinkBreakTest : public ConnectedTest {
protected:
    // A broken link says so everywhere the programs look.
    void expect_reported(HRESULT_T status) {
        EXPECT_EQ(status, SimConnect_CallDispatch(handle_, record_message, nullptr));
        EXPECT_EQ(status, SimConnect_TransmitClientEvent(handle_, 0, 1, 0, 1, 0));
        EXPECT_EQ(status, SimConnect_RequestDataOnSimObject(handle_, 1, 0, 0, 1, 0, 0, 0, 0));
    }
    // Fills the simulator's side until a write stays in flight with more
    // queued behind it; false if that never happens.
    bool stall_writes() {
        std::vector<uint8_t> data(41052, 0x5A);
        for (int i = 0; i < 500 && client()->outgoing_count() == 0; ++i) {
            if (SimConnect_SetDataOnSimObject(handle_, 1, 0, 0, 1, 41052, data.data()) != SIM_S_OK) return false;
        }
        return client()->outgoing_count() > 0;
    }
    bool wait_idle() {
        return eventually([&] { return client()->references() == 1; });
    }
};

TEST_P(LinkBreakTest, ReadFailingAtOnceAfterAFrameBreaksTheLink) {
    // The read issued after this frame fails at once: the simulator died
    // right after sending it.
    platform::link_test_fail_next(platform::LINK_FAULT_READ, dying_error(GetParam()));
    std::vector<uint8_t> frame = make_record(SIMCONNECT_RECV_ID_EVENT, std::vector<uint8_t>(12, 7));
    ASSERT_TRUE(peer_->send(frame));
    ASSERT_TRUE(wait_broken());
    EXPECT_EQ(static_cast<uint32_t>(DISCONNECT_REMOTE), client()->disconnect_reason());
    EXPECT_EQ(dying_status(GetParam()), SimConnect_CallDispatch(handle_, record_message, nullptr));
    ASSERT_EQ(1u, g_delivered.size());  // what came before the failure still arrives
    EXPECT_EQ(frame, g_delivered[0]);
    expect_reported(dying_status(GetParam()));
}

TEST_P(LinkBreakTest, WriteFailingAtOnceBreaksTheLinkAndNothingMoreIsQueued) {
    platform::link_test_fail_next(platform::LINK_FAULT_WRITE, dying_error(GetParam()));
    EXPECT_EQ(SIM_S_OK, SimConnect_TransmitClientEvent(handle_, 0, 22, 0, 1, 0));  // handed over, then lost
    // The write starts here, or on the link's thread if the opening message's
    // completion is still running.
    ASSERT_TRUE(wait_broken());
    EXPECT_EQ(static_cast<uint32_t>(DISCONNECT_REMOTE), client()->disconnect_reason());
    expect_reported(dying_status(GetParam()));
    EXPECT_EQ(0u, client()->outgoing_count());
    EXPECT_TRUE(peer_->read_message(200).empty());  // the link is closed, nothing came
}

TEST_P(LinkBreakTest, SimulatorThatStopsReadingBreaksTheLinkInsteadOfGrowingTheQueue) {
    std::vector<uint8_t> data(41052, 0x5A);
    HRESULT_T hr = SIM_S_OK;
    int requests = 0;
    uint32_t most_queued = 0;
    while (hr == SIM_S_OK && requests < 2000) {
        hr = SimConnect_SetDataOnSimObject(handle_, 1, 0, 0, 1, 41052, data.data());
        ++requests;
        uint32_t queued = client()->outgoing_count();
        if (queued > most_queued) most_queued = queued;
    }
    ASSERT_EQ(static_cast<HRESULT_T>(SIM_STATUS_SEND_QUEUE_FULL), hr) << requests << " requests";
    EXPECT_LE(most_queued * 41088ull, SIM_SEND_QUEUE_MAX_BYTES);
    EXPECT_EQ(static_cast<uint32_t>(DISCONNECT_ERROR), client()->disconnect_reason());
    ASSERT_TRUE(wait_idle());  // the write in flight has been cancelled by now
    expect_reported(static_cast<HRESULT_T>(SIM_STATUS_SEND_QUEUE_FULL));
}

TEST_P(LinkBreakTest, OnlyTheFirstOfTwoFailuresIsRecorded) {
    ASSERT_TRUE(stall_writes());
    uint32_t breaks = CClient::breaks_recorded();
    // The read fails while a write is in flight; closing the link then fails
    // the write as well (another reason, another status), on another thread.
    platform::link_test_fail_next(platform::LINK_FAULT_READ, kOddError);
    ASSERT_TRUE(peer_->send(make_record(SIMCONNECT_RECV_ID_EVENT, {})));
    ASSERT_TRUE(wait_broken());
    ASSERT_TRUE(wait_idle());
    EXPECT_EQ(static_cast<uint32_t>(DISCONNECT_ERROR), client()->disconnect_reason());
    EXPECT_EQ(platform::LINK_STATUS_UNSUCCESSFUL, client()->disconnect_status());
    EXPECT_EQ(breaks + 1, CClient::breaks_recorded());
}

TEST_P(LinkBreakTest, SendBufferOutOfMemoryLosesOnlyThatRequest) {
    client_test_fail_next_alloc(ALLOC_SEND_BLOCK);
    EXPECT_EQ(SIM_E_OUTOFMEMORY, SimConnect_TransmitClientEvent(handle_, 0, 7, 0, 1, 0));
    ASSERT_EQ(SIM_S_OK, SimConnect_TransmitClientEvent(handle_, 0, 8, 0, 1, 0));
    std::vector<uint8_t> m = peer_->read_message();
    ASSERT_EQ(36u, m.size());
    EXPECT_EQ(8u, u32_at(m, 20));
    EXPECT_TRUE(peer_->stays_silent(200));  // the lost request never follows
    EXPECT_EQ(0u, client()->disconnect_reason());
}

INSTANTIATE_TEST_SUITE_P(Links, LinkBreakTest, ::testing::Values(Link::Tcp, Link::Pipe), link_name);

// Failures while SimConnect_Open sets up the connection.
class OpenFailureTest : public ::testing::TestWithParam<Link> {
protected:
    void SetUp() override {
        listen_for_client(GetParam(), &env_, "", &listener_);
        ASSERT_NE(nullptr, listener_);
    }
    void TearDown() override {
        if (handle_) SimConnect_Close(handle_);
        peer_stop(listener_);
    }
    // Nothing of the failed client is left, and the simulator's end sees
    // the connection closed.
    void expect_nothing_left() {
        EXPECT_EQ(nullptr, handle_);
        EXPECT_EQ(0u, ClientClient::live_clients());
        EXPECT_TRUE(eventually([] { return CClient::live_transports() == 0; }));
        EXPECT_EQ(0, platform::link_live_count());  // every link given up, and only once
        PeerConn* conn = peer_accept(listener_, 5000);
#ifdef _WIN32
        // A pipe instance whose client has already closed cannot be accepted.
        if (GetParam() == Link::Pipe && !conn) return;
#endif
        ASSERT_NE(nullptr, conn);
        uint8_t buf[512];
        int32_t n;
        while ((n = peer_read(conn, buf, sizeof buf, 5000)) > 0) {
        }
        EXPECT_EQ(0, n);
        peer_close(conn);
    }
    TestEnvironment env_;
    PeerListener* listener_ = nullptr;
    HANDLE_SIM handle_ = nullptr;
};

TEST_P(OpenFailureTest, SimulatorGoneBeforeTheFirstReadFailsTheOpen) {
    platform::link_test_fail_next(platform::LINK_FAULT_READ, dying_error(GetParam()));
    EXPECT_EQ(dying_status(GetParam()), SimConnect_Open(&handle_, "Relay Test", nullptr, 0, nullptr, 0));
    expect_nothing_left();
}

TEST_P(OpenFailureTest, OutOfMemoryAfterConnectingFreesTheLinkOnce) {
    client_test_fail_next_alloc(ALLOC_RECEIVE_BUFFER);
    EXPECT_EQ(SIM_E_FAIL, SimConnect_Open(&handle_, "Relay Test", nullptr, 0, nullptr, 0));
    expect_nothing_left();
}

TEST_P(OpenFailureTest, ApplicationIsWokenWhenTheFirstReadFails) {
#ifdef _WIN32
    HANDLE woken = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(nullptr, woken);
    platform::link_test_fail_next(platform::LINK_FAULT_READ, dying_error(GetParam()));
    EXPECT_EQ(dying_status(GetParam()), SimConnect_Open(&handle_, "Relay Test", nullptr, 0, woken, 0));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(woken, 0));
    CloseHandle(woken);
#else
    GTEST_SKIP() << "only Windows wakes the application through an event";
#endif
}

INSTANTIATE_TEST_SUITE_P(Links, OpenFailureTest, ::testing::Values(Link::Tcp, Link::Pipe), link_name);

}  // namespace
