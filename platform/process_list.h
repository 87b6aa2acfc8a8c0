// The processes running on this computer, by executable name: how
// Relay-Launcher sees a program that the user started by hand (Windows: the
// system's process snapshot; Linux: /proc, the processes that share this
// one's network, that is its network namespace: a program elsewhere can take
// neither a port nor a panel from it).
#pragma once

#include <cstdint>

namespace platform {

typedef void (*ProcessVisitor)(void* context, uint32_t id, const char* executable);

// Calls visit once for every running process with its id and executable
// file name ("COMM1-Relay.exe" on Windows, "COMM1-Relay" on Linux, where
// longer names are cut to 15 characters). False when the list cannot be
// read.
bool list_processes(ProcessVisitor visit, void* context);

}  // namespace platform
