// The whole client against a scripted peer: the connection chain, the bytes
// of every request, and the receive path with its breaks, over TCP and the
// local pipe.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/env.h"
#include "platform/sim_link.h"
#include "platform/wake_event.h"
#include "simclient/sim_client.h"
#include "simclient/sim_connect.h"
#include "simclient/tests/connected_client.h"

namespace {

const char kDefaultPipe[] = "\\\\.\\pipe\\Microsoft Flight Simulator\\SimConnect";

std::string text_at(const std::vector<uint8_t>& m, size_t offset) {
    return std::string(reinterpret_cast<const char*>(m.data() + offset));
}

bool all_zero(const std::vector<uint8_t>& m, size_t offset, size_t len) {
    for (size_t i = offset; i < offset + len; ++i) {
        if (m[i] != 0) return false;
    }
    return true;
}

// A port nothing listens on: bound once by the system, then released.
std::string dead_port(bool ipv6) {
    uint16_t port = 0;
    PeerListener* l = peer_listen_tcp(ipv6, &port);
    if (!l) return "";
    peer_stop(l);
    return std::to_string(port);
}

TEST_P(ConnectedTest, OpeningMessage) {
    ASSERT_EQ(296u, open_message_.size());
    EXPECT_EQ(296u, u32_at(open_message_, 0));
    EXPECT_EQ(5u, u32_at(open_message_, 4));
    EXPECT_EQ(0xF0000001u, u32_at(open_message_, 8));
    EXPECT_EQ(1u, u32_at(open_message_, 12));
    EXPECT_EQ("Relay Test", text_at(open_message_, 16));
    EXPECT_TRUE(all_zero(open_message_, 16 + 10, 256 - 10));
    EXPECT_EQ(0u, u32_at(open_message_, 272));
    EXPECT_EQ((std::vector<uint8_t>{0x00, 0x48, 0x4B, 0x00}),
              std::vector<uint8_t>(open_message_.begin() + 276, open_message_.begin() + 280));
    EXPECT_EQ(11u, u32_at(open_message_, 280));
    EXPECT_EQ(0u, u32_at(open_message_, 284));
    EXPECT_EQ(62651u, u32_at(open_message_, 288));
    EXPECT_EQ(3u, u32_at(open_message_, 292));
}

TEST_P(ConnectedTest, FixedRequestsByteForByte) {
    ASSERT_EQ(SIM_S_OK, SimConnect_TransmitClientEvent(handle_, 0, 22, 0x1234, 1, 0x10));
    std::vector<uint8_t> m = peer_->read_message();
    ASSERT_EQ(36u, m.size());
    EXPECT_EQ(0xF0000005u, u32_at(m, 8));
    EXPECT_EQ(2u, u32_at(m, 12));  // the first request after the opening message
    EXPECT_EQ(0u, u32_at(m, 16));
    EXPECT_EQ(22u, u32_at(m, 20));
    EXPECT_EQ(0x1234u, u32_at(m, 24));
    EXPECT_EQ(1u, u32_at(m, 28));
    EXPECT_EQ(0x10u, u32_at(m, 32));

    ASSERT_EQ(SIM_S_OK, SimConnect_AddClientEventToNotificationGroup(handle_, 7, 9, 5));
    m = peer_->read_message();
    ASSERT_EQ(28u, m.size());
    EXPECT_EQ(0xF0000007u, u32_at(m, 8));
    EXPECT_EQ(3u, u32_at(m, 12));
    EXPECT_EQ(7u, u32_at(m, 16));
    EXPECT_EQ(9u, u32_at(m, 20));
    EXPECT_EQ(1u, u32_at(m, 24));  // maskable travels as 0 or 1

    ASSERT_EQ(SIM_S_OK, SimConnect_SetNotificationGroupPriority(handle_, 7, 1900000000u));
    m = peer_->read_message();
    ASSERT_EQ(24u, m.size());
    EXPECT_EQ(0xF0000009u, u32_at(m, 8));
    EXPECT_EQ(7u, u32_at(m, 16));
    EXPECT_EQ(1900000000u, u32_at(m, 20));

    ASSERT_EQ(SIM_S_OK, SimConnect_RequestDataOnSimObject(handle_, 1, 2, 3, 4, 5, 6, 7, 8));
    m = peer_->read_message();
    ASSERT_EQ(48u, m.size());
    EXPECT_EQ(0xF000000Eu, u32_at(m, 8));
    for (uint32_t i = 0; i < 8; ++i) EXPECT_EQ(i + 1, u32_at(m, 16 + 4 * i));
}

TEST_P(ConnectedTest, NamedRequestsByteForByte) {
    ASSERT_EQ(SIM_S_OK, SimConnect_MapClientEventToSimEvent(handle_, 22, "COM_RADIO_WHOLE_INC"));
    std::vector<uint8_t> m = peer_->read_message();
    ASSERT_EQ(276u, m.size());
    EXPECT_EQ(0xF0000004u, u32_at(m, 8));
    EXPECT_EQ(22u, u32_at(m, 16));
    EXPECT_EQ("COM_RADIO_WHOLE_INC", text_at(m, 20));
    EXPECT_TRUE(all_zero(m, 20 + 19, 256 - 19));

    ASSERT_EQ(SIM_S_OK, SimConnect_SubscribeToSystemEvent(handle_, 1, "SimStart"));
    m = peer_->read_message();
    ASSERT_EQ(276u, m.size());
    EXPECT_EQ(0xF0000017u, u32_at(m, 8));
    EXPECT_EQ(1u, u32_at(m, 16));
    EXPECT_EQ("SimStart", text_at(m, 20));

    ASSERT_EQ(SIM_S_OK, SimConnect_AddToDataDefinition(handle_, 0, "COM ACTIVE FREQUENCY:1", "Frequency BCD16",
                                                       SIMCONNECT_DATATYPE_INT32, 0.5f, 0xFFFFFFFFu));
    m = peer_->read_message();
    ASSERT_EQ(544u, m.size());
    EXPECT_EQ(0xF000000Cu, u32_at(m, 8));
    EXPECT_EQ(0u, u32_at(m, 16));
    EXPECT_EQ("COM ACTIVE FREQUENCY:1", text_at(m, 20));
    EXPECT_EQ("Frequency BCD16", text_at(m, 276));
    EXPECT_EQ(1u, u32_at(m, 532));
    EXPECT_EQ(0x3F000000u, u32_at(m, 536));  // 0.5f
    EXPECT_EQ(0xFFFFFFFFu, u32_at(m, 540));

    // No units: 256 zero bytes.
    ASSERT_EQ(SIM_S_OK, SimConnect_AddToDataDefinition(handle_, 0, "ATC ID", nullptr, SIMCONNECT_DATATYPE_STRING64,
                                                       0.0f, 0xFFFFFFFFu));
    m = peer_->read_message();
    ASSERT_EQ(544u, m.size());
    EXPECT_TRUE(all_zero(m, 276, 256));
}

TEST_P(ConnectedTest, SetDataWithCountZeroCarriesOneElement) {
    int32_t value = 0x01020304;
    ASSERT_EQ(SIM_S_OK, SimConnect_SetDataOnSimObject(handle_, 1, 0, 0, 0, 4, &value));
    std::vector<uint8_t> m = peer_->read_message();
    ASSERT_EQ(40u, m.size());
    EXPECT_EQ(0xF0000010u, u32_at(m, 8));
    EXPECT_EQ(1u, u32_at(m, 16));
    EXPECT_EQ(0u, u32_at(m, 20));
    EXPECT_EQ(0u, u32_at(m, 24));
    EXPECT_EQ(1u, u32_at(m, 28));
    EXPECT_EQ(4u, u32_at(m, 32));
    EXPECT_EQ(0x01020304u, u32_at(m, 36));

    double pair[2] = {1.5, -2.0};
    ASSERT_EQ(SIM_S_OK, SimConnect_SetDataOnSimObject(handle_, 2, 0, 0, 2, 8, pair));
    m = peer_->read_message();
    ASSERT_EQ(52u, m.size());
    EXPECT_EQ(0, std::memcmp(m.data() + 36, pair, sizeof(pair)));
}

TEST_P(ConnectedTest, OversizedOrMissingDataIsRefusedWithoutSending) {
    std::vector<uint8_t> big(41053);
    EXPECT_EQ(SIM_E_FAIL, SimConnect_SetDataOnSimObject(handle_, 1, 0, 0, 1, 41053, big.data()));
    EXPECT_EQ(SIM_E_FAIL, SimConnect_SetDataOnSimObject(handle_, 1, 0, 0, 0x10000, 0x10000, big.data()));
    EXPECT_EQ(SIM_E_INVALIDARG, SimConnect_SetDataOnSimObject(handle_, 1, 0, 0, 1, 4, nullptr));
    // The largest that fits still goes.
    ASSERT_EQ(SIM_S_OK, SimConnect_SetDataOnSimObject(handle_, 1, 0, 0, 1, 41052, big.data()));
    EXPECT_EQ(41088u, peer_->read_message().size());
}

TEST_P(ConnectedTest, NamesOf255CharactersGoThoseOf256AreRefused) {
    std::string ok(255, 'A');
    std::string too_long(256, 'B');
    ASSERT_EQ(SIM_S_OK, SimConnect_MapClientEventToSimEvent(handle_, 1, ok.c_str()));
    std::vector<uint8_t> m = peer_->read_message();
    ASSERT_EQ(276u, m.size());
    EXPECT_EQ(ok, text_at(m, 20));
    EXPECT_EQ(0, m[275]);

    EXPECT_EQ(SIM_E_NAME_TOO_LONG, SimConnect_MapClientEventToSimEvent(handle_, 1, too_long.c_str()));
    EXPECT_EQ(SIM_E_NAME_TOO_LONG, SimConnect_SubscribeToSystemEvent(handle_, 1, too_long.c_str()));
    EXPECT_EQ(SIM_E_NAME_TOO_LONG,
              SimConnect_AddToDataDefinition(handle_, 0, "X", too_long.c_str(), 1, 0.0f, 0xFFFFFFFFu));
    // Nothing of the refused requests reached the wire: the next message is
    // the next request, whole.
    ASSERT_EQ(SIM_S_OK, SimConnect_TransmitClientEvent(handle_, 0, 5, 0, 1, 0));
    m = peer_->read_message();
    ASSERT_EQ(36u, m.size());
    EXPECT_EQ(0xF0000005u, u32_at(m, 8));
}

TEST_P(ConnectedTest, TwoMessagesInOneWriteAreDeliveredInOrder) {
    std::vector<uint8_t> a = make_record(SIMCONNECT_RECV_ID_EVENT, {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0});
    std::vector<uint8_t> b = make_record(SIMCONNECT_RECV_ID_QUIT, {});
    std::vector<uint8_t> both = a;
    both.insert(both.end(), b.begin(), b.end());
    ASSERT_TRUE(peer_->send(both));
    ASSERT_TRUE(wait_queued(2));
    EXPECT_EQ(SIM_S_OK, SimConnect_CallDispatch(handle_, record_message, nullptr));
    ASSERT_EQ(2u, g_delivered.size());
    EXPECT_EQ(a, g_delivered[0]);
    EXPECT_EQ(b, g_delivered[1]);
}

TEST_P(ConnectedTest, MessageSplitOverThreeWritesIsQueuedOnce) {
    std::vector<uint8_t> m = make_record(SIMCONNECT_RECV_ID_SIMOBJECT_DATA, std::vector<uint8_t>(680, 0x42));
    ASSERT_TRUE(peer_->send(std::vector<uint8_t>(m.begin(), m.begin() + 3)));
    platform::sleep_ms(50);
    ASSERT_TRUE(peer_->send(std::vector<uint8_t>(m.begin() + 3, m.begin() + 300)));
    platform::sleep_ms(50);
    EXPECT_EQ(0u, client()->queued_count());
    ASSERT_TRUE(peer_->send(std::vector<uint8_t>(m.begin() + 300, m.end())));
    ASSERT_TRUE(wait_queued(1));
    EXPECT_EQ(SIM_S_OK, SimConnect_CallDispatch(handle_, record_message, nullptr));
    ASSERT_EQ(1u, g_delivered.size());
    EXPECT_EQ(m, g_delivered[0]);
}

TEST_P(ConnectedTest, MessageOf5000BytesGrowsTheBufferAndArrivesWhole) {
    std::vector<uint8_t> m = make_sized(5000, 5000);
    ASSERT_TRUE(peer_->send(m));
    ASSERT_TRUE(wait_queued(1));
    EXPECT_EQ(6144u, client()->receive_capacity());
    EXPECT_EQ(SIM_S_OK, SimConnect_CallDispatch(handle_, record_message, nullptr));
    ASSERT_EQ(1u, g_delivered.size());
    EXPECT_EQ(m, g_delivered[0]);
}

TEST_P(ConnectedTest, SizeFieldOfThreeBreaksTheConnection) {
    ASSERT_TRUE(peer_->send(make_sized(3, 12)));
    ASSERT_TRUE(wait_broken());
    EXPECT_EQ(static_cast<uint32_t>(DISCONNECT_BAD_SIZE), client()->disconnect_reason());
    EXPECT_EQ(SIM_E_ABORT, SimConnect_CallDispatch(handle_, record_message, nullptr));
    EXPECT_TRUE(g_delivered.empty());
}

TEST_P(ConnectedTest, SizeFieldAboveTheMaximumBreaksAsSoonAsItIsRead) {
    ASSERT_TRUE(peer_->send(make_sized(41089, 4)));  // the size field alone
    ASSERT_TRUE(wait_broken());
    EXPECT_EQ(static_cast<uint32_t>(DISCONNECT_TOO_LARGE), client()->disconnect_reason());
    EXPECT_EQ(SIM_E_ABORT, SimConnect_CallDispatch(handle_, record_message, nullptr));
}

TEST_P(ConnectedTest, AfterABreakDispatchDeliversTheQueueThenReportsTheStatus) {
    std::vector<uint8_t> a = make_record(SIMCONNECT_RECV_ID_EVENT, std::vector<uint8_t>(12, 1));
    std::vector<uint8_t> b = make_record(SIMCONNECT_RECV_ID_EVENT, std::vector<uint8_t>(12, 2));
    ASSERT_TRUE(peer_->send(a));
    ASSERT_TRUE(peer_->send(b));
    ASSERT_TRUE(wait_queued(2));
    peer_->close();
    ASSERT_TRUE(wait_broken());
    EXPECT_EQ(break_status(), SimConnect_CallDispatch(handle_, record_message, nullptr));
    ASSERT_EQ(2u, g_delivered.size());
    EXPECT_EQ(a, g_delivered[0]);
    EXPECT_EQ(b, g_delivered[1]);
    // Nothing left; the status stays.
    EXPECT_EQ(break_status(), SimConnect_CallDispatch(handle_, record_message, nullptr));
    EXPECT_EQ(2u, g_delivered.size());
}

TEST_P(ConnectedTest, RequestsAfterABreakReportTheStatus) {
    peer_->close();
    ASSERT_TRUE(wait_broken());
    HRESULT_T status = break_status();
    int32_t value = 1;
    EXPECT_EQ(status, SimConnect_TransmitClientEvent(handle_, 0, 1, 0, 1, 0));
    EXPECT_EQ(status, SimConnect_MapClientEventToSimEvent(handle_, 1, "XPNDR_1000_INC"));
    EXPECT_EQ(status, SimConnect_SubscribeToSystemEvent(handle_, 1, "SimStart"));
    EXPECT_EQ(status, SimConnect_AddToDataDefinition(handle_, 0, "A", "B", 1, 0.0f, 0));
    EXPECT_EQ(status, SimConnect_RequestDataOnSimObject(handle_, 0, 0, 0, 1, 0, 0, 0, 0));
    EXPECT_EQ(status, SimConnect_SetDataOnSimObject(handle_, 0, 0, 0, 1, 4, &value));
    EXPECT_EQ(status, SimConnect_AddClientEventToNotificationGroup(handle_, 0, 1, 0));
    EXPECT_EQ(status, SimConnect_SetNotificationGroupPriority(handle_, 0, 1));
}

TEST_P(ConnectedTest, DispatchWithoutAFunctionFailsAndKeepsTheQueue) {
    ASSERT_TRUE(peer_->send(make_record(SIMCONNECT_RECV_ID_EVENT, std::vector<uint8_t>(12, 0))));
    ASSERT_TRUE(wait_queued(1));
    EXPECT_EQ(SIM_E_FAIL, SimConnect_CallDispatch(handle_, nullptr, nullptr));
    EXPECT_EQ(1u, client()->queued_count());
    EXPECT_EQ(SIM_S_OK, SimConnect_CallDispatch(handle_, record_message, nullptr));
    EXPECT_EQ(1u, g_delivered.size());
}

TEST_P(ConnectedTest, MessagesShorterThanTheHeaderAreDropped) {
    std::vector<uint8_t> stream = make_sized(8, 8);
    std::vector<uint8_t> good = make_record(SIMCONNECT_RECV_ID_QUIT, {});
    std::vector<uint8_t> tiny = make_sized(4, 4);
    stream.insert(stream.end(), good.begin(), good.end());
    stream.insert(stream.end(), tiny.begin(), tiny.end());
    ASSERT_TRUE(peer_->send(stream));
    ASSERT_TRUE(wait_queued(3));
    EXPECT_EQ(SIM_S_OK, SimConnect_CallDispatch(handle_, record_message, nullptr));
    ASSERT_EQ(1u, g_delivered.size());
    EXPECT_EQ(good, g_delivered[0]);
}

// An event given after opening is set once a message is queued.
TEST_P(ConnectedTest, WakeEventGivenAfterOpeningIsSetOnceAMessageIsQueued) {
    platform::WakeEvent* wake = platform::wake_event_create();
    ASSERT_EQ(SIM_S_OK, client_set_wake_event(handle_, wake));
    EXPECT_FALSE(platform::wake_event_wait(wake, 0));
    ASSERT_TRUE(peer_->send(make_record(SIMCONNECT_RECV_ID_EVENT, std::vector<uint8_t>(12, 0))));
    EXPECT_TRUE(platform::wake_event_wait(wake, 10000));
    EXPECT_EQ(1u, client()->queued_count());
    client_set_wake_event(handle_, nullptr);
    platform::wake_event_free(wake);
}

TEST_P(ConnectedTest, FloodWaitsForDispatchAndLosesNothing) {
    // More messages than the queue takes before a dispatch.
    const uint32_t total = SIM_RECEIVE_QUEUE_MAX_MESSAGES + 5000;
    std::vector<uint8_t> stream;
    stream.reserve(static_cast<size_t>(total) * 16);
    for (uint32_t i = 0; i < total; ++i) {
        std::vector<uint8_t> m = make_record(SIMCONNECT_RECV_ID_EVENT, {static_cast<uint8_t>(i), 0, 0, 0});
        stream.insert(stream.end(), m.begin(), m.end());
    }
    ScriptedPeer* peer = peer_.get();
    std::thread writer([&] { peer->send(stream); });  // blocks while the client holds back
    ASSERT_TRUE(eventually([&] { return client()->reading_paused(); }, 30000));
    uint32_t queued = client()->queued_count();
    EXPECT_GE(queued, SIM_RECEIVE_QUEUE_MAX_MESSAGES);
    EXPECT_LT(queued, SIM_RECEIVE_QUEUE_MAX_MESSAGES + 2048);
    platform::sleep_ms(100);
    EXPECT_EQ(queued, client()->queued_count());  // nothing more read while full
    uint64_t deadline = platform::monotonic_ms() + 60000;
    while (g_delivered.size() < total && platform::monotonic_ms() < deadline) {
        EXPECT_EQ(SIM_S_OK, SimConnect_CallDispatch(handle_, record_message, nullptr));
        platform::sleep_ms(5);
    }
    // Closing ends a writer that is still blocked, should the check fail.
    if (g_delivered.size() < total) {
        SimConnect_Close(handle_);
        handle_ = nullptr;
    }
    writer.join();
    ASSERT_EQ(total, g_delivered.size());
    for (uint32_t i = 0; i < total; i += 997) EXPECT_EQ(static_cast<uint8_t>(i), g_delivered[i][12]);
}

// The handler may close the client it is called for; the rest of the batch
// is then dropped.
HANDLE_SIM g_closing_handle = nullptr;
void close_on_first(SIMCONNECT_RECV* data, uint32_t size, void* context) {
    record_message(data, size, context);
    if (g_closing_handle) {
        SimConnect_Close(g_closing_handle);
        g_closing_handle = nullptr;
    }
}

TEST_P(ConnectedTest, HandlerMayCloseTheClient) {
    std::vector<uint8_t> a = make_record(SIMCONNECT_RECV_ID_QUIT, {});
    std::vector<uint8_t> both = a;
    both.insert(both.end(), a.begin(), a.end());
    ASSERT_TRUE(peer_->send(both));
    ASSERT_TRUE(wait_queued(2));
    g_closing_handle = handle_;
    EXPECT_EQ(SIM_S_OK, SimConnect_CallDispatch(handle_, close_on_first, nullptr));
    EXPECT_EQ(1u, g_delivered.size());
    EXPECT_EQ(SIM_E_FAIL, SimConnect_CallDispatch(handle_, record_message, nullptr));
    handle_ = nullptr;  // already closed
}

TEST_P(ConnectedTest, ClosedHandleIsRefused) {
    ASSERT_EQ(SIM_S_OK, SimConnect_Close(handle_));
    HANDLE_SIM closed = handle_;
    handle_ = nullptr;
    EXPECT_EQ(SIM_E_FAIL, SimConnect_Close(closed));
    EXPECT_EQ(SIM_E_FAIL, SimConnect_TransmitClientEvent(closed, 0, 1, 0, 1, 0));
    EXPECT_EQ(SIM_E_FAIL, SimConnect_CallDispatch(closed, record_message, nullptr));
    EXPECT_EQ(SIM_E_FAIL, SimConnect_Close(nullptr));
    EXPECT_EQ(SIM_E_FAIL, SimConnect_CallDispatch(nullptr, record_message, nullptr));
    EXPECT_EQ(SIM_E_FAIL, SimConnect_SetNotificationGroupPriority(nullptr, 0, 0));
    EXPECT_TRUE(eventually([] { return CClient::live_transports() == 0; }));
}

INSTANTIATE_TEST_SUITE_P(Links, ConnectedTest, ::testing::Values(Link::Tcp, Link::Pipe), link_name);

// A raised MaxReceiveSize lets larger messages through.
class RaisedMaximumTest : public ConnectedTest {
protected:
    void SetUp() override {
        extra_config_ = "MaxReceiveSize=100000\n";
        ConnectedTest::SetUp();
    }
};

TEST_P(RaisedMaximumTest, LargeMessageArrives) {
    std::vector<uint8_t> m = make_sized(60000, 60000);
    ASSERT_TRUE(peer_->send(m));
    ASSERT_TRUE(wait_queued(1));
    EXPECT_EQ(SIM_S_OK, SimConnect_CallDispatch(handle_, record_message, nullptr));
    ASSERT_EQ(1u, g_delivered.size());
    EXPECT_EQ(m, g_delivered[0]);
}

INSTANTIATE_TEST_SUITE_P(Links, RaisedMaximumTest, ::testing::Values(Link::Tcp));

// Where SimConnect_Open connects.
class ChainTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!peer_isolated()) GTEST_SKIP() << "no private network namespace for the default pipe";
    }
    void TearDown() override {
        if (handle_) SimConnect_Close(handle_);
        for (PeerListener* l : listeners_) peer_stop(l);
    }
    PeerListener* listen_tcp(bool ipv6, std::string* port) {
        uint16_t p = 0;
        PeerListener* l = peer_listen_tcp(ipv6, &p);
        if (l) listeners_.push_back(l);
        *port = std::to_string(p);
        return l;
    }
    PeerListener* listen_default_pipe() {
        PeerListener* l = peer_listen_pipe(kDefaultPipe);
        if (l) listeners_.push_back(l);
        return l;
    }
    // The opening message arrives on this listener.
    void expect_opened_on(PeerListener* l) {
        PeerConn* conn = peer_accept(l, 5000);
        ASSERT_NE(nullptr, conn);
        ScriptedPeer peer(conn);
        std::vector<uint8_t> m = peer.read_message();
        ASSERT_EQ(296u, m.size());
        EXPECT_EQ(0xF0000001u, u32_at(m, 8));
    }
    static void expect_nothing_on(PeerListener* l) {
        PeerConn* conn = peer_accept(l, 200);
        EXPECT_EQ(nullptr, conn);
        peer_close(conn);
    }

    TestEnvironment env_;
    std::vector<PeerListener*> listeners_;
    HANDLE_SIM handle_ = nullptr;
};

