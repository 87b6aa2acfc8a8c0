// The stand-in served over real connections: loopback TCP, the local pipe and
// the control port, each with a fresh server in this process.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>

#include "platform/env.h"
#include "platform/stream_server.h"
#include "simclient/sim_types.h"
#include "tools/sim_standin/standin_log.h"
#include "tools/sim_standin/standin_server.h"
#include "tools/sim_standin/tests/request_builder.h"

namespace {

using platform::StreamConnection;

const uint64_t kPatienceMs = 10000;  // generous: slow machines and Wine

class ServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_log_level = -1;
        static int serial = 0;
        options.tcp_port = 0;
        options.tcp6_port = -1;
        options.control_port = 0;
        options.publish_registry = false;
        options.rate = 50;
        options.pipe_name = "\\\\.\\pipe\\standin-test-" + std::to_string(platform::monotonic_ms()) + "-" +
                            std::to_string(++serial);
        ASSERT_TRUE(standin_start(options, &endpoints));
        ASSERT_TRUE(endpoints.pipe);
        ASSERT_GT(endpoints.tcp_port, 0);
        ASSERT_GT(endpoints.control_port, 0);
    }
    void TearDown() override {
        for (StreamConnection* c : open_conns) platform::stream_close(c);
        standin_stop_with_quit();
    }

    StreamConnection* keep(StreamConnection* c) {
        if (c) open_conns.push_back(c);
        return c;
    }
    void drop(StreamConnection* c) {
        platform::stream_close(c);
        open_conns.erase(std::find(open_conns.begin(), open_conns.end(), c));
    }

    static void send(StreamConnection* c, const Bytes& b) {
        ASSERT_TRUE(platform::stream_send_all(c, b.data(), b.size(), 5000));
    }

    // Reads records until one with the receive id (and request id for data
    // frames) arrives; returns it, or an empty record on timeout.
    Bytes wait_record(StreamConnection* c, uint32_t recv_id, uint32_t request_id = SIMCONNECT_UNUSED) {
        uint64_t until = platform::monotonic_ms() + kPatienceMs;
        while (platform::monotonic_ms() < until) {
            std::vector<Bytes> records = split_records(pending);
            size_t used = 0;
            for (const Bytes& r : records) {
                used += r.size();
                if (u32_at(r, 8) == recv_id && (request_id == SIMCONNECT_UNUSED || u32_at(r, 12) == request_id)) {
                    pending.erase(pending.begin(), pending.begin() + static_cast<long>(used));
                    return r;
                }
            }
            pending.erase(pending.begin(), pending.begin() + static_cast<long>(used));
            uint8_t buf[4096];
            int n = platform::stream_receive(c, buf, sizeof(buf), 100);
            if (n < 0) break;
            pending.insert(pending.end(), buf, buf + n);
        }
        return Bytes();
    }

    // Open, a three-field definition, and a ONCE request: the frame back.
    Bytes open_define_and_ask_once(StreamConnection* c) {
        send(c, open_request("Request Data"));
        EXPECT_EQ(sizeof(SIMCONNECT_RECV_OPEN), wait_record(c, SIMCONNECT_RECV_ID_OPEN).size());
        send(c, add_datum_request(0, "Title", nullptr, SIMCONNECT_DATATYPE_STRING256));
        send(c, add_datum_request(0, "COM ACTIVE FREQUENCY:1", "MHz", SIMCONNECT_DATATYPE_FLOAT64));
        send(c, add_datum_request(0, "TRANSPONDER CODE:1", "BCO16", SIMCONNECT_DATATYPE_INT32));
        send(c, request_data(0, 0, SIMCONNECT_PERIOD_ONCE));
        return wait_record(c, SIMCONNECT_RECV_ID_SIMOBJECT_DATA, 0);
    }

    std::string control(const std::string& line) {
        StreamConnection* c = keep(platform::stream_connect_tcp(4, static_cast<uint16_t>(endpoints.control_port)));
        EXPECT_TRUE(c);
        if (!c) return std::string();
        std::string text = line + "\n";
        EXPECT_TRUE(platform::stream_send_all(c, text.data(), text.size(), 5000));
        std::string reply;
        uint64_t until = platform::monotonic_ms() + kPatienceMs;
        while (reply.find('\n') == std::string::npos && platform::monotonic_ms() < until) {
            char buf[512];
            int n = platform::stream_receive(c, buf, sizeof(buf), 100);
            if (n < 0) break;
            reply.append(buf, static_cast<size_t>(n));
        }
        drop(c);
        return reply;
    }

    StandinOptions options;
    StandinEndpoints endpoints;
    std::vector<StreamConnection*> open_conns;
    Bytes pending;
};

TEST_F(ServerTest, OnceFrameOverTcp) {
    StreamConnection* c = keep(platform::stream_connect_tcp(4, static_cast<uint16_t>(endpoints.tcp_port)));
    ASSERT_TRUE(c);
    Bytes frame = open_define_and_ask_once(c);
    ASSERT_EQ(40u + 256 + 8 + 4, frame.size());
    EXPECT_STREQ("Cessna Skyhawk G1000 Asobo", reinterpret_cast<const char*>(frame.data() + 40));
    EXPECT_DOUBLE_EQ(118.0, f64_at(frame, 40 + 256));
    EXPECT_EQ(0x1200u, u32_at(frame, 40 + 264));
}

