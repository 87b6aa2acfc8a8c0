// Discovery, the update cycle and the identity check, with the panel played
// by a UDP socket on a loopback address. The interface table handed to the
// program holds only loopback rows, so nothing leaves the machine.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "core/bridge_state.h"
#include "core/find_panel.h"
#include "core/panel_messages.h"
#include "core/program_entry.h"
#include "core/session_loop.h"
#include "core/session_setup.h"
#include "core/tests/fake_simconnect.h"
#include "core/tests/test_support.h"
#include "core/update_cycle.h"
#include "platform/env.h"

namespace {

using platform::SocketAddressV4;

// 127.0.0.2 as the "adapter": its own broadcast under a host mask.
const uint32_t kAdapterH = 0x7F000002u;
std::vector<platform::InterfaceRow> g_rows;

platform::InterfaceTableResult loopback_table(platform::InterfaceTable* table, uint32_t*) {
    table->count = static_cast<uint32_t>(g_rows.size());
    table->rows = g_rows.data();
    table->native = nullptr;
    return platform::TABLE_OK;
}

platform::InterfaceRow row(uint32_t address_h, uint32_t index, uint32_t mask_h) {
    return {platform::host_to_net32(address_h), index, platform::host_to_net32(mask_h)};
}

SocketAddressV4 address(uint32_t address_h, uint16_t port) {
    SocketAddressV4 a{};
    a.family = platform::kFamilyInet;
    a.port = platform::host_to_net16(port);
    a.address = platform::host_to_net32(address_h);
    return a;
}

uint16_t free_port() {
    platform::net_startup();
    platform::UdpSocket s = platform::udp_open();
    SocketAddressV4 a = address(kAdapterH, 0);
    platform::udp_bind(s, &a);
    uint16_t port = platform::udp_local_port(s);
    platform::udp_close(s);
    return port;
}

// The panel's end of the link.
struct FakePanel {
    platform::UdpSocket socket = platform::kInvalidSocket;
    uint16_t port = 0;
    SocketAddressV4 program{};

    FakePanel() {
        platform::net_startup();  // the fixture makes the panel before SetUp runs
        socket = platform::udp_open();
        SocketAddressV4 a = address(kAdapterH, 0);
        platform::udp_bind(socket, &a);
        port = platform::udp_local_port(socket);
    }
    ~FakePanel() { platform::udp_close(socket); }

    // Next datagram, or "<none>" after a generous wait.
    std::string receive(int timeout_ms = 3000) {
        if (!platform::udp_wait_readable(socket, timeout_ms)) return "<none>";
        char buf[300];
        int32_t len = sizeof(SocketAddressV4);
        int n = platform::udp_receive_from(socket, buf, sizeof buf, &program, &len);
        return n < 0 ? "<error>" : std::string(buf, static_cast<size_t>(n));
    }
    // Every datagram waiting now.
    std::vector<std::string> receive_all() {
        std::vector<std::string> out;
        while (platform::udp_wait_readable(socket, 50)) out.push_back(receive());
        return out;
    }
    void send(const std::string& text) {
        SocketAddressV4 to = address(kAdapterH, g_bridge.recv_port);
        platform::udp_send_to(socket, text.data(), text.size(), &to, sizeof to);
    }
};

std::vector<std::string> g_inputs;
int g_initial_frames = 0;
int g_displays = 0;

const PanelHooks kRecordingHooks = {
    [](const uint8_t*) { ++g_initial_frames; },
    nullptr,
    [](const char* text, const uint8_t*) { g_inputs.push_back(text); },
    [](const uint8_t*) { ++g_displays; },
    nullptr,
};

std::vector<uint8_t> frame(uint32_t request_id, uint32_t block_size = 320) {
    std::vector<uint8_t> block(block_size, 0);
    std::memcpy(block.data(), "Cessna 172", 11);
    return fake_sim::data_frame(request_id, block);
}

void deliver(std::vector<uint8_t> message) {
    on_sim_message(reinterpret_cast<SIMCONNECT_RECV*>(message.data()), static_cast<uint32_t>(message.size()), nullptr);
}

// The panel's address as the program saw it, dotted.
std::string source_address() {
    char dotted[16];
    platform::format_ipv4(g_bridge.panel_address.address, dotted, sizeof dotted);
    return dotted;
}

// Waits until the program's socket has something (loopback delivery is
// immediate on Linux, nearly so under Wine).
void await_datagram() {
    if (g_bridge.udp_socket != platform::kInvalidSocket) platform::udp_wait_readable(g_bridge.udp_socket, 3000);
}

class PanelLinkTest : public testing::Test {
protected:
    void SetUp() override {
        fake_sim::reset();
        g_inputs.clear();
        g_initial_frames = 0;
        g_displays = 0;
        g_rows = {row(0x7F000001u, 1, 0xFF000000u), row(kAdapterH, 9, 0xFFFFFFFFu)};
        set_interface_table_reader(loopback_table);
    }
    void TearDown() override {
        platform::udp_close(g_bridge.udp_socket);
        g_bridge.udp_socket = platform::kInvalidSocket;
        set_interface_table_reader(nullptr);
    }

