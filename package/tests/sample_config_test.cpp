// The sample configuration files of the release package, read by the real
// readers: the shipped Avionics-Panel.cfg changes nothing for any of the nine
// programs, yet lists every key each of them reads at its default; the
// second-machine SimConnect.cfg reaches the simulator over IPv4.
//
// Runs in the folder of the files as they are packed (with the platform's
// line ends).
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "core/bridge_state.h"
#include "core/config.h"
#include "core/tests/test_support.h"
#include "platform/env.h"
#include "simclient/connection_settings.h"

namespace {

std::string read_text(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Read before any test changes the current directory.
const std::string kAvionicsSample = read_text("Avionics-Panel.cfg");
const std::string kSimConnectSample = read_text("second-machine/SimConnect.cfg");

// Every value load_config fills, named, so that a mismatch shows which.
std::string describe_config() {
    const BridgeState& b = g_bridge;
    std::ostringstream out;
    out << "IDLE_MS=" << b.idle_ms << " PERIOD_VISUAL_OR_SIM=" << b.period_visual_or_sim
        << " KEEP_FRAME_RATE=" << b.keep_frame_rate << " VRAN_PORT=" << b.vran_port << " RECV_PORT=" << b.recv_port
        << " TESTMODE=" << b.testmode << " INTERFACE_INDEX=" << b.interface_index << " ADF_STBY=" << b.adf_stby
        << " FL_MODE=" << b.fl_mode << " XPDR_CODE=" << std::hex << b.xpdr_code << std::dec
        << " START_DISPLAY=" << int(b.start_display) << " STANDBY=" << b.standby
        << " STAY_RUNNING=" << b.stay_running;
    return out.str();
}

struct LoadResult {
    std::string output;
    std::string config;
    bool whole_record_unchanged;
};

// Runs the program's configuration read in the current directory and
// compares the state record with the program's start state.
LoadResult load_for(ProgramId id) {
    bridge_reset(program_profile(id), nullptr);
    const BridgeState defaults = g_bridge;
    testing::internal::CaptureStdout();
    load_config();
    LoadResult r{testing::internal::GetCapturedStdout(), describe_config(), false};
    r.whole_record_unchanged = std::memcmp(&defaults, &g_bridge, sizeof defaults) == 0;
    return r;
}

std::string defaults_of(ProgramId id) {
    bridge_reset(program_profile(id), nullptr);
    return describe_config();
}

// Where each key a program reads lives in the file.
const char* key_name(ConfigKey key) {
    switch (key) {
        case KEY_IDLE_MS: return "IDLE_MS";
        case KEY_PERIOD_VISUAL_OR_SIM: return "PERIOD_VISUAL_OR_SIM";
        case KEY_VRAN_PORT: return "VRAN_PORT";
        case KEY_RECV_PORT: return "RECV_PORT";
        case KEY_TESTMODE: return "TESTMODE";
        case KEY_INTERFACE_INDEX: return "INTERFACE_INDEX";
        case KEY_ADF_STBY: return "ADF_STBY";
        case KEY_FL_MODE: return "FL_MODE";
        case KEY_XPDR_CODE: return "XPDR_CODE";
        case KEY_START_DISPLAY: return "START_DISPLAY";
        case KEY_STANDBY: return "STANDBY";
        case KEY_KEEP_FRAME_RATE: return "KEEP_FRAME_RATE";
        case KEY_ACCELERATION: return "ACCELERATION";
        case KEY_END: break;
    }
    return "?";
}

const char* key_section(const ProgramProfile* program, ConfigKey key) {
    if (key == KEY_IDLE_MS) return program->idle_section;
    if (key == KEY_INTERFACE_INDEX) return "NET";
    return program->section;
}

std::string read_key(const char* section, const char* key) {
    char value[128];
    char path[1024];
    char here[1024];
    platform::current_directory(here, sizeof here);
    platform::join_path(path, sizeof path, here, "Avionics-Panel.cfg");
    platform::profile_string(section, key, "", value, sizeof value, path);
    return value;
}

// The sample with every switched-off key line (";KEY=value") switched on.
std::string switched_on(const std::string& sample) {
    std::string out;
    size_t start = 0;
    while (start < sample.size()) {
        size_t end = sample.find('\n', start);
        end = end == std::string::npos ? sample.size() : end + 1;
        std::string line = sample.substr(start, end - start);
        size_t name_end = line.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ_", 1);
        if (line[0] == ';' && name_end > 1 && name_end != std::string::npos && line[name_end] == '=') line.erase(0, 1);
        out += line;
        start = end;
    }
    return out;
}

class SampleConfigTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_FALSE(kAvionicsSample.empty()) << "no Avionics-Panel.cfg where the test runs"; }
    TempWorkDir dir_;
    TempAppDataFolder app_data_;
};

