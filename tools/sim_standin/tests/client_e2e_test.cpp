// The real simulator client against the stand-in, in one process: open,
// registrations, data frames, events, a data write and the quit message, over
// the local pipe and loopback TCP.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/env.h"
#include "simclient/connection_settings.h"
#include "simclient/sim_connect.h"
#include "tools/sim_standin/standin_log.h"
#include "tools/sim_standin/standin_server.h"

namespace {

std::string g_config_folder;
std::vector<std::vector<uint8_t>> g_messages;

bool config_folder(int which, char* out, size_t size) {
    if (which != 2 || g_config_folder.size() + 1 > size) return false;
    std::strcpy(out, g_config_folder.c_str());
    return true;
}

bool no_registry(const char*, char*, uint32_t) { return false; }

void collect(SIMCONNECT_RECV* data, uint32_t size, void*) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(data);
    g_messages.emplace_back(p, p + size);
}

uint32_t u32(const std::vector<uint8_t>& m, size_t off) {
    uint32_t v = 0;
    if (off + 4 <= m.size()) std::memcpy(&v, m.data() + off, 4);
    return v;
}

double f64(const std::vector<uint8_t>& m, size_t off) {
    double v = 0;
    if (off + 8 <= m.size()) std::memcpy(&v, m.data() + off, 8);
    return v;
}

enum class Link { Pipe, Tcp };

class ClientAgainstStandin : public ::testing::TestWithParam<Link> {
protected:
    void SetUp() override {
        g_log_level = -1;
        static int serial = 0;
        ++serial;
        std::string pipe = "standin-e2e-" + std::to_string(platform::monotonic_ms()) + "-" + std::to_string(serial);
        StandinOptions options;
        options.pipe_name = "\\\\.\\pipe\\" + pipe;
        options.tcp_port = 0;
        options.tcp6_port = -1;
        options.publish_registry = false;
        options.rate = 50;
        StandinEndpoints ep;
        ASSERT_TRUE(standin_start(options, &ep));
        started = true;

        namespace fs = std::filesystem;
        g_config_folder = (fs::temp_directory_path() / ("standin-e2e-" + pipe)).string();
        fs::create_directories(g_config_folder);
        std::string cfg = "[SimConnect]\n";
        cfg += GetParam() == Link::Pipe ? "Protocol=Pipe\nPort=" + pipe + "\n"
                                        : "Protocol=IPv4\nAddress=127.0.0.1\nPort=" + std::to_string(ep.tcp_port) + "\n";
        FILE* f = std::fopen((fs::path(g_config_folder) / "SimConnect.cfg").string().c_str(), "wb");
        ASSERT_TRUE(f);
        std::fwrite(cfg.data(), 1, cfg.size(), f);
        std::fclose(f);
        saved = g_sim_environment;
        g_sim_environment.config_folder = config_folder;
        g_sim_environment.registry_port = no_registry;
        g_messages.clear();
    }

    void TearDown() override {
        if (handle) SimConnect_Close(handle);
        if (started) standin_stop_with_quit();
        g_sim_environment = saved;
        std::error_code ec;
        std::filesystem::remove_all(g_config_folder, ec);
    }

    // Dispatches until a message with the receive id (and request id, for
    // frames) has come; returns it, or an empty message after a long wait.
    std::vector<uint8_t> wait_for(uint32_t recv_id, uint32_t request_id = 0xFFFFFFFFu) {
        uint64_t until = platform::monotonic_ms() + 10000;
        while (platform::monotonic_ms() < until) {
            g_messages.clear();
            SimConnect_CallDispatch(handle, collect, nullptr);
            for (const auto& m : g_messages) {
                if (u32(m, 8) == recv_id && (request_id == 0xFFFFFFFFu || u32(m, 12) == request_id)) return m;
            }
            platform::sleep_ms(10);
        }
        return std::vector<uint8_t>();
    }

    SimEnvironment saved;
    HANDLE_SIM handle = nullptr;
    bool started = false;
};