TEST_F(ChainTest, WithoutConfigurationThePipeIsTriedFirstAndNoSocketIsMade) {
    std::string port4, port6;
    PeerListener* tcp4 = listen_tcp(false, &port4);
    PeerListener* tcp6 = listen_tcp(true, &port6);
    ASSERT_NE(nullptr, tcp4);
    env_.set_registry_port("SimConnect_Port_IPv4", port4);
    if (tcp6) env_.set_registry_port("SimConnect_Port_IPv6", port6);
    PeerListener* pipe = listen_default_pipe();
    ASSERT_NE(nullptr, pipe);
    uint32_t sockets = platform::link_tcp_sockets_created();
    ASSERT_EQ(SIM_S_OK, SimConnect_Open(&handle_, "Chain", nullptr, 0, nullptr, 0));
    expect_opened_on(pipe);
    EXPECT_EQ(sockets, platform::link_tcp_sockets_created());
    expect_nothing_on(tcp4);
    if (tcp6) expect_nothing_on(tcp6);
}

TEST_F(ChainTest, WithoutPipeTheChainGoesOnToIpv6ThenIpv4) {
    std::string port4, port6;
    PeerListener* tcp4 = listen_tcp(false, &port4);
    ASSERT_NE(nullptr, tcp4);
    env_.set_registry_port("SimConnect_Port_IPv4", port4);
    PeerListener* tcp6 = listen_tcp(true, &port6);
    if (tcp6) {
        env_.set_registry_port("SimConnect_Port_IPv6", port6);
        ASSERT_EQ(SIM_S_OK, SimConnect_Open(&handle_, "Chain", nullptr, 0, nullptr, 0));
        expect_opened_on(tcp6);
        expect_nothing_on(tcp4);
        SimConnect_Close(handle_);
        handle_ = nullptr;
    }
    // A dead IPv6 port: on to IPv4.
    env_.set_registry_port("SimConnect_Port_IPv6", dead_port(false));
    uint32_t sockets = platform::link_tcp_sockets_created();
    ASSERT_EQ(SIM_S_OK, SimConnect_Open(&handle_, "Chain", nullptr, 0, nullptr, 0));
    expect_opened_on(tcp4);
    EXPECT_EQ(sockets + 2, platform::link_tcp_sockets_created());
}

