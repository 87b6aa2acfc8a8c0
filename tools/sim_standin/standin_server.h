// The running stand-in: listeners on the pipe and loopback TCP, one thread per
// connected client (it reads requests, answers them and sends the data
// frames that fall due), the shared radio stack, and the control commands.
#pragma once

#include <string>

struct StandinOptions {
    int tcp_port = 500;   // IPv4 loopback; 0 = any free port, -1 = none
    int tcp6_port = 0;    // IPv6 loopback; 0 = any free port, -1 = none
    bool pipe = true;
    std::string pipe_name = "\\\\.\\pipe\\Microsoft Flight Simulator\\SimConnect";
    double rate = 30.0;     // frames a second for VISUAL_FRAME and SIM_FRAME
    int control_port = -1;  // loopback TCP port for control commands, -1 = none
    bool publish_registry = true;
};

// What is actually listening (-1 for a port that is not).
struct StandinEndpoints {
    int tcp_port = -1;
    int tcp6_port = -1;
    int control_port = -1;
    bool pipe = false;
};

// Opens the listeners and starts serving. False when nothing at all could
// listen. Failures of single transports are reported and skipped.
bool standin_start(const StandinOptions& options, StandinEndpoints* endpoints);

// The "listening: ..." line for the endpoints.
std::string standin_listening_line(const StandinOptions& options, const StandinEndpoints& endpoints);

// Sends the quit message to every client, waits briefly for them to hang up,
// and stops every thread. The stand-in can be started again afterwards.
void standin_stop_with_quit();

// Runs one control command line and returns its reply (lines ending in "\n").
std::string standin_command(const std::string& line);

// True once a "quit" command has been given.
bool standin_quit_requested();

// Number of clients connected now.
int standin_client_count();