    // Aims the program's ports at the fake panel.
    void configure(ProgramId id, const std::string& extra = "") {
        bridge_reset(program_profile(id), &kRecordingHooks);
        std::string section = program_profile(id)->section;
        dir_.write("Avionics-Panel.cfg", "[" + section + "]\nVRAN_PORT=" + std::to_string(panel_.port - 1) +
                                             "\nRECV_PORT=" + std::to_string(free_port()) + "\n" + extra);
    }
    // Starts the program's link: the first search.
    std::string start(ProgramId id, const std::string& extra = "") {
        configure(id, extra);
        testing::internal::CaptureStdout();
        find_panel();
        return testing::internal::GetCapturedStdout();
    }
    std::string search() {
        await_datagram();
        testing::internal::CaptureStdout();
        find_panel();
        return testing::internal::GetCapturedStdout();
    }
    void connect(ProgramId id, const char* identity, const std::string& extra = "") {
        start(id, extra);
        ASSERT_EQ(panel_.receive(), "ID");
        panel_.send(identity);
        search();
        ASSERT_TRUE(g_bridge.panel_connected);
        panel_.receive_all();  // the second "ID"
    }

    TempWorkDir dir_;
    FakePanel panel_;
};

TEST_F(PanelLinkTest, PanelIsFoundOnTheSecondSearch) {
    std::string out = start(PROGRAM_COMM1);
    EXPECT_NE(out.find("\nIP Address 127.0.0.2 is used\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Bind to Receive Port: \t" + std::to_string(g_bridge.recv_port) + "\n"), std::string::npos);
    EXPECT_EQ(panel_.receive(), "ID");  // two bytes, to VRAN_PORT + 1
    EXPECT_FALSE(g_bridge.panel_connected);

    panel_.send("VRAN-COM1_2.0");
    out = search();
    EXPECT_EQ(out, "COM1 Dual Encoder connected from " + source_address() + "\n");
    EXPECT_TRUE(g_bridge.panel_connected);
    EXPECT_EQ(g_bridge.encoder_version, 2);
    // Output now goes to where the reply came from.
    EXPECT_EQ(g_bridge.panel_address.port, platform::host_to_net16(panel_.port));
#ifndef _WIN32
    EXPECT_EQ(source_address(), "127.0.0.2");  // Wine reports loopback senders as 127.0.0.1
#endif
}

TEST_F(PanelLinkTest, EachProgramKnowsOnlyItsOwnIdentities) {
    start(PROGRAM_COMM2);
    panel_.receive();
    panel_.send("VRAN-COM1_1.0");
    EXPECT_EQ(search(), "false Panel detected VRAN-COM1_1.0\n");
    EXPECT_FALSE(g_bridge.panel_connected);
    panel_.send("VRAN-COM2_1.0\n");  // a line end spoils the match
    EXPECT_EQ(search(), "false Panel detected VRAN-COM2_1.0\n\n");
    panel_.send("VRAN-COM2_1.0");
    EXPECT_EQ(search(), "COM2 Panel connected from " + source_address() + "\n");
    EXPECT_EQ(g_bridge.encoder_version, 1);
}

// Keys a panel sent while it was thought offline wait before its reply.
TEST_F(PanelLinkTest, SearchReadsPastWaitingTextsToTheIdentityAndLeavesWhatFollows) {
    start(PROGRAM_COMM1);
    panel_.receive();
    panel_.send("R+");
    panel_.send(std::string(256, 'M'));  // too long: dropped, the search goes on
    panel_.send("S");
    panel_.send("VRAN-COM1_1.0");
    panel_.send("T");
    std::string out = search();
    EXPECT_EQ(out, "false Panel detected R+\nfalse Panel detected S\nPanel connected from " + source_address() + "\n");
    deliver(frame(REQUEST_PANEL_DATA));
    EXPECT_EQ(g_inputs, (std::vector<std::string>{"T"}));

    // A flood ends one search after 64 datagrams; the next reads on.
    g_bridge.panel_connected = 0;
    for (int i = 0; i < 64; ++i) panel_.send("K");
    panel_.send("VRAN-COM1_1.0");
    search();
    EXPECT_FALSE(g_bridge.panel_connected);
    search();
    EXPECT_TRUE(g_bridge.panel_connected);
}

TEST_F(PanelLinkTest, ThreeRowsWithoutIndexListTheInterfaces) {
    g_rows.push_back(row(0x7F000003u, 12, 0xFFFFFFFFu));
    std::string out = start(PROGRAM_NAV1);
    EXPECT_NE(out.find("\nNo or false interface index found in configuration file!\n"
                       "\n3 interfaces found:\n"
                       "Interface Index   1 has IP Address 127.0.0.1\n"
                       "Interface Index   9 has IP Address 127.0.0.2\n"
                       "Interface Index  12 has IP Address 127.0.0.3\n"),
              std::string::npos)
        << out;
    EXPECT_EQ(g_bridge.udp_socket, platform::kInvalidSocket);
    EXPECT_EQ(panel_.receive(300), "<none>");
    search();  // never searches again
    EXPECT_EQ(panel_.receive(300), "<none>");
}

TEST_F(PanelLinkTest, ConfiguredIndexChoosesTheRowButNeverTheLoopback) {
    g_rows.push_back(row(0x7F000003u, 12, 0xFFFFFFFFu));
    std::string out = start(PROGRAM_COMM1, "[NET]\nINTERFACE_INDEX=1\n");
    EXPECT_NE(out.find("\nYou have to define an interface index in the configuration file!\n"), std::string::npos);
    TearDown();
    SetUp();
    g_rows.push_back(row(0x7F000003u, 12, 0xFFFFFFFFu));
    out = start(PROGRAM_COMM1, "[NET]\nINTERFACE_INDEX=9\n");
    EXPECT_NE(out.find("\nIP Address 127.0.0.2 is used\n"), std::string::npos) << out;
    EXPECT_EQ(panel_.receive(), "ID");
}

TEST_F(PanelLinkTest, FrameDrainsInputAndKeepsIdentitiesFromThePanelLogic) {
    connect(PROGRAM_COMM1, "VRAN-COM1_1.0");
    g_bridge.identity_pending = 1;
    panel_.send("R+");
    panel_.send("VRAN-COM1_1.0");
    panel_.send("S");
    await_datagram();
    deliver(frame(REQUEST_PANEL_DATA));
    EXPECT_EQ(g_inputs, (std::vector<std::string>{"R+", "S"}));
    EXPECT_EQ(g_bridge.identity_pending, 0);
    EXPECT_EQ(g_displays, 1);
}

TEST_F(PanelLinkTest, FramesThatMustNotRunACycle) {
    connect(PROGRAM_COMM1, "VRAN-COM1_1.0");
    panel_.send("R+");
    await_datagram();
    deliver(frame(REQUEST_INITIAL));
    EXPECT_EQ(g_initial_frames, 1);
    std::vector<uint8_t> unbounded_initial = frame(REQUEST_INITIAL);
    std::memset(unbounded_initial.data() + 40, 'A', 256);
    deliver(unbounded_initial);
    EXPECT_EQ(g_initial_frames, 1);
    std::vector<uint8_t> short_frame = frame(REQUEST_PANEL_DATA);
    short_frame.resize(short_frame.size() - 1);
    deliver(short_frame);
    std::vector<uint8_t> unbounded = frame(REQUEST_PANEL_DATA);
    std::memset(unbounded.data() + 40, 'A', 256);
    deliver(unbounded);
    deliver(frame(7));
    std::vector<uint8_t> tiny{1, 2, 3};
    deliver(tiny);
    EXPECT_EQ(g_displays, 0);
    EXPECT_TRUE(g_inputs.empty());
    g_bridge.panel_connected = 0;
    deliver(frame(REQUEST_PANEL_DATA));
    EXPECT_EQ(g_displays, 0);
    deliver(fake_sim::quit_message());
    EXPECT_EQ(g_bridge.quit_requested, 1);
}

TEST_F(PanelLinkTest, TitleOf255CharactersAndItsTerminatorRunsTheCycle) {
    connect(PROGRAM_COMM1, "VRAN-COM1_1.0");
    std::vector<uint8_t> longest = frame(REQUEST_PANEL_DATA);
    std::memset(longest.data() + SIM_SIMOBJECT_DATA_OFFSET, 'A', 255);
    longest[SIM_SIMOBJECT_DATA_OFFSET + 255] = 0;
    deliver(longest);
    EXPECT_EQ(g_displays, 1);
}

TEST_F(PanelLinkTest, ReceivePortAbove65535BindsItsLow16Bits) {
    uint16_t port = free_port();
    bridge_reset(program_profile(PROGRAM_COMM1), &kRecordingHooks);
    dir_.write("Avionics-Panel.cfg", "[COM1]\nVRAN_PORT=" + std::to_string(panel_.port - 1) +
                                         "\nRECV_PORT=" + std::to_string(port + 65536) + "\n");
    testing::internal::CaptureStdout();
    find_panel();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("Local Port redefined: " + std::to_string(port) + "\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Bind to Receive Port: \t" + std::to_string(port) + "\n"), std::string::npos) << out;
    EXPECT_EQ(platform::udp_local_port(g_bridge.udp_socket), port);
}

