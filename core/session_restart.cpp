#include "core/session_restart.h"

#include "core/bridge_state.h"
#include "core/config.h"
#include "core/console.h"
#include "core/console_texts.h"
#include "core/run_by_launcher.h"
#include "platform/interrupt.h"

namespace {

bool g_handlers_installed = false;

bool interrupted() {
    if (!g_handlers_installed) {
        if (g_bridge.stay_running == 0) return false;
        platform::install_interrupt_flag();
        g_handlers_installed = true;
    }
    return platform::interrupt_requested();
}

StopCheck g_stop_check = interrupted;

}  // namespace

bool stop_requested() { return g_stop_check(); }

void set_stop_check(StopCheck check) { g_stop_check = check ? check : interrupted; }

bool begin_next_session() {
    if (!g_bridge.link_initialised) load_stay_running();
    if (g_bridge.stay_running == 0) return false;
    // Socket and client are closed; everything else of the session goes
    // too, and the next session reads the file again.
    bridge_reset_session();
    console_print_state("%s", kSessionEndedText);
    return true;
}

int end_on_user_request() {
    console_print("%s", kStoppedByUserText);
    return 0;
}
