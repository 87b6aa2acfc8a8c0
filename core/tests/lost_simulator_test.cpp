// The session loop and the real client against a scripted simulator whose
// link fails at once, on a read and on a write, over TCP and the local pipe:
// the program reports the lost simulator and ends the session, though the
// simulator's end of the connection stays open. The panel link is marked as
// set up without an interface, so nothing is broadcast.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

#include "core/bridge_state.h"
#include "core/session_loop.h"
#include "platform/sim_link.h"
#include "simclient/tests/connected_client.h"

namespace {

enum class Fails { Read, Write };

struct Case {
    Link link;
    Fails fails;
};

std::string case_name(const ::testing::TestParamInfo<Case>& info) {
    return std::string(info.param.link == Link::Tcp ? "Tcp" : "Pipe") +
           (info.param.fails == Fails::Read ? "Read" : "Write");
}

class LostSimulatorTest : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        listen_for_client(GetParam().link, &env_, "", &listener_);
        ASSERT_NE(nullptr, listener_);
        bridge_reset(program_profile(PROGRAM_COMM1), nullptr);
        g_bridge.link_initialised = 1;
        g_bridge.interface_found = 0;
    }
    void TearDown() override { peer_stop(listener_); }

    // The simulator: takes the registrations and the first data request,
    // then makes the link fail at once and keeps its end open until the
    // session is over.
    void play_simulator() {
        PeerConn* conn = peer_accept(listener_, 10000);
        if (!conn) return;
        ScriptedPeer peer(conn);
        std::vector<uint8_t> m;
        while (!(m = peer.read_message(10000)).empty() && u32_at(m, 8) != SIM_MSG_REQUEST_DATA_ON_SIM_OBJECT) {
        }
        if (GetParam().fails == Fails::Read) {
            platform::link_test_fail_next(platform::LINK_FAULT_READ, dying_error(GetParam().link));
            peer.send(make_record(SIMCONNECT_RECV_ID_EVENT, std::vector<uint8_t>(12, 0)));
        } else {
            platform::link_test_fail_next(platform::LINK_FAULT_WRITE, dying_error(GetParam().link));
        }
        while (!session_over_) platform::sleep_ms(10);
    }

    TestEnvironment env_;
    PeerListener* listener_ = nullptr;
    std::atomic<bool> session_over_{false};
};

TEST_P(LostSimulatorTest, LinkFailingAtOnceEndsTheSessionWithTheLostLine) {
    std::thread simulator([this] { play_simulator(); });
    // Should the break go unnoticed, the session would run for ever: end it
    // from outside and fail.
    std::atomic<bool> returned{false};
    std::atomic<bool> rescued{false};
    std::thread watchdog([&] {
        uint64_t deadline = platform::monotonic_ms() + 30000;
        while (!returned && platform::monotonic_ms() < deadline) platform::sleep_ms(20);
        if (!returned) {
            rescued = true;
            g_bridge.quit_requested = 1;
        }
    });
    testing::internal::CaptureStdout();
    run_session();
    std::string out = testing::internal::GetCapturedStdout();
    returned = true;
    session_over_ = true;
    watchdog.join();
    simulator.join();

    EXPECT_FALSE(rescued) << "the session ran on with a dead link";
    EXPECT_EQ(out, "\nCOM1-Client Connected to Flight Simulator!\n\nConnection to Flight Simulator lost!\n");
    EXPECT_EQ(g_bridge.quit_requested, 1);
    EXPECT_EQ(0u, ClientClient::live_clients());
}

INSTANTIATE_TEST_SUITE_P(Links, LostSimulatorTest,
                         ::testing::Values(Case{Link::Tcp, Fails::Read}, Case{Link::Tcp, Fails::Write},
                                           Case{Link::Pipe, Fails::Read}, Case{Link::Pipe, Fails::Write}),
                         case_name);

}  // namespace