TEST_F(SampleConfigTest, AsShippedEveryProgramRunsAsWithoutAFile) {
    dir_.write("Avionics-Panel.cfg", kAvionicsSample);
    char here[1024];
    ASSERT_TRUE(platform::current_directory(here, sizeof here));
    for (int i = 0; i < PROGRAM_COUNT; ++i) {
        ProgramId id = static_cast<ProgramId>(i);
        SCOPED_TRACE(program_profile(id)->name);
        std::string defaults = defaults_of(id);
        LoadResult r = load_for(id);
        // Only the file's own line tells it was there.
        EXPECT_EQ(r.output, std::string("Current Dir: ") + here + "\nCurrent CFG: Avionics-Panel.cfg\n");
        EXPECT_EQ(r.config, defaults);
        EXPECT_TRUE(r.whole_record_unchanged);
    }
}

TEST_F(SampleConfigTest, ListsEveryKeyOfEveryProgramAtItsDefault) {
    dir_.write("Avionics-Panel.cfg", switched_on(kAvionicsSample));
    for (int i = 0; i < PROGRAM_COUNT; ++i) {
        ProgramId id = static_cast<ProgramId>(i);
        const ProgramProfile* program = program_profile(id);
        SCOPED_TRACE(program->name);
        for (const ConfigKey* key = program->key_order; *key != KEY_END; ++key) {
            EXPECT_NE(read_key(key_section(program, *key), key_name(*key)), "")
                << key_name(*key) << " in [" << key_section(program, *key) << "]";
        }
        EXPECT_NE(read_key("NET", "STAY_RUNNING"), "");
        EXPECT_EQ(read_key("LAUNCH", "SCAN"), "1");  // Relay-Launcher's section, at its default

        std::string defaults = defaults_of(id);
        LoadResult r = load_for(id);
        EXPECT_EQ(r.config, defaults);
        EXPECT_TRUE(r.whole_record_unchanged);
        std::string port = std::to_string(program->default_port);
        EXPECT_NE(r.output.find("IDLE-Time redefined: 50ms\n"), std::string::npos) << r.output;
        EXPECT_NE(r.output.find("Remote Port redefined: " + port + "\n"), std::string::npos) << r.output;
        EXPECT_NE(r.output.find("Local Port redefined: " + port + "\n"), std::string::npos) << r.output;
    }
}

TEST(SecondMachineSampleTest, ReachesTheSimulatorOverIpv4WithoutNagle) {
    ASSERT_FALSE(kSimConnectSample.empty()) << "no second-machine/SimConnect.cfg where the test runs";
    TempWorkDir dir;
    dir.write("SimConnect.cfg", kSimConnectSample);
    char here[1024];
    char path[1024];
    ASSERT_TRUE(platform::current_directory(here, sizeof here));
    ASSERT_TRUE(platform::join_path(path, sizeof path, here, "SimConnect.cfg"));
    ConnectionSettings s;
    settings_defaults(&s);
    settings_read_file(path, "SimConnect", &s);
    EXPECT_EQ(s.protocol, SIM_PROTOCOL_IPV4);
    EXPECT_STREQ(s.address, "192.168.1.10");
    EXPECT_STREQ(s.port, "500");
    EXPECT_TRUE(s.disable_nagle);
    EXPECT_EQ(s.max_receive_size, SIM_DEFAULT_MAX_RECEIVE);
}

}  // namespace
