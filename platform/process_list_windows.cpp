#include <windows.h>
#include <tlhelp32.h>

#include "platform/process_list.h"

namespace platform {

bool list_processes(ProcessVisitor visit, void* context) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return false;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry))
        visit(context, entry.th32ProcessID, entry.szExeFile);
    CloseHandle(snapshot);
    return true;
}

}  // namespace platform