// A host on the LAN must not be able to drive the user's terminal through
// what the program echoes.
TEST_F(PanelLinkTest, ReceivedTextIsPrintedWithControlBytesEscaped) {
    start(PROGRAM_COMM1, "TESTMODE=1\n");
    panel_.receive();
    panel_.send("VRAN\x1b[2J\r\x7f\xff");
    EXPECT_EQ(search(), "Send ID request\nfalse Panel detected VRAN\\x1b[2J\\x0d\\x7f\\xff\n");
    panel_.send("VRAN-COM1_1.0");
    search();
    ASSERT_TRUE(g_bridge.panel_connected);
    panel_.receive_all();
    panel_.send("R+");
    panel_.send("S\x1b]0;title\x07\tX\n");
    await_datagram();
    testing::internal::CaptureStdout();
    deliver(frame(REQUEST_PANEL_DATA));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "R+\nS\\x1b]0;title\\x07\tX\n\n");
    EXPECT_EQ(g_inputs, (std::vector<std::string>{"R+", "S\x1b]0;title\x07\tX\n"}));  // the panel logic gets the bytes
}

TEST_F(PanelLinkTest, DrainTakesAtMost64DatagramsPerFrame) {
    connect(PROGRAM_COMM1, "VRAN-COM1_1.0");
    for (int i = 0; i < 100; ++i) panel_.send("R" + std::to_string(i));
    await_datagram();
    deliver(frame(REQUEST_PANEL_DATA));
    ASSERT_EQ(g_inputs.size(), 64u);
    EXPECT_EQ(g_inputs.front(), "R0");
    deliver(frame(REQUEST_PANEL_DATA));
    ASSERT_EQ(g_inputs.size(), 100u);
    EXPECT_EQ(g_inputs.back(), "R99");
}

