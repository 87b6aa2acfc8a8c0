// The search on one adapter for several programs at once, with the panels
// played by sockets on a loopback address (its own broadcast under a /30
// mask), so nothing leaves the machine.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/tests/test_support.h"
#include "launcher/panel_search.h"
#include "platform/env.h"
#include "platform/udp.h"

namespace {

// 127.0.0.0/30: the adapter's own address is its broadcast address. Its
// subnet holds 127.0.0.1 too, where Wine reports every loopback sender.
const uint32_t kAdapterH = 0x7F000003u;
const uint32_t kMaskH = 0xFFFFFFFCu;
const uint32_t kElsewhereH = 0x7F000009u;  // another subnet

platform::SocketAddressV4 address(uint16_t port, uint32_t host = kAdapterH) {
    platform::SocketAddressV4 a{};
    a.family = platform::kFamilyInet;
    a.port = platform::host_to_net16(port);
    a.address = platform::host_to_net32(host);
    return a;
}

// A socket on a free port of the adapter (a panel, or a program holding its
// port).
struct Bound {
    platform::UdpSocket socket;
    uint16_t port;
    explicit Bound(uint16_t at = 0, uint32_t host = kAdapterH) {
        platform::net_startup();
        socket = platform::udp_open();
        platform::SocketAddressV4 a = address(at, host);
        platform::udp_bind(socket, &a);
        port = platform::udp_local_port(socket);
    }
    ~Bound() { platform::udp_close(socket); }
    // Answers one "ID" with the text.
    void answer(const char* text) {
        char buf[64];
        platform::SocketAddressV4 from;
        int32_t len = sizeof from;
        ASSERT_TRUE(platform::udp_wait_readable(socket, 3000));
        ASSERT_EQ(platform::udp_receive_from(socket, buf, sizeof buf, &from, &len), 2);
        ASSERT_EQ(std::string(buf, 2), "ID");
        platform::udp_send_to(socket, text, std::strlen(text), &from, len);
    }
};

// Ports nobody holds now, all different: held together while they are
// picked, so the system cannot hand out one of them twice.
void free_ports(uint16_t* ports, int count) {
    Bound held[5];
    for (int i = 0; i < count; ++i) ports[i] = held[i].port;
}

TEST(PanelSearchTest, AnswersPortsTakenAndStrangersSortedPerProgram) {
    Bound com1_panel, nav2_panel, hub1_panel;
    Bound held;  // XPDR-Relay's port, held by a running XPDR-Relay
    Bound stranger(0, kElsewhereH);
    uint16_t recv[4];
    free_ports(recv, 4);
    SearchTarget targets[] = {
        {PROGRAM_COMM1, static_cast<uint16_t>(com1_panel.port - 1), recv[0]},
        {PROGRAM_NAV2, static_cast<uint16_t>(nav2_panel.port - 1), recv[1]},
        {PROGRAM_HUB1, static_cast<uint16_t>(hub1_panel.port - 1), recv[2]},
        {PROGRAM_XPDR, 4780, held.port},
        {PROGRAM_ADF, 4778, recv[3]},
    };
    Adapter adapter{platform::host_to_net32(kAdapterH), platform::host_to_net32(kMaskH)};
    PanelSearch search;
    search_begin(&search, adapter, targets, 5);
    com1_panel.answer("VRAN-COM1_2.0");
    nav2_panel.answer("VRAN-NAV1_1.0");  // another program's identity
    hub1_panel.answer("VRAN-HUB1_1.0\n");  // a line end: no identity
    // A host on another network answering for a panel it is not.
    platform::SocketAddressV4 adf_search = address(recv[3]);
    platform::udp_send_to(stranger.socket, "VRAN-ADF_1.0", 12, &adf_search, sizeof adf_search);
    // Loopback delivery under Wine goes through its server and may lag the
    // send a little: give the answer time to arrive, never the search's end.
    for (int i = 0; i < 150 && search.results[0].outcome != SEARCH_ANSWERED; ++i) {
        search_collect(&search);
        platform::sleep_ms(20);
    }
    search_end(&search);

    EXPECT_EQ(search.results[0].outcome, SEARCH_ANSWERED);
    EXPECT_EQ(search.results[0].variant, 2);
    EXPECT_STREQ(search.results[0].identity, "VRAN-COM1_2.0");
#ifndef _WIN32
    EXPECT_STREQ(search.results[0].address, "127.0.0.3");  // Wine reports loopback senders as 127.0.0.1
#endif
    EXPECT_EQ(search.results[1].outcome, SEARCH_NO_ANSWER);
    EXPECT_EQ(search.results[2].outcome, SEARCH_NO_ANSWER);
    EXPECT_EQ(search.results[3].outcome, SEARCH_PORT_TAKEN);
#ifndef _WIN32
    EXPECT_EQ(search.results[4].outcome, SEARCH_NO_ANSWER);  // under Wine it seems to come from 127.0.0.1
#endif

    // The ports are free again for the programs themselves.
    Bound again(targets[0].recv_port);
    EXPECT_EQ(again.port, targets[0].recv_port);
}

// After a new lease or a cable plugged in again the adapter's old address
// is gone: that is no program holding its port.
TEST(PanelSearchTest, AnAddressTheComputerDoesNotHaveIsGoneNotTaken) {
#ifdef __linux__
    // Where any address may be bound, the request would go out on the network.
    if (read_whole_file("/proc/sys/net/ipv4/ip_nonlocal_bind").rfind('0', 0) != 0)
        GTEST_SKIP() << "this computer binds addresses it does not have";
#endif
    uint16_t recv[2];
    free_ports(recv, 2);
    SearchTarget targets[] = {{PROGRAM_COMM1, 4770, recv[0]}, {PROGRAM_NAV1, 4774, recv[1]}};
    Adapter gone{platform::host_to_net32(0xC0000201u), platform::host_to_net32(0xFFFFFF00u)};  // 192.0.2.1
    PanelSearch search;
    search_begin(&search, gone, targets, 2);
    search_end(&search);
    for (int i = 0; i < 2; ++i) {
        EXPECT_NE(search.results[i].outcome, SEARCH_PORT_TAKEN);
#ifndef _WIN32
        EXPECT_EQ(search.results[i].outcome, SEARCH_ADDRESS_GONE);  // Wine binds any address
#endif
    }
}

}  // namespace