TEST_F(ServerTest, PipeClientGetsPeriodicFramesThatFollowControlAndEvents) {
    StreamConnection* c = keep(platform::stream_connect_pipe(options.pipe_name.c_str()));
    ASSERT_TRUE(c);
    ASSERT_FALSE(open_define_and_ask_once(c).empty());
    EXPECT_EQ("COM ACTIVE FREQUENCY:1 = 121.5\n", control("set COM ACTIVE FREQUENCY:1 121.500"));
    send(c, map_event_request(72, "XPNDR_SET"));
    send(c, transmit_event(72, 0x7000));
    send(c, request_data(1, 0, SIMCONNECT_PERIOD_VISUAL_FRAME));
    // Frames keep coming; one soon shows both changes.
    bool seen = false;
    for (int i = 0; i < 50 && !seen; ++i) {
        Bytes f = wait_record(c, SIMCONNECT_RECV_ID_SIMOBJECT_DATA, 1);
        ASSERT_FALSE(f.empty());
        seen = f64_at(f, 40 + 256) == 121.5 && u32_at(f, 40 + 264) == 0x7000;
    }
    EXPECT_TRUE(seen);
    EXPECT_EQ("TRANSPONDER CODE:1 = 7000\n", control("get TRANSPONDER CODE:1"));
}

TEST_F(ServerTest, QuitReachesEveryClient) {
    StreamConnection* a = keep(platform::stream_connect_tcp(4, static_cast<uint16_t>(endpoints.tcp_port)));
    StreamConnection* b = keep(platform::stream_connect_pipe(options.pipe_name.c_str()));
    ASSERT_TRUE(a && b);
    send(a, open_request("A"));
    send(b, open_request("B"));
    ASSERT_FALSE(wait_record(a, SIMCONNECT_RECV_ID_OPEN).empty());
    pending.clear();
    ASSERT_FALSE(wait_record(b, SIMCONNECT_RECV_ID_OPEN).empty());
    pending.clear();
    EXPECT_EQ("quitting\n", control("quit"));
    EXPECT_TRUE(standin_quit_requested());
    std::thread stopper(standin_stop_with_quit);
    Bytes qa = wait_record(a, SIMCONNECT_RECV_ID_QUIT);
    pending.clear();
    Bytes qb = wait_record(b, SIMCONNECT_RECV_ID_QUIT);
    EXPECT_EQ(12u, qa.size());
    EXPECT_EQ(12u, qb.size());
    drop(a);
    drop(b);
    stopper.join();
}

TEST_F(ServerTest, GarbageDropsOnlyThatClient) {
    StreamConnection* bad = keep(platform::stream_connect_tcp(4, static_cast<uint16_t>(endpoints.tcp_port)));
    StreamConnection* good = keep(platform::stream_connect_pipe(options.pipe_name.c_str()));
    ASSERT_TRUE(bad && good);
    const uint8_t garbage[8] = {3, 0, 0, 0, 'x', 'y', 'z', 0};
    ASSERT_TRUE(platform::stream_send_all(bad, garbage, sizeof(garbage), 5000));
    uint8_t buf[64];
    int n = 0;
    uint64_t until = platform::monotonic_ms() + kPatienceMs;
    while ((n = platform::stream_receive(bad, buf, sizeof(buf), 100)) == 0 && platform::monotonic_ms() < until) {
    }
    EXPECT_EQ(-1, n);
    EXPECT_FALSE(open_define_and_ask_once(good).empty());
}

TEST_F(ServerTest, ControlCommandsReportErrorsPlainly) {
    EXPECT_EQ("error: value out of range for NAV ACTIVE FREQUENCY:1\n", control("set NAV ACTIVE FREQUENCY:1 130"));
    EXPECT_EQ(0u, control("bogus").find("error: unknown command"));
    EXPECT_EQ("COM ACTIVE FREQUENCY:2 = 9349 (0x2485) [Frequency BCD16]\n",
              control("get COM ACTIVE FREQUENCY:2 \"Frequency BCD16\""));
    EXPECT_EQ("event ADF_100_INC applied\n", control("event ADF_100_INC"));
    EXPECT_EQ("ADF ACTIVE FREQUENCY:1 = 479\n", control("get ADF ACTIVE FREQUENCY:1"));
    EXPECT_EQ("frames paused\n", control("frames off"));
    EXPECT_EQ("frame rate 20 a second\n", control("frames 20"));
}

}  // namespace

namespace {

TEST(RegistryPorts, PublishedWhereTheClientLooks) {
#ifndef _WIN32
    GTEST_SKIP() << "only Windows has the registry";
#endif
    g_log_level = -1;
    StandinOptions options;
    options.pipe = false;
    options.tcp_port = 0;
    options.tcp6_port = -1;
    StandinEndpoints endpoints;
    ASSERT_TRUE(standin_start(options, &endpoints));
    char port[20] = {};
    bool found = platform::registry_read_string("SOFTWARE\\Microsoft\\Microsoft Games\\KittyHawk",
                                                "SimConnect_Port_IPv4", port, sizeof(port));
    standin_stop_with_quit();
    ASSERT_TRUE(found);
    EXPECT_EQ(std::to_string(endpoints.tcp_port), port);
}

}  // namespace