TEST_F(ChainTest, Ipv6LoopbackFallsBackToIpv4ThenToTheLocalPipe) {
    env_.write_config(kCurrentFolder, "[SimConnect]\nProtocol=IPv6\nAddress=::1\nPort=" + dead_port(true) + "\n");
    env_.set_registry_port("SimConnect_Port_IPv4", dead_port(false));
    PeerListener* pipe = listen_default_pipe();
    ASSERT_NE(nullptr, pipe);
    uint32_t sockets = platform::link_tcp_sockets_created();
    ASSERT_EQ(SIM_S_OK, SimConnect_Open(&handle_, "Chain", nullptr, 0, nullptr, 0));
    expect_opened_on(pipe);
    // IPv6 may be missing on the machine: then its address does not resolve
    // and no socket is made for it.
    EXPECT_GE(platform::link_tcp_sockets_created(), sockets + 1);
}

TEST_F(ChainTest, Ipv4WithoutAnyPortFailsWithoutTryingThePipe) {
    env_.write_config(kCurrentFolder, "[SimConnect]\nProtocol=IPv4\n");
    PeerListener* pipe = listen_default_pipe();
    ASSERT_NE(nullptr, pipe);
    uint32_t sockets = platform::link_tcp_sockets_created();
    EXPECT_EQ(SIM_E_FAIL, SimConnect_Open(&handle_, "Chain", nullptr, 0, nullptr, 0));
    EXPECT_EQ(nullptr, handle_);
    EXPECT_EQ(sockets, platform::link_tcp_sockets_created());
    expect_nothing_on(pipe);
}

