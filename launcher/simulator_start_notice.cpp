#include "launcher/simulator_start_notice.h"

#include <cstring>

#include "launcher/instance_lock.h"
#include "launcher/launcher_state.h"
#include "platform/udp.h"

namespace {

constexpr char kNotice[] = "Relay-Launcher: a simulator is starting";

platform::SocketAddressV4 instance_address() {
    platform::SocketAddressV4 to;
    std::memset(&to, 0, sizeof to);
    to.family = platform::kFamilyInet;
    to.port = platform::host_to_net16(kLauncherPort);
    to.address = platform::host_to_net32(0x7F000001u);
    return to;
}

}  // namespace

void send_simulator_start_notice() {
    platform::net_startup();
    platform::UdpSocket s = platform::udp_open();
    if (s == platform::kInvalidSocket) return;  // the other one just ends as it would have
    platform::SocketAddressV4 to = instance_address();
    platform::udp_send_to(s, kNotice, sizeof kNotice - 1, &to, sizeof to);
    platform::udp_close(s);
}

bool simulator_start_notice_came() {
    if (g_launcher.instance_socket == platform::kInvalidSocket) return false;
    bool came = false;
    char text[64];
    // Bounded, so that a local program sending datagrams cannot hold the loop.
    for (int i = 0; i < 16 && platform::udp_wait_readable(g_launcher.instance_socket, 0); ++i) {
        platform::SocketAddressV4 from;
        int32_t from_length = sizeof from;
        int n = platform::udp_receive_from(g_launcher.instance_socket, text, sizeof text, &from, &from_length);
        if (n == platform::kReceiveNothing) break;
        came = came || (n == static_cast<int>(sizeof kNotice - 1) && std::memcmp(text, kNotice, n) == 0);
    }
    return came;
}
