#include "tools/sim_standin/standin_server.h"

#include <cstdio>

#include "platform/env.h"
#include "platform/registry_write.h"
#include "tools/sim_standin/standin_log.h"
#include "tools/sim_standin/standin_session.h"
#include "tools/sim_standin/standin_state.h"

StandinState g_standin;

namespace {

const uint32_t kPollMs = 100;         // longest wait before a thread looks at the stop flag
const uint32_t kSendTimeoutMs = 5000;  // a client that takes nothing for this long is dropped
const uint32_t kQuitGraceMs = 2000;    // time a client gets to hang up after the quit message

// Serves one client until it hangs up, its stream turns to garbage, or the
// stand-in stops (then it gets the quit message first).
void serve_client(ClientLink* link) {
    ClientSession session;
    session_init(&session, link->number);
    std::vector<uint8_t> out;
    uint8_t buf[8192];
    uint64_t next_tick = platform::monotonic_ms();
    uint64_t next_tick_us = 0;  // sub-millisecond remainder of the frame clock
    bool alive = true;
    while (alive && !g_standin.stopping) {
        uint64_t now = platform::monotonic_ms();
        bool paused = g_standin.frames_paused;
        uint32_t wait = kPollMs;
        if (!paused) wait = next_tick > now ? static_cast<uint32_t>(next_tick - now) : 0;
        if (wait > kPollMs) wait = kPollMs;
        int n = platform::stream_receive(link->conn, buf, sizeof(buf), wait);
        if (n < 0) {
            standin_log(0, "close: client %u hung up", link->number);
            break;
        }
        now = platform::monotonic_ms();
        {
            std::lock_guard<std::mutex> hold(g_standin.model_lock);
            if (n > 0 && !session_feed(&session, &g_standin.stack, buf, static_cast<size_t>(n), now, &out)) {
                alive = false;
            }
            if (paused) {
                next_tick = now;
            } else if (now >= next_tick) {
                session_frame_tick(&session, g_standin.stack, now, &out);
                next_tick_us += g_standin.frame_interval_us;
                next_tick += next_tick_us / 1000;
                next_tick_us %= 1000;
                if (next_tick + 1000 < now) next_tick = now;  // fell far behind: do not burst
            }
            link->name = session.name;
        }
        if (!out.empty()) {
            if (!platform::stream_send_all(link->conn, out.data(), out.size(), kSendTimeoutMs)) {
                standin_log(0, "close: client %u stopped reading; dropped", link->number);
                alive = false;
            }
            out.clear();
        }
    }
    if (alive && g_standin.stopping) {
        append_quit(&out);
        if (platform::stream_send_all(link->conn, out.data(), out.size(), kSendTimeoutMs)) {
            standin_log(0, "quit: sent to client %u", link->number);
            // Let the client read the quit message and close its end first.
            uint64_t until = platform::monotonic_ms() + kQuitGraceMs;
            while (platform::monotonic_ms() < until && platform::stream_receive(link->conn, buf, sizeof(buf), 50) >= 0) {
            }
        }
    }
    platform::stream_close(link->conn);
    link->conn = nullptr;
    link->done = true;
}

// Joins the threads of clients that have gone.
void reap_clients() {
    std::lock_guard<std::mutex> hold(g_standin.clients_lock);
    for (auto it = g_standin.clients.begin(); it != g_standin.clients.end();) {
        if (it->done) {
            it->thread.join();
            it = g_standin.clients.erase(it);
        } else {
            ++it;
        }
    }
}

void accept_clients(platform::StreamListener* listener, const char* transport) {
    while (!g_standin.stopping) {
        platform::StreamConnection* conn = platform::stream_accept(listener, kPollMs);
        reap_clients();
        if (!conn) continue;
        std::lock_guard<std::mutex> hold(g_standin.clients_lock);
        if (g_standin.stopping) {
            platform::stream_close(conn);
            break;
        }
        g_standin.clients.emplace_back();
        ClientLink& link = g_standin.clients.back();
        link.number = g_standin.next_client_number++;
        link.conn = conn;
        link.transport = transport;
        standin_log(1, "connect: client %u over %s", link.number, transport);
        link.thread = std::thread(serve_client, &link);
    }
}

// One control connection: a command per line, the reply written back.
void serve_control(platform::StreamConnection* conn) {
    std::string pending;
    char buf[1024];
    while (!g_standin.stopping) {
        int n = platform::stream_receive(conn, buf, sizeof(buf), kPollMs);
        if (n < 0) break;
        pending.append(buf, static_cast<size_t>(n));
        size_t eol;
        bool ok = true;
        while (ok && (eol = pending.find('\n')) != std::string::npos) {
            std::string line = pending.substr(0, eol);
            pending.erase(0, eol + 1);
            std::string reply = standin_command(line);
            ok = platform::stream_send_all(conn, reply.data(), reply.size(), kSendTimeoutMs);
        }
        if (!ok || pending.size() > 65536) break;  // no line that long is a command
    }
    platform::stream_close(conn);
}

void accept_control(platform::StreamListener* listener) {
    while (!g_standin.stopping) {
        platform::StreamConnection* conn = platform::stream_accept(listener, kPollMs);
        if (!conn) continue;
        std::lock_guard<std::mutex> hold(g_standin.control_lock);
        g_standin.control_threads.emplace_back(serve_control, conn);
    }
}

void publish_ports(const StandinEndpoints& ep) {
    static const char kKey[] = "SOFTWARE\\Microsoft\\Microsoft Games\\KittyHawk";
    char port[16];
    if (ep.tcp_port >= 0) {
        std::snprintf(port, sizeof(port), "%d", ep.tcp_port);
        if (platform::registry_write_string(kKey, "SimConnect_Port_IPv4", port)) {
            standin_log(0, "registry: SimConnect_Port_IPv4 = %s", port);
        }
    }
    if (ep.tcp6_port >= 0) {
        std::snprintf(port, sizeof(port), "%d", ep.tcp6_port);
        if (platform::registry_write_string(kKey, "SimConnect_Port_IPv6", port)) {
            standin_log(0, "registry: SimConnect_Port_IPv6 = %s", port);
        }
    }
}

}  // namespace