TEST_F(PanelLinkTest, OversizedDatagramIsDroppedAndTheRestStillCount) {
    connect(PROGRAM_COMM1, "VRAN-COM1_1.0");
    panel_.send(std::string(256, 'M'));
    panel_.send(std::string(255, 'S'));
    panel_.send("T");
    await_datagram();
    deliver(frame(REQUEST_PANEL_DATA));
    EXPECT_EQ(g_inputs, (std::vector<std::string>{std::string(255, 'S'), "T"}));
}

TEST_F(PanelLinkTest, SilentPanelGoesOfflineOnTheSecondCheck) {
    connect(PROGRAM_COMM1, "VRAN-COM1_1.0");
    for (int i = 0; i < 20; ++i) deliver(frame(REQUEST_PANEL_DATA));
    EXPECT_EQ(g_bridge.frame_counter, 20);
    deliver(frame(REQUEST_PANEL_DATA));  // the 21st frame checks
    EXPECT_EQ(panel_.receive(), "ID_Request");
    EXPECT_EQ(g_bridge.identity_pending, 1);
    EXPECT_EQ(g_bridge.frame_counter, 0);

    for (int i = 0; i < 20; ++i) deliver(frame(REQUEST_PANEL_DATA));
    panel_.send("late key");
    await_datagram();
    testing::internal::CaptureStdout();
    deliver(frame(REQUEST_PANEL_DATA));
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_EQ(out, "COM1 Panel offline\n");
    EXPECT_FALSE(g_bridge.panel_connected);
    std::vector<FakeCall> stops = fake_sim::calls_named("RequestDataOnSimObject");
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(stops[0].args[0], REQUEST_PANEL_DATA);
    EXPECT_EQ(stops[0].args[3], SIMCONNECT_PERIOD_NEVER);
    // The counter stays at the limit: the first frame after rediscovery checks.
    EXPECT_EQ(g_bridge.frame_counter, 20);
    EXPECT_EQ(g_inputs, (std::vector<std::string>{"late key"}));
}

