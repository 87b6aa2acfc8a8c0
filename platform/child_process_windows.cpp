#include <windows.h>

#include <cstdio>

#include "platform/child_process.h"

namespace platform {

namespace {

// Every child is in this job; when the launcher's last handle to it closes
// (however the launcher ends) the system ends them all.
HANDLE g_job = nullptr;

// What a console program returns when the console's Ctrl+C or break event
// ended it: asked for, not a crash.
constexpr DWORD kControlCExit = 0xC000013A;

void close_handle(HANDLE* h) {
    if (*h && *h != INVALID_HANDLE_VALUE) CloseHandle(*h);
    *h = nullptr;
}

}  // namespace

void child_clear(ChildProcess* child) {
    child->process = 0;
    child->output = -1;
    child->id = 0;
    child->running = false;
}

bool children_end_with_us() {
    if (g_job) return true;
    g_job = CreateJobObjectA(nullptr, nullptr);
    if (!g_job) return false;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(g_job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
        close_handle(&g_job);
        return false;
    }
    return true;
}

ChildStart child_start(ChildProcess* child, const char* path, const char* folder, uint32_t* error) {
    child_clear(child);
    SECURITY_ATTRIBUTES inheritable = {sizeof inheritable, nullptr, TRUE};
    HANDLE read_end = nullptr, write_end = nullptr;
    if (!CreatePipe(&read_end, &write_end, &inheritable, 0)) {
        *error = GetLastError();
        return CHILD_NOT_STARTED;
    }
    SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
    HANDLE input = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, OPEN_EXISTING,
                               0, nullptr);

    // The child inherits its two standard handles and nothing else: above
    // all none of the launcher's sockets, which are inheritable by default.
    HANDLE inherited[2] = {write_end, input};
    SIZE_T list_size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &list_size);
    auto* list = static_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(HeapAlloc(GetProcessHeap(), 0, list_size));
    bool listed = list && InitializeProcThreadAttributeList(list, 1, 0, &list_size) &&
                  UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited,
                                            input == INVALID_HANDLE_VALUE ? sizeof(HANDLE) : sizeof inherited,
                                            nullptr, nullptr);

    STARTUPINFOEXA start = {};
    start.StartupInfo.cb = sizeof start;
    start.StartupInfo.dwFlags = STARTF_USESTDHANDLES;
    start.StartupInfo.hStdInput = input;
    start.StartupInfo.hStdOutput = write_end;
    start.StartupInfo.hStdError = write_end;
    start.lpAttributeList = listed ? list : nullptr;

    char command[1100];
    std::snprintf(command, sizeof command, "\"%s\"", path);
    // A process group of its own, so that its break event reaches it alone;
    // suspended until it is in the job. Without a console of our own, the
    // child gets one without a window rather than a window of its own.
    DWORD flags = CREATE_NEW_PROCESS_GROUP | CREATE_SUSPENDED | (listed ? EXTENDED_STARTUPINFO_PRESENT : 0);
    if (GetConsoleCP() == 0) flags |= CREATE_NO_WINDOW;
    PROCESS_INFORMATION info = {};
    BOOL started = listed && CreateProcessA(path, command, nullptr, nullptr, TRUE, flags, nullptr, folder,
                                            &start.StartupInfo, &info);
    DWORD start_error = listed ? GetLastError() : ERROR_NOT_ENOUGH_MEMORY;
    if (list) {
        if (listed) DeleteProcThreadAttributeList(list);
        HeapFree(GetProcessHeap(), 0, list);
    }
    close_handle(&write_end);
    close_handle(&input);
    if (!started) {
        close_handle(&read_end);
        *error = start_error;
        return CHILD_NOT_STARTED;
    }
    // Still suspended: a child that would outlive a killed launcher unseen
    // never runs.
    if (g_job && !AssignProcessToJobObject(g_job, info.hProcess)) {
        *error = GetLastError();
        TerminateProcess(info.hProcess, 1);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
        close_handle(&read_end);
        return CHILD_NOT_TIED;
    }
    ResumeThread(info.hThread);
    CloseHandle(info.hThread);
    child->process = reinterpret_cast<intptr_t>(info.hProcess);
    child->output = reinterpret_cast<intptr_t>(read_end);
    child->id = info.dwProcessId;
    child->running = true;
    return CHILD_STARTED;
}

int child_read(ChildProcess* child, char* buf, size_t size) {
    if (child->output == -1) return -1;
    HANDLE pipe = reinterpret_cast<HANDLE>(child->output);
    DWORD waiting = 0;
    if (!PeekNamedPipe(pipe, nullptr, 0, nullptr, &waiting, nullptr)) return -1;  // ended (broken pipe)
    if (waiting == 0) return 0;
    DWORD n = 0;
    DWORD want = waiting < size ? waiting : static_cast<DWORD>(size);
    if (!ReadFile(pipe, buf, want, &n, nullptr)) return -1;
    return static_cast<int>(n);
}

bool child_poll_exit(ChildProcess* child, ChildExit* exit) {
    if (!child->running) return false;
    HANDLE process = reinterpret_cast<HANDLE>(child->process);
    if (WaitForSingleObject(process, 0) != WAIT_OBJECT_0) return false;
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    child->running = false;
    exit->code = code;
    exit->crashed = code >= 0xC0000000u && code != kControlCExit;
    return true;
}

bool child_request_stop(ChildProcess* child) {
    // Reaches the child only through a console it shares with us (not
    // under Wine, whose consoles do not pass the event on).
    return child->running && GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, child->id);
}

void child_kill(ChildProcess* child) {
    if (child->running) TerminateProcess(reinterpret_cast<HANDLE>(child->process), 1);
}

void child_release(ChildProcess* child) {
    if (child->output != -1) CloseHandle(reinterpret_cast<HANDLE>(child->output));
    child->output = -1;
    if (!child->running && child->process) {
        CloseHandle(reinterpret_cast<HANDLE>(child->process));
        child->process = 0;
    }
}

void child_exit_text(const ChildExit& exit, char* buf, size_t size) {
    if (exit.code == kControlCExit) {
        std::snprintf(buf, size, "break event");
    } else if (exit.code >= 0xC0000000u) {
        std::snprintf(buf, size, "exception 0x%08lX", static_cast<unsigned long>(exit.code));
    } else {
        std::snprintf(buf, size, "exit code %lu", static_cast<unsigned long>(exit.code));
    }
}

void keep_from_children(intptr_t handle) {
    SetHandleInformation(reinterpret_cast<HANDLE>(handle), HANDLE_FLAG_INHERIT, 0);
}

}  // namespace platform
