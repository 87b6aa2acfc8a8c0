#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include <cstdio>

#include "platform/child_process.h"

namespace platform {

void child_clear(ChildProcess* child) {
    child->process = -1;
    child->output = -1;
    child->id = 0;
    child->running = false;
}

// Each child asks for the parent-death signal itself (see child_start).
bool children_end_with_us() { return true; }

namespace {

// In the forked child: only async-signal-safe calls from here to exec.
[[noreturn]] void become_child(const char* path, const char* folder, int output, int input, pid_t parent) {
    // A process group of its own: a Ctrl+C typed at the launcher's terminal
    // reaches the launcher alone, which then stops its programs in order.
    setpgid(0, 0);
#ifdef __linux__
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != parent) _exit(127);  // the launcher died before the line above
#else
    (void)parent;
#endif
    if (dup2(input, STDIN_FILENO) < 0 || dup2(output, STDOUT_FILENO) < 0 || dup2(output, STDERR_FILENO) < 0)
        _exit(127);
    // Nothing else of the launcher's (its sockets above all) goes along.
    if (close_range(STDERR_FILENO + 1, ~0u, 0) != 0) {
        for (int fd = STDERR_FILENO + 1; fd < 1024; ++fd) close(fd);
    }
    if (chdir(folder) != 0) _exit(127);
    char* const argv[] = {const_cast<char*>(path), nullptr};
    execv(path, argv);
    _exit(127);
}

}  // namespace

ChildStart child_start(ChildProcess* child, const char* path, const char* folder, uint32_t* error) {
    child_clear(child);
    // Checked here, where the error can still be told.
    if (access(path, X_OK) != 0 || access(folder, X_OK) != 0) {
        *error = static_cast<uint32_t>(errno);
        return CHILD_NOT_STARTED;
    }
    int pipe_fds[2];
    if (pipe(pipe_fds) != 0) {
        *error = static_cast<uint32_t>(errno);
        return CHILD_NOT_STARTED;
    }
    int input = open("/dev/null", O_RDONLY | O_CLOEXEC);
    pid_t parent = getpid();
    pid_t pid = input < 0 ? -1 : fork();
    if (pid == 0) become_child(path, folder, pipe_fds[1], input, parent);
    int fork_error = errno;
    close(pipe_fds[1]);
    if (input >= 0) close(input);
    if (pid < 0) {
        close(pipe_fds[0]);
        *error = static_cast<uint32_t>(fork_error);
        return CHILD_NOT_STARTED;
    }
    fcntl(pipe_fds[0], F_SETFL, fcntl(pipe_fds[0], F_GETFL) | O_NONBLOCK);
    fcntl(pipe_fds[0], F_SETFD, FD_CLOEXEC);
    child->process = pid;
    child->output = pipe_fds[0];
    child->id = static_cast<uint32_t>(pid);
    child->running = true;
    return CHILD_STARTED;
}

int child_read(ChildProcess* child, char* buf, size_t size) {
    if (child->output < 0) return -1;
    ssize_t n = read(static_cast<int>(child->output), buf, size);
    if (n > 0) return static_cast<int>(n);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return 0;
    return -1;
}

bool child_poll_exit(ChildProcess* child, ChildExit* exit) {
    if (!child->running) return false;
    int status = 0;
    pid_t r = waitpid(static_cast<pid_t>(child->process), &status, WNOHANG);
    if (r == 0) return false;
    child->running = false;
    if (r < 0) {
        // Already gone where we cannot see its end: count it as crashed.
        exit->code = 0;
        exit->crashed = true;
    } else if (WIFSIGNALED(status)) {
        exit->code = static_cast<uint32_t>(WTERMSIG(status));
        exit->crashed = true;
    } else {
        exit->code = static_cast<uint32_t>(WEXITSTATUS(status));
        exit->crashed = false;
    }
    return true;
}

bool child_request_stop(ChildProcess* child) {
    return child->running && kill(static_cast<pid_t>(child->process), SIGINT) == 0;
}

void child_kill(ChildProcess* child) {
    if (child->running) kill(static_cast<pid_t>(child->process), SIGKILL);
}

void child_release(ChildProcess* child) {
    if (child->output >= 0) close(static_cast<int>(child->output));
    child->output = -1;
}

void child_exit_text(const ChildExit& exit, char* buf, size_t size) {
    if (exit.crashed) {
        std::snprintf(buf, size, "signal %u", exit.code);
    } else {
        std::snprintf(buf, size, "exit code %u", exit.code);
    }
}

void keep_from_children(intptr_t handle) {
    int fd = static_cast<int>(handle);
    fcntl(fd, F_SETFD, fcntl(fd, F_GETFD) | FD_CLOEXEC);
}

}  // namespace platform
