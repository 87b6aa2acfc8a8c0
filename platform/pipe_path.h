// Where a named pipe lives on POSIX. Windows reaches the simulator over the
// named pipe "\\server\pipe\name"; the POSIX side uses a Unix-domain socket in
// the abstract namespace instead, named "relay-pipe/" followed by the pipe's
// name after "\pipe\", backslashes turned into slashes. Abstract sockets
// belong to the network namespace and leave no file behind.
#pragma once

#include <cstddef>
#include <cstring>

namespace platform {

// Fills out with the socket name (without the leading NUL of the abstract
// namespace). Returns false when the pipe name is not a local pipe
// ("\\.\pipe\..." or "\\localhost\pipe\...") or does not fit.
inline bool pipe_socket_name(const char* pipe_name, char* out, size_t size) {
    static const char kLocal[] = "\\\\.\\pipe\\";
    static const char kLocalHost[] = "\\\\localhost\\pipe\\";
    const char* rest = nullptr;
    if (std::strncmp(pipe_name, kLocal, sizeof(kLocal) - 1) == 0) {
        rest = pipe_name + sizeof(kLocal) - 1;
    } else if (std::strncmp(pipe_name, kLocalHost, sizeof(kLocalHost) - 1) == 0) {
        rest = pipe_name + sizeof(kLocalHost) - 1;
    } else {
        return false;
    }
    static const char kPrefix[] = "relay-pipe/";
    size_t need = sizeof(kPrefix) - 1 + std::strlen(rest) + 1;
    if (need > size || need > 100) return false;  // sun_path holds 108 bytes
    std::strcpy(out, kPrefix);
    char* p = out + sizeof(kPrefix) - 1;
    for (; *rest; ++rest) *p++ = (*rest == '\\') ? '/' : *rest;
    *p = '\0';
    return true;
}

}  // namespace platform