TEST_F(PanelLinkTest, KeptFrameRateGoesOfflineOnlyAfterThreeUnansweredChecksInARow) {
    connect(PROGRAM_COMM1, "VRAN-COM1_1.0");
    g_bridge.keep_frame_rate = 1;
    auto check_period = [this] {
        for (int i = 0; i < 21; ++i) deliver(frame(REQUEST_PANEL_DATA));
        return panel_.receive();
    };
    EXPECT_EQ(check_period(), "ID_Request");
    EXPECT_EQ(check_period(), "ID_Request");  // unanswered: asked again
    panel_.send("VRAN-COM1_1.0");             // an answer starts the count afresh
    await_datagram();
    for (int i = 0; i < 3; ++i) EXPECT_EQ(check_period(), "ID_Request") << i;
    EXPECT_TRUE(g_bridge.panel_connected);
    testing::internal::CaptureStdout();
    for (int i = 0; i < 21; ++i) deliver(frame(REQUEST_PANEL_DATA));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "COM1 Panel offline\n");
    EXPECT_FALSE(g_bridge.panel_connected);
}

TEST_F(PanelLinkTest, AnsweringPanelStaysConnected) {
    connect(PROGRAM_COMM2, "VRAN-COM2_2.0");
    for (int check = 0; check < 3; ++check) {
        for (int i = 0; i < 51; ++i) deliver(frame(REQUEST_PANEL_DATA));
        ASSERT_EQ(panel_.receive(), "ID_Request");
        panel_.send("VRAN-COM2_2.0");
        await_datagram();
    }
    for (int i = 0; i < 51; ++i) deliver(frame(REQUEST_PANEL_DATA));
    EXPECT_TRUE(g_bridge.panel_connected);
}

TEST_F(PanelLinkTest, LinesAreSentWholeWithoutTerminator) {
    connect(PROGRAM_COMM1, "VRAN-COM1_1.0");
    send_line("B>ON");
    send_line("F>%7.3f  %7.3f", 118.0, 121.5);
    send_line("%s", std::string(40, 'x').c_str());
    EXPECT_EQ(panel_.receive(), "B>ON");
    EXPECT_EQ(panel_.receive(), "F>118.000  121.500");
    EXPECT_EQ(panel_.receive(), std::string(23, 'x'));
    EXPECT_EQ(std::string(kBlankHeader).size(), 18u);
}

// The session loop's tenth-pass step around a real search: no panel, then
// the panel found (frame delivery starts), then one frame per tenth pass.
void run_session_with_panel(FakePanel& panel) {
    static FakePanel* s_panel;
    s_panel = &panel;
    set_sleep_function([](uint32_t) {});
    fake_sim::script_open({SIM_S_OK});
    fake_sim::on_dispatch([](int n) {
        if (n == 10) {
            if (s_panel->receive() == "ID") s_panel->send(program_profile(PROGRAM_COMM1)->identity[0]);
            await_datagram();
        }
        if (n == 30) fake_sim::queue_message(fake_sim::quit_message());
    });
    testing::internal::CaptureStdout();
    run_session();
    testing::internal::GetCapturedStdout();
    set_sleep_function(nullptr);
}