TEST_F(ChainTest, ConfiguredPipeServerThatFailsEndsTheChain) {
    std::string port4;
    PeerListener* tcp4 = listen_tcp(false, &port4);
    ASSERT_NE(nullptr, tcp4);
    env_.set_registry_port("SimConnect_Port_IPv4", port4);
    env_.set_registry_port("SimConnect_Port_IPv6", port4);
    env_.write_config(kCurrentFolder, "[SimConnect]\nProtocol=Pipe\nAddress=faraway\n");
    uint32_t sockets = platform::link_tcp_sockets_created();
    EXPECT_EQ(SIM_E_FAIL, SimConnect_Open(&handle_, "Chain", nullptr, 0, nullptr, 0));
    EXPECT_EQ(sockets, platform::link_tcp_sockets_created());
    expect_nothing_on(tcp4);
}

TEST_F(ChainTest, NothingListeningFailsAndLeavesNothingOpen) {
    EXPECT_EQ(SIM_E_FAIL, SimConnect_Open(&handle_, "Chain", nullptr, 0, nullptr, 0));
    EXPECT_EQ(nullptr, handle_);
    EXPECT_EQ(0u, ClientClient::live_clients());
    EXPECT_TRUE(eventually([] { return CClient::live_transports() == 0; }));
}

TEST_F(ChainTest, ConfigurationIndexNeedsItsSection) {
    PeerListener* pipe = listen_default_pipe();
    ASSERT_NE(nullptr, pipe);
    handle_ = reinterpret_cast<HANDLE_SIM>(1);
    EXPECT_EQ(SIM_E_INVALIDARG, SimConnect_Open(&handle_, "Chain", nullptr, 0, nullptr, 3));
    EXPECT_EQ(nullptr, handle_);
    env_.write_config(kCurrentFolder, "[SimConnect.3]\nProtocol=Pipe\n");
    ASSERT_EQ(SIM_S_OK, SimConnect_Open(&handle_, "Chain", nullptr, 0, nullptr, 3));
    expect_opened_on(pipe);
}

TEST_F(ChainTest, NameOf256CharactersFailsTheOpen) {
    PeerListener* pipe = listen_default_pipe();
    ASSERT_NE(nullptr, pipe);
    std::string name(256, 'n');
    EXPECT_EQ(SIM_E_NAME_TOO_LONG, SimConnect_Open(&handle_, name.c_str(), nullptr, 0, nullptr, 0));
    EXPECT_EQ(nullptr, handle_);
    EXPECT_EQ(0u, ClientClient::live_clients());
}

}  // namespace
