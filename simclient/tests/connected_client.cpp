#include "simclient/tests/connected_client.h"

#include <cerrno>

#ifdef _WIN32
#include <windows.h>
#endif

std::vector<std::vector<uint8_t>> g_delivered;

void record_message(SIMCONNECT_RECV* data, uint32_t size, void*) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(data);
    g_delivered.emplace_back(p, p + size);
}

std::string link_name(const ::testing::TestParamInfo<Link>& info) {
    return info.param == Link::Tcp ? "Tcp" : "Pipe";
}

uint32_t dying_error(Link link) {
#ifdef _WIN32
    return link == Link::Tcp ? 10054u /* WSAECONNRESET */ : static_cast<uint32_t>(ERROR_BROKEN_PIPE);
#else
    return static_cast<uint32_t>(link == Link::Tcp ? ECONNRESET : EPIPE);
#endif
}

HRESULT_T dying_status(Link link) {
    return static_cast<HRESULT_T>(link == Link::Tcp ? SIM_STATUS_CONNECTION_RESET : SIM_STATUS_PIPE_BROKEN);
}

void listen_for_client(Link link, TestEnvironment* env, const std::string& extra_config, PeerListener** listener) {
    static int serial = 0;
    std::string cfg = "[SimConnect]\n";
    if (link == Link::Tcp) {
        uint16_t port = 0;
        *listener = peer_listen_tcp(false, &port);
        cfg += "Protocol=IPv4\nAddress=127.0.0.1\nPort=" + std::to_string(port) + "\n";
    } else {
        std::string name = "relay-client-test-" + std::to_string(serial++);
        *listener = peer_listen_pipe(("\\\\.\\pipe\\" + name).c_str());
        cfg += "Protocol=Pipe\nPort=" + name + "\n";
    }
    env->write_config(kCurrentFolder, cfg + extra_config);
}

void ConnectedTest::SetUp() {
    g_delivered.clear();
    listen_for_client(GetParam(), &env_, extra_config_, &listener_);
    ASSERT_NE(nullptr, listener_);
    ASSERT_EQ(SIM_S_OK, SimConnect_Open(&handle_, "Relay Test", nullptr, 0, nullptr, 0));
    ASSERT_NE(nullptr, handle_);
    PeerConn* conn = peer_accept(listener_, 5000);
    ASSERT_NE(nullptr, conn);
    peer_.reset(new ScriptedPeer(conn));
    open_message_ = peer_->read_message();
}

void ConnectedTest::TearDown() {
    if (handle_) {
        EXPECT_EQ(SIM_S_OK, SimConnect_Close(handle_));
    }
    peer_.reset();
    peer_stop(listener_);
}
