#include "launcher/instance_lock.h"

#include <cstdio>
#include <cstring>

#include "core/console.h"
#include "launcher/launcher_report.h"
#include "launcher/launcher_state.h"
#include "platform/child_process.h"

namespace {

// The port cannot tell whether another launcher runs: say what failed.
InstanceLock failed(const char* what, int error) {
    char text[160];
    error_words(static_cast<uint32_t>(error), text, sizeof text);
    console_print("Relay-Launcher: %s, so it cannot tell whether another Relay-Launcher runs on this computer: %s\n"
                  "Nothing was started or stopped.\n",
                  what, text);
    return LOCK_FAILED;
}

}  // namespace

InstanceLock take_instance_lock() {
    int rc = platform::net_startup();
    if (rc != 0) return failed("the network cannot be used", rc);
    platform::UdpSocket s = platform::udp_open();
    if (s == platform::kInvalidSocket) return failed("it cannot open a UDP socket", platform::net_last_error());
    platform::keep_from_children(s);
    platform::SocketAddressV4 local;
    std::memset(&local, 0, sizeof local);
    local.family = platform::kFamilyInet;
    local.port = platform::host_to_net16(kLauncherPort);
    local.address = platform::host_to_net32(0x7F000001u);
    if (platform::udp_bind(s, &local) != 0) {
        int error = platform::net_last_error();
        platform::udp_close(s);
        if (platform::bind_failure(error) == platform::BIND_PORT_TAKEN) return LOCK_HELD_ELSEWHERE;
        char what[64];
        std::snprintf(what, sizeof what, "it cannot hold UDP port %u on 127.0.0.1", kLauncherPort);
        return failed(what, error);
    }
    g_launcher.instance_socket = s;
    return LOCK_TAKEN;
}

void release_instance_lock() {
    if (g_launcher.instance_socket != platform::kInvalidSocket) platform::udp_close(g_launcher.instance_socket);
    g_launcher.instance_socket = platform::kInvalidSocket;
}
