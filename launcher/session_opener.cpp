#include "launcher/session_opener.h"

#include <atomic>
#include <new>
#include <thread>

#include "simclient/sim_connect.h"

struct SessionOpener {
    std::thread thread;
    std::atomic<bool> over{false};
    HANDLE_SIM session = nullptr;  // written by the attempt before over is set
};

namespace {

void open_session(SessionOpener* opener, const char* application_name) {
    HANDLE_SIM session = nullptr;
    if (SimConnect_Open(&session, application_name, nullptr, 0, nullptr, 0) < 0) session = nullptr;
    opener->session = session;
    opener->over.store(true, std::memory_order_release);
}

void hand_over(SessionOpener** opener, HANDLE_SIM* session) {
    (*opener)->thread.join();
    *session = (*opener)->session;
    delete *opener;
    *opener = nullptr;
}

}  // namespace

SessionOpener* opener_start(const char* application_name) {
    SessionOpener* opener = new (std::nothrow) SessionOpener;
    if (!opener) return nullptr;
    // The library reports a thread it cannot make by throwing.
    try {
        opener->thread = std::thread(open_session, opener, application_name);
    } catch (...) {
        delete opener;
        return nullptr;
    }
    return opener;
}

bool opener_take(SessionOpener** opener, HANDLE_SIM* session) {
    if (!(*opener)->over.load(std::memory_order_acquire)) return false;
    hand_over(opener, session);
    return true;
}

void opener_wait(SessionOpener** opener, HANDLE_SIM* session) { hand_over(opener, session); }
