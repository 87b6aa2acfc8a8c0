#include <csignal>

#include "platform/interrupt.h"

namespace platform {

namespace {
volatile std::sig_atomic_t g_interrupted = 0;

void on_signal(int) { g_interrupted = 1; }
}  // namespace

void install_interrupt_flag() {
    struct sigaction sa = {};
    sa.sa_handler = on_signal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    signal(SIGPIPE, SIG_IGN);  // a vanished peer shows as a failed write instead
}

bool interrupt_requested() { return g_interrupted != 0; }

}  // namespace platform
