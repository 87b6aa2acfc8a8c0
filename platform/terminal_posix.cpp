#include <errno.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "platform/terminal.h"

namespace platform {

namespace {

struct termios g_saved;
bool g_raw = false;
volatile sig_atomic_t g_stop = 0;

void on_stop_signal(int) { g_stop = 1; }

void restore_at_exit() { terminal_restore(); }

bool g_input_ended = false;

// A terminal that went away without a hangup signal reads as ended at once,
// again and again: from then on no more keys come, and the wait is kept.
int read_byte(int timeout_ms) {
    if (g_input_ended) {
        ::poll(nullptr, 0, timeout_ms);
        return kKeyNone;
    }
    pollfd p{STDIN_FILENO, POLLIN, 0};
    int ready = ::poll(&p, 1, timeout_ms);
    if (ready == 0 || (ready < 0 && errno == EINTR)) return kKeyNone;
    unsigned char c = 0;
    ssize_t n = ready < 0 ? -1 : ::read(STDIN_FILENO, &c, 1);
    if (n == 1) return c;
    bool hung_up = (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
    if ((n == 0 && hung_up) || (n < 0 && errno != EINTR && errno != EAGAIN)) g_input_ended = true;
    return kKeyNone;
}

}  // namespace

// A job in the background (started with &) that took the terminal would be
// stopped (SIGTTOU, SIGTTIN).
bool terminal_is_interactive() {
    return ::isatty(STDIN_FILENO) && ::isatty(STDOUT_FILENO) && ::tcgetpgrp(STDIN_FILENO) == ::getpgrp();
}

bool terminal_enter_raw() {
    if (g_raw) return true;
    if (::tcgetattr(STDIN_FILENO, &g_saved) != 0) return false;
    struct termios raw = g_saved;
    // ISIG off: Ctrl+C comes in as a key, so the tool can quit in order.
    raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO | ISIG));
    raw.c_iflag &= static_cast<tcflag_t>(~(IXON | ICRNL));
    raw.c_cc[VMIN] = 0;
    raw.c_cc[VTIME] = 0;
    if (::tcsetattr(STDIN_FILENO, TCSANOW, &raw) != 0) return false;
    g_raw = true;
    std::atexit(restore_at_exit);
    struct sigaction sa {};
    sa.sa_handler = on_stop_signal;
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGHUP, &sa, nullptr);
    return true;
}

void terminal_restore() {
    if (!g_raw) return;
    ::tcsetattr(STDIN_FILENO, TCSANOW, &g_saved);
    g_raw = false;
}

int terminal_read_key(int timeout_ms) {
    int c = read_byte(timeout_ms);
    if (c != 0x1b) return c;
    // An arrow key is ESC [ A..D; a lone ESC has nothing behind it.
    int c2 = read_byte(20);
    if (c2 != '[' && c2 != 'O') return 0x1b;
    switch (read_byte(20)) {
        case 'A': return kKeyUp;
        case 'B': return kKeyDown;
        case 'C': return kKeyRight;
        case 'D': return kKeyLeft;
        default: return kKeyNone;
    }
}

void terminal_home() { std::fputs("\x1b[H", stdout); }

void terminal_clear() { std::fputs("\x1b[H\x1b[2J", stdout); }

bool terminal_has_color() { return true; }

bool terminal_stop_requested() { return g_stop != 0; }

}  // namespace platform
