// The stand-in's one process-wide state record, shared by the connection
// threads and the control commands. The radio stack and every client's
// session are only touched with model_lock held.
#pragma once

#include <atomic>
#include <cstdint>
#include <list>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/stream_server.h"
#include "tools/sim_standin/radio_stack.h"

struct ClientLink {
    uint32_t number;
    platform::StreamConnection* conn;
    std::thread thread;
    std::atomic<bool> done{false};
    std::string name;       // application name once opened (under model_lock)
    std::string transport;  // "pipe", "tcp", "tcp6"
};

struct StandinState {
    std::mutex model_lock;
    RadioStack stack;

    std::atomic<bool> stopping{false};
    std::atomic<bool> quit_requested{false};
    std::atomic<bool> frames_paused{false};
    std::atomic<uint32_t> frame_interval_us{33333};

    std::mutex clients_lock;
    std::list<ClientLink> clients;
    uint32_t next_client_number = 1;

    std::vector<platform::StreamListener*> listeners;
    std::vector<std::thread> listener_threads;
    std::mutex control_lock;
    std::list<std::thread> control_threads;
};

extern StandinState g_standin;

// Frames a second -> microseconds between frames; false for rates outside
// 0.1 .. 1000.
bool set_frame_rate(double rate);
