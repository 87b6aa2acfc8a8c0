// What the whole-client tests share: one open client and the scripted peer at
// the other end of its connection, over TCP or the local pipe.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/env.h"
#include "simclient/sim_client.h"
#include "simclient/sim_connect.h"
#include "simclient/tests/script_peer.h"
#include "simclient/tests/test_folders.h"

// The folder of TestEnvironment that stands for the current directory.
constexpr int kCurrentFolder = 2;

template <typename Pred>
bool eventually(Pred pred, uint32_t timeout_ms = 10000) {
    uint64_t deadline = platform::monotonic_ms() + timeout_ms;
    while (!pred()) {
        if (platform::monotonic_ms() > deadline) return false;
        platform::sleep_ms(5);
    }
    return true;
}

// Every message the last dispatches delivered to record_message.
extern std::vector<std::vector<uint8_t>> g_delivered;
void record_message(SIMCONNECT_RECV* data, uint32_t size, void* context);

enum class Link { Tcp, Pipe };
std::string link_name(const ::testing::TestParamInfo<Link>& info);

// The OS error a dying simulator leaves behind (a reset socket, a broken
// pipe), for the link's failure seam, and the status the client must then
// report, the same on both platforms.
uint32_t dying_error(Link link);
HRESULT_T dying_status(Link link);

// Writes a SimConnect.cfg that points at a fresh peer listening on the link;
// the listener goes into *listener.
void listen_for_client(Link link, TestEnvironment* env, const std::string& extra_config, PeerListener** listener);

class ConnectedTest : public ::testing::TestWithParam<Link> {
protected:
    void SetUp() override;
    void TearDown() override;

    ClientClient* client() { return static_cast<ClientClient*>(handle_); }

    // The status a broken link reports: a pipe breaks, a socket reads 0 bytes.
    HRESULT_T break_status() const {
        return static_cast<HRESULT_T>(GetParam() == Link::Pipe ? SIM_STATUS_PIPE_BROKEN : SIM_STATUS_ZERO_BYTES);
    }

    bool wait_queued(uint32_t count) {
        return eventually([&] { return client()->queued_count() >= count; });
    }
    bool wait_broken() {
        return eventually([&] { return client()->disconnect_reason() != 0; });
    }

    TestEnvironment env_;
    std::string extra_config_;
    PeerListener* listener_ = nullptr;
    std::unique_ptr<ScriptedPeer> peer_;
    HANDLE_SIM handle_ = nullptr;
    std::vector<uint8_t> open_message_;
};
