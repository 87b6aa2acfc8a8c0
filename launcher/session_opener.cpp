#include "launcher/session_opener.h"

#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>

#include "simclient/sim_connect.h"

struct SessionOpener {
    const char* application_name;
    std::thread thread;
    std::mutex lock;  // guards the rest
    std::condition_variable changed;
    bool begun;  // an attempt is under way
    bool over;   // it is over; session holds what it opened
    bool ending;
    HANDLE_SIM session;
};

namespace {

void run_opener(SessionOpener* opener) {
    std::unique_lock<std::mutex> hold(opener->lock);
    for (;;) {
        opener->changed.wait(hold, [opener] { return opener->ending || (opener->begun && !opener->over); });
        if (opener->ending) return;
        hold.unlock();
        HANDLE_SIM session = nullptr;
        if (SimConnect_Open(&session, opener->application_name, nullptr, 0, nullptr, 0) < 0) session = nullptr;
        hold.lock();
        opener->session = session;
        opener->over = true;
        opener->changed.notify_all();
    }
}

void hand_over(SessionOpener* opener, HANDLE_SIM* session) {
    *session = opener->session;
    opener->session = nullptr;
    opener->begun = false;
    opener->over = false;
}

}  // namespace

SessionOpener* opener_create(const char* application_name) {
    SessionOpener* opener = new (std::nothrow) SessionOpener;
    if (!opener) return nullptr;
    opener->application_name = application_name;
    opener->begun = opener->over = opener->ending = false;
    opener->session = nullptr;
    // The library reports a thread it cannot make by throwing.
    try {
        opener->thread = std::thread(run_opener, opener);
    } catch (...) {
        delete opener;
        return nullptr;
    }
    return opener;
}

void opener_begin(SessionOpener* opener) {
    std::lock_guard<std::mutex> hold(opener->lock);
    opener->begun = true;
    opener->changed.notify_all();
}

bool opener_take(SessionOpener* opener, HANDLE_SIM* session) {
    std::lock_guard<std::mutex> hold(opener->lock);
    if (!opener->over) return false;
    hand_over(opener, session);
    return true;
}

void opener_wait(SessionOpener* opener, HANDLE_SIM* session) {
    std::unique_lock<std::mutex> hold(opener->lock);
    opener->changed.wait(hold, [opener] { return !opener->begun || opener->over; });
    hand_over(opener, session);
}

void opener_destroy(SessionOpener* opener) {
    {
        std::lock_guard<std::mutex> hold(opener->lock);
        opener->ending = true;
        opener->changed.notify_all();
    }
    opener->thread.join();
    delete opener;
}