std::vector<std::pair<uint32_t, uint32_t>> requests_made() {
    std::vector<std::pair<uint32_t, uint32_t>> out;
    for (const FakeCall& c : fake_sim::calls_named("RequestDataOnSimObject")) out.push_back({c.args[0], c.args[3]});
    return out;
}

TEST_F(PanelLinkTest, FoundPanelStartsFramesAtTheVisualRate) {
    configure(PROGRAM_COMM1);
    run_session_with_panel(panel_);
    std::vector<std::pair<uint32_t, uint32_t>> expected = {
        {REQUEST_PANEL_DATA, SIMCONNECT_PERIOD_NEVER},
        {REQUEST_INITIAL, SIMCONNECT_PERIOD_ONCE},
        {REQUEST_PANEL_DATA, SIMCONNECT_PERIOD_VISUAL_FRAME},
        {REQUEST_PANEL_DATA, SIMCONNECT_PERIOD_ONCE}};
    EXPECT_EQ(requests_made(), expected);
    // The session's end closed the panel socket.
    EXPECT_EQ(g_bridge.udp_socket, platform::kInvalidSocket);
}

TEST_F(PanelLinkTest, FoundPanelStartsFramesAtTheSimulationRateWhenConfigured) {
    configure(PROGRAM_COMM1, "PERIOD_VISUAL_OR_SIM=1\n");
    run_session_with_panel(panel_);
    std::vector<std::pair<uint32_t, uint32_t>> requests = requests_made();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[2], std::make_pair(REQUEST_PANEL_DATA, uint32_t{SIMCONNECT_PERIOD_SIM_FRAME}));
}

// A whole panel cycle under the tenth-pass step: found on the second search
// (pass 20), connected through passes 30 and 40, offline after the frames of
// dispatch 45 (`silent_periods` check periods without an answer), searched in
// vain at pass 50, found again at pass 60, connected at pass 70, quit.
void run_session_through_offline(FakePanel& panel, int silent_periods = 2) {
    static FakePanel* s_panel;
    static int s_silent_frames;
    s_panel = &panel;
    s_silent_frames = silent_periods * 21;
    set_sleep_function([](uint32_t) {});
    fake_sim::script_open({SIM_S_OK});
    fake_sim::on_dispatch([](int n) {
        if (n == 10 || n == 50) {
            s_panel->receive_all();
            s_panel->send(program_profile(PROGRAM_COMM1)->identity[0]);
            await_datagram();
        }
        if (n == 45) {
            for (int i = 0; i < s_silent_frames; ++i) fake_sim::queue_message(frame(REQUEST_PANEL_DATA));
        }
        if (n == 75) fake_sim::queue_message(fake_sim::quit_message());
    });
    testing::internal::CaptureStdout();
    run_session();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_NE(out.find("COM1 Panel offline\n"), std::string::npos) << out;
    set_sleep_function(nullptr);
}

TEST_F(PanelLinkTest, ConnectedPanelGetsOneFramePerTenthPassByDefault) {
    configure(PROGRAM_COMM1, "KEEP_FRAME_RATE=0\n");
    run_session_through_offline(panel_);
    const uint32_t data = REQUEST_PANEL_DATA;
    std::vector<std::pair<uint32_t, uint32_t>> expected = {
        {data, SIMCONNECT_PERIOD_NEVER},                                                      // pass 10
        {REQUEST_INITIAL, SIMCONNECT_PERIOD_ONCE}, {data, SIMCONNECT_PERIOD_VISUAL_FRAME},   // pass 20: found
        {data, SIMCONNECT_PERIOD_ONCE}, {data, SIMCONNECT_PERIOD_ONCE},                       // passes 30, 40
        {data, SIMCONNECT_PERIOD_NEVER},                                                      // offline
        {data, SIMCONNECT_PERIOD_NEVER},                                                      // pass 50
        {REQUEST_INITIAL, SIMCONNECT_PERIOD_ONCE}, {data, SIMCONNECT_PERIOD_VISUAL_FRAME},   // pass 60: found
        {data, SIMCONNECT_PERIOD_ONCE}};                                                      // pass 70
    EXPECT_EQ(requests_made(), expected);
}