bool set_frame_rate(double rate) {
    if (!(rate >= 0.1 && rate <= 1000.0)) return false;
    g_standin.frame_interval_us = static_cast<uint32_t>(1000000.0 / rate + 0.5);
    return true;
}

bool standin_start(const StandinOptions& options, StandinEndpoints* ep) {
    *ep = StandinEndpoints();
    g_standin.stopping = false;
    g_standin.quit_requested = false;
    g_standin.frames_paused = false;
    if (!set_frame_rate(options.rate)) set_frame_rate(30.0);
    {
        std::lock_guard<std::mutex> hold(g_standin.model_lock);
        radio_defaults(&g_standin.stack, platform::monotonic_ms());
    }
    int error = 0;
    if (options.pipe) {
        platform::StreamListener* l = platform::stream_listen_pipe(options.pipe_name.c_str(), &error);
        if (l) {
            ep->pipe = true;
            g_standin.listeners.push_back(l);
            g_standin.listener_threads.emplace_back(accept_clients, l, "pipe");
        } else {
            standin_log(0, "error: cannot listen on pipe %s (error %d)", options.pipe_name.c_str(), error);
        }
    }
    const int families[2] = {4, 6};
    const int ports[2] = {options.tcp_port, options.tcp6_port};
    for (int i = 0; i < 2; ++i) {
        if (ports[i] < 0) continue;
        uint16_t actual = 0;
        platform::StreamListener* l =
            platform::stream_listen_tcp(families[i], static_cast<uint16_t>(ports[i]), &actual, &error);
        if (!l) {
            standin_log(0, "error: cannot listen on tcp %s port %d (error %d)", i == 0 ? "127.0.0.1" : "[::1]",
                        ports[i], error);
            continue;
        }
        (i == 0 ? ep->tcp_port : ep->tcp6_port) = actual;
        g_standin.listeners.push_back(l);
        g_standin.listener_threads.emplace_back(accept_clients, l, i == 0 ? "tcp" : "tcp6");
    }
    if (options.control_port >= 0) {
        uint16_t actual = 0;
        platform::StreamListener* l =
            platform::stream_listen_tcp(4, static_cast<uint16_t>(options.control_port), &actual, &error);
        if (l) {
            ep->control_port = actual;
            g_standin.listeners.push_back(l);
            g_standin.listener_threads.emplace_back(accept_control, l);
        } else {
            standin_log(0, "error: cannot listen on control port %d (error %d)", options.control_port, error);
        }
    }
    if (!ep->pipe && ep->tcp_port < 0 && ep->tcp6_port < 0) {
        standin_stop_with_quit();
        return false;
    }
    if (options.publish_registry) publish_ports(*ep);
    return true;
}

std::string standin_listening_line(const StandinOptions& options, const StandinEndpoints& ep) {
    std::string line = "listening:";
    const char* sep = " ";
    char part[300];
    if (ep.pipe) {
        std::snprintf(part, sizeof(part), "%spipe %s", sep, options.pipe_name.c_str());
        line += part;
        sep = ", ";
    }
    if (ep.tcp_port >= 0) {
        std::snprintf(part, sizeof(part), "%stcp 127.0.0.1:%d", sep, ep.tcp_port);
        line += part;
        sep = ", ";
    }
    if (ep.tcp6_port >= 0) {
        std::snprintf(part, sizeof(part), "%stcp [::1]:%d", sep, ep.tcp6_port);
        line += part;
        sep = ", ";
    }
    if (ep.control_port >= 0) {
        std::snprintf(part, sizeof(part), "%scontrol 127.0.0.1:%d", sep, ep.control_port);
        line += part;
    }
    return line + "\n";
}

void standin_stop_with_quit() {
    g_standin.stopping = true;
    for (std::thread& t : g_standin.listener_threads) t.join();
    g_standin.listener_threads.clear();
    for (platform::StreamListener* l : g_standin.listeners) platform::stream_close_listener(l);
    g_standin.listeners.clear();
    {
        std::lock_guard<std::mutex> hold(g_standin.clients_lock);
        for (ClientLink& link : g_standin.clients) link.thread.join();
        g_standin.clients.clear();
    }
    {
        std::lock_guard<std::mutex> hold(g_standin.control_lock);
        for (std::thread& t : g_standin.control_threads) t.join();
        g_standin.control_threads.clear();
    }
}

bool standin_quit_requested() { return g_standin.quit_requested; }

int standin_client_count() {
    std::lock_guard<std::mutex> hold(g_standin.clients_lock);
    int n = 0;
    for (const ClientLink& link : g_standin.clients) n += link.done ? 0 : 1;
    return n;
}