TEST_P(ClientAgainstStandin, OpensRegistersAndGetsTheRightFrames) {
    ASSERT_EQ(SIM_S_OK, SimConnect_Open(&handle, "Request Data", nullptr, 0, nullptr, 0));
    ASSERT_FALSE(wait_for(SIMCONNECT_RECV_ID_OPEN).empty());

    // The COM panel's definition, in short: title, time, BCD16 and MHz.
    SimConnect_AddToDataDefinition(handle, 0, "Title", nullptr, SIMCONNECT_DATATYPE_STRING256, 0, SIMCONNECT_UNUSED);
    SimConnect_AddToDataDefinition(handle, 0, "ABSOLUTE TIME", "seconds", SIMCONNECT_DATATYPE_FLOAT64, 0,
                                   SIMCONNECT_UNUSED);
    SimConnect_AddToDataDefinition(handle, 0, "COM STANDBY FREQUENCY:1", "Frequency BCD16",
                                   SIMCONNECT_DATATYPE_INT32, 0, SIMCONNECT_UNUSED);
    SimConnect_AddToDataDefinition(handle, 0, "TRANSPONDER STATE:1", "Enum", SIMCONNECT_DATATYPE_INT32, 0,
                                   SIMCONNECT_UNUSED);
    SimConnect_AddToDataDefinition(handle, 0, "COM STANDBY FREQUENCY:1", "MHz", SIMCONNECT_DATATYPE_FLOAT64, 0,
                                   SIMCONNECT_UNUSED);
    SimConnect_AddToDataDefinition(handle, 1, "TRANSPONDER STATE:1", "Enum", SIMCONNECT_DATATYPE_INT32, 0,
                                   SIMCONNECT_UNUSED);
    SimConnect_MapClientEventToSimEvent(handle, 22, "COM_RADIO_WHOLE_INC");
    ASSERT_EQ(SIM_S_OK, SimConnect_RequestDataOnSimObject(handle, 0, 0, SIMCONNECT_OBJECT_ID_USER,
                                                          SIMCONNECT_PERIOD_ONCE, 0, 0, 0, 0));
    std::vector<uint8_t> frame = wait_for(SIMCONNECT_RECV_ID_SIMOBJECT_DATA, 0);
    ASSERT_EQ(40u + 256 + 8 + 4 + 4 + 8, frame.size());
    EXPECT_STREQ("Cessna Skyhawk G1000 Asobo", reinterpret_cast<const char*>(frame.data() + 40));
    EXPECT_EQ(0x2150u, u32(frame, 40 + 264));
    EXPECT_EQ(4u, u32(frame, 40 + 268));
    EXPECT_DOUBLE_EQ(121.5, f64(frame, 40 + 272));

    // An event and a data write, then per-frame data shows both.
    SimConnect_TransmitClientEvent(handle, SIMCONNECT_OBJECT_ID_USER, 22, 0, SIMCONNECT_GROUP_PRIORITY_STANDARD,
                                   SIMCONNECT_EVENT_FLAG_GROUPID_IS_PRIORITY);
    int32_t state = 1;
    SimConnect_SetDataOnSimObject(handle, 1, SIMCONNECT_OBJECT_ID_USER, 0, 0, 4, &state);
    SimConnect_RequestDataOnSimObject(handle, 1, 0, SIMCONNECT_OBJECT_ID_USER, SIMCONNECT_PERIOD_VISUAL_FRAME, 0, 0,
                                      0, 0);
    frame = wait_for(SIMCONNECT_RECV_ID_SIMOBJECT_DATA, 1);
    ASSERT_FALSE(frame.empty());
    EXPECT_EQ(0x2250u, u32(frame, 40 + 264));
    EXPECT_EQ(1u, u32(frame, 40 + 268));
    EXPECT_DOUBLE_EQ(122.5, f64(frame, 40 + 272));

    // Quit reaches the client while frames are still flowing.
    std::thread stopper(standin_stop_with_quit);
    started = false;
    EXPECT_FALSE(wait_for(SIMCONNECT_RECV_ID_QUIT).empty());
    SimConnect_Close(handle);
    handle = nullptr;
    stopper.join();
}

INSTANTIATE_TEST_SUITE_P(Links, ClientAgainstStandin, ::testing::Values(Link::Pipe, Link::Tcp),
                         [](const ::testing::TestParamInfo<Link>& info) {
                             return info.param == Link::Pipe ? "Pipe" : "Tcp";
                         });

}  // namespace