TEST_F(PanelLinkTest, KeptFrameRateStaysWhileConnectedAndRestartsWhenFoundAgain) {
    configure(PROGRAM_COMM1, "KEEP_FRAME_RATE=1\nPERIOD_VISUAL_OR_SIM=1\n");
    run_session_through_offline(panel_, 4);  // three requests unanswered, then the fourth check
    const uint32_t data = REQUEST_PANEL_DATA;
    std::vector<std::pair<uint32_t, uint32_t>> expected = {
        {data, SIMCONNECT_PERIOD_NEVER},
        {REQUEST_INITIAL, SIMCONNECT_PERIOD_ONCE}, {data, SIMCONNECT_PERIOD_SIM_FRAME},
        {data, SIMCONNECT_PERIOD_NEVER},
        {data, SIMCONNECT_PERIOD_NEVER},
        {REQUEST_INITIAL, SIMCONNECT_PERIOD_ONCE}, {data, SIMCONNECT_PERIOD_SIM_FRAME}};
    EXPECT_EQ(requests_made(), expected);
}

// KEEP_FRAME_RATE with an idle time of 10 s and no frame after the first:
// input is handled when it arrives, not at a next frame.
void run_session_on_one_frame(std::function<void(int)> each) {
    static std::function<void(int)> s_each;
    s_each = std::move(each);
    fake_sim::script_open({SIM_S_OK});
    fake_sim::on_dispatch([](int n) {
        s_each(n);
        if (n == 1) fake_sim::queue_message(frame(REQUEST_PANEL_DATA));
    });
    testing::internal::CaptureStdout();
    run_session();
    testing::internal::GetCapturedStdout();
}

int g_page = 0;
const PanelHooks kPageHooks = {
    nullptr,
    nullptr,
    [](const char* text, const uint8_t* block) {
        g_inputs.push_back(std::string(text) + " on " + reinterpret_cast<const char*>(block));
        if (text[0] == 'M') ++g_page;
        transmit_event(7, 0);
    },
    [](const uint8_t* block) {
        send_line("B>ON");
        send_line("H>PAGE %d", g_page);
        send_line("F>%s", reinterpret_cast<const char*>(block));
    },
    nullptr,
};

TEST_F(PanelLinkTest, KeptFrameRateHandlesAKeyBetweenFramesAndSendsOnlyTheLinesItChanged) {
    connect(PROGRAM_COMM1, "VRAN-COM1_1.0", "KEEP_FRAME_RATE=1\nIDLE_MS=10000\n");
    g_panel_hooks = kPageHooks;
    g_page = 0;
    std::vector<std::string> lines;
    std::thread panel([&] {
        for (int i = 0; i < 3; ++i) lines.push_back(panel_.receive());
        panel_.send("M");
        lines.push_back(panel_.receive());
    });
    uint64_t start = platform::monotonic_ms();
    run_session_on_one_frame([](int n) {
        if (n == 2) fake_sim::queue_message(fake_sim::quit_message());
    });
    uint64_t took = platform::monotonic_ms() - start;
    panel.join();
    EXPECT_LT(took, 5000u);  // against an idle time of 10 s
    // Between the frame and the next pass: handled with the frame's values,
    // the event sent, and of the lines only the one the key changed.
    EXPECT_EQ(g_inputs, (std::vector<std::string>{"M on Cessna 172"}));
    EXPECT_EQ(fake_sim::calls_named("TransmitClientEvent").size(), 1u);
    EXPECT_EQ(lines, (std::vector<std::string>{"B>ON", "H>PAGE 0", "F>Cessna 172", "H>PAGE 1"}));
    EXPECT_EQ(panel_.receive(300), "<none>");
    EXPECT_EQ(fake_sim::calls_named("CallDispatch").size(), 2u);
}

