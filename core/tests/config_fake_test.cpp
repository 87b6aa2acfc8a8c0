// The configuration file: where it is found, each key's conversion, default
// and report, for every program's table.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/bridge_state.h"
#include "core/config.h"
#include "core/tests/test_support.h"
#include "platform/env.h"

namespace {

std::string load_for(ProgramId id) {
    bridge_reset(program_profile(id), nullptr);
    testing::internal::CaptureStdout();
    load_config();
    return testing::internal::GetCapturedStdout();
}

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

struct Defaults {
    ProgramId id;
    uint16_t port;
    bool not_found_with_break;
};

const Defaults kDefaults[] = {
    {PROGRAM_HUB1, 4782, true},   {PROGRAM_NAVCOM1, 4786, true}, {PROGRAM_NAVCOM2, 4788, true},
    {PROGRAM_ADF, 4778, false},   {PROGRAM_NAV1, 4772, true},    {PROGRAM_NAV2, 4776, true},
    {PROGRAM_XPDR, 4780, false},  {PROGRAM_COMM2, 4774, false},  {PROGRAM_COMM1, 4770, false},
};

class ConfigTest : public testing::Test {
protected:
    TempWorkDir dir_;
    TempAppDataFolder app_data_;
};

TEST_F(ConfigTest, MissingFileLeavesEveryDefaultAndSaysSo) {
    for (const Defaults& d : kDefaults) {
        std::string out = load_for(d.id);
        SCOPED_TRACE(program_profile(d.id)->name);
        EXPECT_TRUE(contains(out, "Current Dir: ")) << out;
        std::string message = "Configuration file Avionics-Panel.cfg not found! Default values are used!\n\n";
        EXPECT_TRUE(contains(out, (d.not_found_with_break ? "\n" : "") + message)) << out;
        if (!d.not_found_with_break) {
            EXPECT_FALSE(contains(out, "\n\n" + message)) << out;
        }
        EXPECT_EQ(g_bridge.vran_port, d.port);
        EXPECT_EQ(g_bridge.recv_port, d.port);
        EXPECT_EQ(g_bridge.idle_ms, 50);
        EXPECT_EQ(g_bridge.period_visual_or_sim, 0);
        EXPECT_EQ(g_bridge.testmode, 0);
        EXPECT_EQ(g_bridge.interface_index, 0);
        EXPECT_EQ(g_bridge.xpdr_code, 0x1200u);
        EXPECT_EQ(g_bridge.start_display, 1);
        EXPECT_EQ(g_bridge.adf_stby, 1);
    }
}

TEST_F(ConfigTest, FileInCurrentDirectoryIsNamedBare) {
    dir_.write("Avionics-Panel.cfg",
               "[COM1]\nIDLE_MS=20\nVRAN_PORT=70000\nRECV_PORT=5000\nTESTMODE=2\n[NET]\nINTERFACE_INDEX=7\n");
    std::string out = load_for(PROGRAM_COMM1);
    EXPECT_TRUE(contains(out, "Current CFG: Avionics-Panel.cfg\n")) << out;
    EXPECT_TRUE(contains(out, "IDLE-Time redefined: 20ms\n")) << out;
    EXPECT_TRUE(contains(out, "Remote Port redefined: 4464\n")) << out;  // low 16 bits of 70000
    EXPECT_TRUE(contains(out, "Local Port redefined: 5000\n")) << out;
    EXPECT_EQ(g_bridge.idle_ms, 20);
    EXPECT_EQ(g_bridge.vran_port, 4464);
    EXPECT_EQ(g_bridge.recv_port, 5000);
    EXPECT_EQ(g_bridge.testmode, 2);
    EXPECT_EQ(g_bridge.interface_index, 7);
}

TEST_F(ConfigTest, ReceivePortAbove65535KeepsItsLow16Bits) {
    dir_.write("Avionics-Panel.cfg", "[COM2]\nRECV_PORT=70000\n");
    std::string out = load_for(PROGRAM_COMM2);
    EXPECT_TRUE(contains(out, "Local Port redefined: 4464\n")) << out;
    EXPECT_EQ(g_bridge.recv_port, 4464);
}

TEST_F(ConfigTest, EachProgramReadsOnlyItsOwnSection) {
    dir_.write("Avionics-Panel.cfg",
               "[COM1]\nVRAN_PORT=100\n[COM2]\nVRAN_PORT=200\n[NAVCOM1]\nVRAN_PORT=300\n[NAVCOM2]\nVRAN_PORT=400\n"
               "[ADF]\nVRAN_PORT=500\n[NAV1]\nVRAN_PORT=600\n[NAV2]\nVRAN_PORT=700\n[XPDR]\nVRAN_PORT=800\n"
               "[HUB1]\nVRAN_PORT=900\n");
    const std::pair<ProgramId, uint16_t> expected[] = {
        {PROGRAM_COMM1, 100}, {PROGRAM_COMM2, 200}, {PROGRAM_NAVCOM1, 300}, {PROGRAM_NAVCOM2, 400},
        {PROGRAM_ADF, 500},   {PROGRAM_NAV1, 600},  {PROGRAM_NAV2, 700},    {PROGRAM_XPDR, 800},
        {PROGRAM_HUB1, 900}};
    for (const auto& e : expected) {
        load_for(e.first);
        EXPECT_EQ(g_bridge.vran_port, e.second) << program_profile(e.first)->name;
        EXPECT_EQ(g_bridge.recv_port, program_profile(e.first)->default_port) << program_profile(e.first)->name;
    }
}

TEST_F(ConfigTest, HubTakesItsIdleTimeFromTheNav1Section) {
    dir_.write("Avionics-Panel.cfg", "[HUB1]\nIDLE_MS=5\n[NAV1]\nIDLE_MS=30\n");
    load_for(PROGRAM_HUB1);
    EXPECT_EQ(g_bridge.idle_ms, 30);
    load_for(PROGRAM_NAV1);
    EXPECT_EQ(g_bridge.idle_ms, 30);
    dir_.write("Avionics-Panel.cfg", "[HUB1]\nIDLE_MS=5\n");
    load_for(PROGRAM_HUB1);
    EXPECT_EQ(g_bridge.idle_ms, 50);
}

TEST_F(ConfigTest, EmptyValueCountsAsAbsent) {
    dir_.write("Avionics-Panel.cfg", "[COM1]\nIDLE_MS=\nVRAN_PORT=  \n");
    std::string out = load_for(PROGRAM_COMM1);
    EXPECT_FALSE(contains(out, "redefined")) << out;
    EXPECT_EQ(g_bridge.idle_ms, 50);
    EXPECT_EQ(g_bridge.vran_port, 4770);
}

TEST_F(ConfigTest, NumbersConvertLikeTheCLibrary) {
    dir_.write("Avionics-Panel.cfg", "[COM1]\nIDLE_MS=abc\nRECV_PORT=12x\nPERIOD_VISUAL_OR_SIM=1\n");
    std::string out = load_for(PROGRAM_COMM1);
    EXPECT_EQ(g_bridge.idle_ms, 0);  // not a number: 0 ms per pass
    EXPECT_TRUE(contains(out, "IDLE-Time redefined: 0ms\n")) << out;
    EXPECT_EQ(g_bridge.recv_port, 12);
    EXPECT_EQ(g_bridge.period_visual_or_sim, 1);
}

TEST_F(ConfigTest, NegativeIdleTimeFallsBackToTheDefault) {
    dir_.write("Avionics-Panel.cfg", "[COM1]\nIDLE_MS=-5\n");
    std::string out = load_for(PROGRAM_COMM1);
    EXPECT_EQ(g_bridge.idle_ms, 50);
    EXPECT_FALSE(contains(out, "IDLE-Time redefined")) << out;
    EXPECT_TRUE(contains(out, "-5")) << out;
}

TEST_F(ConfigTest, TransponderCodeIsReadInBase16) {
    dir_.write("Avionics-Panel.cfg", "[XPDR]\nXPDR_CODE=7000\nFL_MODE=300\n[HUB1]\nXPDR_CODE=0421x\nFL_MODE=300\n");
    load_for(PROGRAM_XPDR);
    EXPECT_EQ(g_bridge.xpdr_code, 0x7000u);
    EXPECT_EQ(g_bridge.fl_mode, 300);
    load_for(PROGRAM_HUB1);
    EXPECT_EQ(g_bridge.xpdr_code, 0x0421u);
    EXPECT_EQ(g_bridge.fl_mode, 300 & 0xFF);  // one byte on the multi-function panel
    load_for(PROGRAM_COMM1);
    EXPECT_EQ(g_bridge.xpdr_code, 0x1200u);   // not a COM key
}

TEST_F(ConfigTest, StartDisplayKeepsLowByteAndLimitsThePage) {
    const std::pair<const char*, int> cases[] = {{"0", 0}, {"5", 5}, {"7", 1}, {"-1", 1}, {"261", 5}, {"256", 0}};
    for (const auto& c : cases) {
        dir_.write("Avionics-Panel.cfg", std::string("[HUB1]\nSTART_DISPLAY=") + c.first + "\n");
        load_for(PROGRAM_HUB1);
        EXPECT_EQ(g_bridge.start_display, c.second) << c.first;
    }
}

TEST_F(ConfigTest, PanelKeysBelongToTheirPrograms) {
    dir_.write("Avionics-Panel.cfg", "[ADF]\nSTANDBY=1\nADF_STBY=0\n[HUB1]\nADF_STBY=0\nSTANDBY=1\n");
    load_for(PROGRAM_ADF);
    EXPECT_EQ(g_bridge.standby, 1);
    EXPECT_EQ(g_bridge.adf_stby, 1);
    load_for(PROGRAM_HUB1);
    EXPECT_EQ(g_bridge.adf_stby, 0);
    EXPECT_EQ(g_bridge.standby, 0);
}

TEST_F(ConfigTest, KeepFrameRateIsReadFromTheProgramsOwnSectionRightAfterThePeriodKey) {
    for (const Defaults& d : kDefaults) {
        const ProgramProfile* p = program_profile(d.id);
        SCOPED_TRACE(p->name);
        // HUB1-Relay takes its idle time from [NAV1] but this key from [HUB1].
        std::string own = std::string("[") + p->section + "]\nVRAN_PORT=5000\nKEEP_FRAME_RATE=2\nPERIOD_VISUAL_OR_SIM=1\n";
        if (d.id == PROGRAM_HUB1) {
            dir_.write("Avionics-Panel.cfg", own + "[NAV1]\nIDLE_MS=20\n");
        } else {
            dir_.write("Avionics-Panel.cfg", own + "IDLE_MS=20\n");
        }
        std::string out = load_for(d.id);
        EXPECT_TRUE(contains(out, "IDLE-Time redefined: 20ms\nKeep Frame Rate redefined: 2\nRemote Port redefined: 5000\n"))
            << out;
        EXPECT_EQ(g_bridge.keep_frame_rate, 2);
    }
    dir_.write("Avionics-Panel.cfg", "[NAV1]\nKEEP_FRAME_RATE=1\n");
    std::string out = load_for(PROGRAM_HUB1);
    EXPECT_EQ(g_bridge.keep_frame_rate, 0);
    EXPECT_FALSE(contains(out, "Keep Frame Rate")) << out;
}

TEST_F(ConfigTest, OptInKeysAtZeroReadAndPrintExactlyAsAbsentOnes) {
    for (const Defaults& d : kDefaults) {
        const ProgramProfile* p = program_profile(d.id);
        SCOPED_TRACE(p->name);
        std::string keys = std::string("[") + p->section + "]\nIDLE_MS=30\nRECV_PORT=5001\n[NET]\nINTERFACE_INDEX=3\n";
        dir_.write("Avionics-Panel.cfg", keys);
        std::string without = load_for(d.id);
        dir_.write("Avionics-Panel.cfg", keys + "STAY_RUNNING=0\n[" + p->section + "]\nKEEP_FRAME_RATE=0\n");
        std::string with_zero = load_for(d.id);
        EXPECT_EQ(with_zero, without);
        EXPECT_EQ(g_bridge.keep_frame_rate, 0);
        EXPECT_EQ(g_bridge.stay_running, 0);
        dir_.write("Avionics-Panel.cfg", keys + "STAY_RUNNING=\n[" + p->section + "]\nKEEP_FRAME_RATE=abc\n");
        EXPECT_EQ(load_for(d.id), without);
    }
}

TEST_F(ConfigTest, AccelerationIsReadWithKeepFrameRateAndHeldToItsRange) {
    for (const Defaults& d : kDefaults) {
        SCOPED_TRACE(program_profile(d.id)->name);
        std::string section = std::string("[") + program_profile(d.id)->section + "]\n";
        std::string own = section + "KEEP_FRAME_RATE=1\n";
        dir_.write("Avionics-Panel.cfg", own);
        std::string without = load_for(d.id);
        bool knobs = d.id != PROGRAM_XPDR;  // the transponder's knob never accelerates
        // The value, what is taken, the line printed ("": read as if absent).
        const struct { const char* value; int32_t taken; const char* line; } kCases[] = {
            {"5", 5, "Acceleration redefined: 5\n"}, {"25", 10, "Acceleration 25 is above 10, 10 is used\n"},
            {"-3", 0, "Acceleration -3 is negative, acceleration is off\n"}, {"0", 0, ""}, {"1", 0, ""}};
        for (const auto& c : kCases) {
            dir_.write("Avionics-Panel.cfg", own + "ACCELERATION=" + c.value + "\n");
            EXPECT_EQ(load_for(d.id), knobs ? without + c.line : without) << c.value;
            EXPECT_EQ(g_bridge.acceleration, knobs ? c.taken : 0) << c.value;
        }
        dir_.write("Avionics-Panel.cfg", section + "ACCELERATION=7\n");
        std::string out = load_for(d.id);
        EXPECT_EQ(contains(out, "Acceleration redefined: 7\nAcceleration needs KEEP_FRAME_RATE and is off\n"), knobs);
        EXPECT_EQ(g_bridge.acceleration, 0);
    }
}

TEST_F(ConfigTest, FileInApplicationDataFolderIsNamedInFull) {
    char folder[1024];
    ASSERT_TRUE(platform::app_data_folder(folder, sizeof folder));
    ASSERT_NE(folder[0], '\0');
    std::filesystem::path dir = std::filesystem::path(folder) / "Tarnel" / "SimConnect";
    std::error_code ec;
    bool made = std::filesystem::create_directories(dir, ec);
    std::filesystem::path file = dir / "Avionics-Panel.cfg";
    write_file(file.string(), "[COM2]\nIDLE_MS=40\n");

    std::string out = load_for(PROGRAM_COMM2);
    const char sep = platform::kPathSeparator;
    std::string expected = std::string(folder) + sep + "Tarnel" + sep + "SimConnect" + sep + "Avionics-Panel.cfg";
    EXPECT_TRUE(contains(out, "Current CFG: " + expected + "\n")) << out;
    EXPECT_EQ(g_bridge.idle_ms, 40);

    std::filesystem::remove(file, ec);
    if (made) std::filesystem::remove_all(std::filesystem::path(folder) / "Tarnel", ec);
}

}  // namespace
