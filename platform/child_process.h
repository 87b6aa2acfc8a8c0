// Child processes for Relay-Launcher: started in a given folder with their
// console output (standard output and error) in a pipe that is read without
// waiting, polled for their end, asked to stop as on Ctrl+C, killed when
// they do not, and never outliving the launcher (a job object on Windows,
// the parent-death signal on Linux).
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

struct ChildProcess {
    intptr_t process;  // POSIX: the process id; Windows: the process handle
    intptr_t output;   // read end of the output pipe; -1 once closed
    uint32_t id;       // the process id, for reports
    bool running;      // started and not yet seen ending
};

struct ChildExit {
    uint32_t code;  // exit code; POSIX: the signal number when crashed
    bool crashed;   // POSIX: ended by a signal; Windows: an exception code
                    // (0xC0000000 and above, e.g. 0xC0000005, but not the
                    // code of a console break, 0xC000013A)
};

// The empty record (no process).
void child_clear(ChildProcess* child);

// Makes every child started from now on end when this process ends, however
// it ends. Call once before the first start; false when the system refuses
// (the children then still run, but would outlive a killed launcher).
bool children_end_with_us();

enum ChildStart {
    CHILD_STARTED,
    CHILD_NOT_STARTED,
    CHILD_NOT_TIED,  // it could not be made to end with us (Windows: its job), so it was ended at once
};

// Starts the executable at path with the current directory folder, no
// arguments and no input. On failure error holds the system's code.
ChildStart child_start(ChildProcess* child, const char* path, const char* folder, uint32_t* error);

// Reads what the child has written so far, without waiting: the byte count,
// 0 when nothing is waiting, -1 once its output has ended.
int child_read(ChildProcess* child, char* buf, size_t size);

// True once the child has ended (then exit is filled and running cleared).
bool child_poll_exit(ChildProcess* child, ChildExit* exit);

// Asks the child to end as Ctrl+C would (POSIX: SIGINT; Windows: the
// console's break event for its process group). False when the request could
// not be delivered (e.g. no console shared with the child), so the caller
// kills it at once.
bool child_request_stop(ChildProcess* child);

// Ends the child at once.
void child_kill(ChildProcess* child);

// Closes what is left of an ended child (pipe, handles).
void child_release(ChildProcess* child);

// The exit for a report: "exit code 0", "signal 11", "exception 0xC0000005",
// "break event".
void child_exit_text(const ChildExit& exit, char* buf, size_t size);

// Keeps a socket or descriptor of this process out of every child, so a
// child never holds a port the launcher bound.
void keep_from_children(intptr_t handle);

}  // namespace platform