// A flooding panel: each wake-up takes what one frame would take, and the
// loop dispatches (frames are handled) between wake-ups.
TEST_F(PanelLinkTest, KeptFrameRateTakesAtMost64DatagramsPerWakeUpAndDispatchesBetween) {
    connect(PROGRAM_COMM1, "VRAN-COM1_1.0", "KEEP_FRAME_RATE=1\nIDLE_MS=10000\n");
    static std::vector<size_t> s_taken;
    s_taken.clear();
    uint64_t start = platform::monotonic_ms();
    run_session_on_one_frame([this](int n) {
        if (n == 1) {
            for (int i = 0; i < 200; ++i) panel_.send("K" + std::to_string(i));
            await_datagram();
        }
        if (n == 2) fake_sim::queue_message(frame(REQUEST_PANEL_DATA));
        if (n > 1) s_taken.push_back(g_inputs.size());
        if (n == 3) fake_sim::queue_message(fake_sim::quit_message());
    });
    EXPECT_LT(platform::monotonic_ms() - start, 5000u);
    // Frame 1 takes 64, a wake-up 64; frame 2 takes 64, a wake-up the last 8.
    EXPECT_EQ(s_taken, (std::vector<size_t>{128, 200}));
    ASSERT_EQ(g_inputs.size(), 200u);
    EXPECT_EQ(g_inputs.back(), "K199");
}

// STAY_RUNNING over real sockets: each session reads the file again, binds
// a socket of its own (the last one closed) and finds the panel anew.
TEST_F(PanelLinkTest, StayRunningBindsANewSocketAndFindsThePanelAgain) {
    configure(PROGRAM_COMM1, "[NET]\nSTAY_RUNNING=1\n");
    const uint16_t second_port = free_port();
    std::vector<uint16_t> bound;
    bool first_port_free = false;
    fake_sim::script_open({SIM_S_OK, SIM_S_OK});
    fake_sim::on_dispatch([&](int n) {
        // Session 1: dispatches 1-25; session 2: 26-46.
        if (n == 10 || n == 35) {
            bound.push_back(platform::udp_local_port(g_bridge.udp_socket));
            panel_.receive_all();
            panel_.send(program_profile(PROGRAM_COMM1)->identity[0]);
            await_datagram();
        }
        if (n == 25) fake_sim::queue_message(fake_sim::quit_message());
        if (n == 26) {
            // The session's socket is gone: its port can be bound again.
            platform::UdpSocket probe = platform::udp_open();
            SocketAddressV4 a = address(kAdapterH, bound.at(0));
            first_port_free = platform::udp_bind(probe, &a) == 0;
            platform::udp_close(probe);
            // A changed file counts from the next session's first search on.
            dir_.write("Avionics-Panel.cfg", "[COM1]\nVRAN_PORT=" + std::to_string(panel_.port - 1) +
                                                 "\nRECV_PORT=" + std::to_string(second_port) + "\n");
        }
        if (n == 46) fake_sim::queue_message(fake_sim::quit_message());
    });
    set_sleep_function([](uint32_t) {});
    testing::internal::CaptureStdout();
    int rc = run_program(PROGRAM_COMM1, &kRecordingHooks);
    std::string out = testing::internal::GetCapturedStdout();
    set_sleep_function(nullptr);

    EXPECT_EQ(rc, 0);
    ASSERT_EQ(bound.size(), 2u);
    EXPECT_NE(bound[0], second_port);
    EXPECT_EQ(bound[1], second_port);
    EXPECT_TRUE(first_port_free);
    EXPECT_EQ(panel_.program.port, platform::host_to_net16(second_port));
    EXPECT_EQ(g_bridge.udp_socket, platform::kInvalidSocket);
    const uint32_t data = REQUEST_PANEL_DATA;
    std::vector<std::pair<uint32_t, uint32_t>> per_session = {
        {data, SIMCONNECT_PERIOD_NEVER}, {REQUEST_INITIAL, SIMCONNECT_PERIOD_ONCE},
        {data, SIMCONNECT_PERIOD_VISUAL_FRAME}};
    std::vector<std::pair<uint32_t, uint32_t>> expected = per_session;
    expected.insert(expected.end(), per_session.begin(), per_session.end());
    EXPECT_EQ(requests_made(), expected);
    size_t again = out.find("\nSession ended. Searching Connection to Flight Simulator again -");
    ASSERT_NE(again, std::string::npos) << out;
    EXPECT_NE(out.find("Stay Running redefined: 1\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Bind to Receive Port: \t" + std::to_string(second_port) + "\n", again), std::string::npos)
        << out;
    EXPECT_NE(out.find("Panel connected from", again), std::string::npos) << out;
    EXPECT_EQ(out.find("\nSession ended", again + 1), std::string::npos) << out;  // the key was taken out
}

}  // namespace
