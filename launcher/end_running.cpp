#include "launcher/end_running.h"

#include "core/console.h"
#include "launcher/launcher_report.h"
#include "platform/end_request.h"
#include "platform/env.h"

void take_end_requests() {
    if (!platform::end_request_listen())
        report("cannot take requests to end from outside; Relay-Launcher --end-running will not reach it");
}

bool end_requested() {
    if (!platform::end_request_received()) return false;
    report("asked to end (Relay-Launcher --end-running)");
    return true;
}

int end_running_launcher() {
    if (!platform::end_request_send()) {
        console_print("No Relay-Launcher is running.\n");
        return 0;
    }
    console_print("Asked the running Relay-Launcher to end; waiting for it and its programs.\n");
    uint64_t give_up = platform::monotonic_ms() + kEndRunningWaitMs;
    while (platform::end_request_listened()) {
        if (platform::monotonic_ms() >= give_up) {
            console_print("Relay-Launcher is still running after %u s: end it with q in its window.\n",
                          static_cast<unsigned>(kEndRunningWaitMs / 1000));
            return 1;
        }
        platform::sleep_ms(200);
    }
    console_print("The running Relay-Launcher has ended.\n");
    return 0;
}
