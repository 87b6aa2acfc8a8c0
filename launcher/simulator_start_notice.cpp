#include "launcher/simulator_start_notice.h"

#include <cstring>

#include "core/console.h"
#include "launcher/launcher_state.h"
#include "platform/env.h"
#include "platform/udp.h"

namespace {

constexpr char kNotice[] = "Relay-Launcher: a simulator is starting";
constexpr char kCarryingOn[] = "Relay-Launcher: carrying on";
constexpr uint32_t kLockRetryMs = 250;

platform::SocketAddressV4 instance_address() {
    platform::SocketAddressV4 to;
    std::memset(&to, 0, sizeof to);
    to.family = platform::kFamilyInet;
    to.port = platform::host_to_net16(kLauncherPort);
    to.address = platform::host_to_net32(0x7F000001u);
    return to;
}

bool is_text(const char* received, int length, const char* text, size_t text_length) {
    return length == static_cast<int>(text_length) && std::memcmp(received, text, text_length) == 0;
}

// True when the serving launcher answered within kNoticeAnswerMs.
bool notice_answered() {
    platform::UdpSocket s = platform::udp_open();
    if (s == platform::kInvalidSocket) return true;  // cannot tell: leave the cockpit to it, as ever
    platform::SocketAddressV4 to = instance_address();
    platform::udp_send_to(s, kNotice, sizeof kNotice - 1, &to, sizeof to);
    bool answered = false;
    uint64_t until = platform::monotonic_ms() + kNoticeAnswerMs;
    char text[64];
    for (uint64_t now = platform::monotonic_ms(); !answered && now < until; now = platform::monotonic_ms()) {
        if (!platform::udp_wait_readable(s, static_cast<int>(until - now))) continue;
        platform::SocketAddressV4 from;
        int32_t from_length = sizeof from;
        int n = platform::udp_receive_from(s, text, sizeof text, &from, &from_length);
        answered = is_text(text, n, kCarryingOn, sizeof kCarryingOn - 1);
    }
    platform::udp_close(s);
    return answered;
}

}  // namespace

InstanceLock leave_or_take_over() {
    if (notice_answered()) return LOCK_HELD_ELSEWHERE;
    console_print("Relay-Launcher: the Relay-Launcher running on this computer does not answer: it is ending.\n"
                  "Waiting up to %u s to serve the cockpit in its place.\n",
                  static_cast<unsigned>(kTakeOverWaitMs / 1000));
    uint64_t until = platform::monotonic_ms() + kTakeOverWaitMs;
    for (;;) {
        platform::sleep_ms(kLockRetryMs);
        InstanceLock lock = take_instance_lock();
        if (lock == LOCK_TAKEN) console_print("Relay-Launcher: the other Relay-Launcher has ended: serving the cockpit.\n");
        if (lock != LOCK_HELD_ELSEWHERE || platform::monotonic_ms() >= until) return lock;
    }
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
        if (!is_text(text, n, kNotice, sizeof kNotice - 1)) continue;
        came = true;
        platform::udp_send_to(g_launcher.instance_socket, kCarryingOn, sizeof kCarryingOn - 1, &from, from_length);
    }
    return came;
}
