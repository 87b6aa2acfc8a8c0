#include "launcher/instance_lock.h"

#include <cstring>

#include "launcher/launcher_state.h"
#include "platform/child_process.h"

bool take_instance_lock() {
    platform::net_startup();
    platform::UdpSocket s = platform::udp_open();
    if (s == platform::kInvalidSocket) return false;
    platform::keep_from_children(s);
    platform::SocketAddressV4 local;
    std::memset(&local, 0, sizeof local);
    local.family = platform::kFamilyInet;
    local.port = platform::host_to_net16(kLauncherPort);
    local.address = platform::host_to_net32(0x7F000001u);
    if (platform::udp_bind(s, &local) != 0) {
        platform::udp_close(s);
        return false;
    }
    g_launcher.instance_socket = s;
    return true;
}

void release_instance_lock() {
    if (g_launcher.instance_socket != platform::kInvalidSocket) platform::udp_close(g_launcher.instance_socket);
    g_launcher.instance_socket = platform::kInvalidSocket;
}
