#include "core/program_entry.h"

#include "core/bridge_state.h"
#include "core/console.h"
#include "core/console_texts.h"
#include "core/session_loop.h"
#include "core/session_restart.h"
#include "platform/env.h"

int run_program(ProgramId id, const PanelHooks* hooks) {
    const ProgramProfile* program = program_profile(id);
    if (!program) return 1;
    bridge_reset(program, hooks);

    platform::raise_process_priority();
    console_print("%s for MSFS2020 by Tarnel, Version %s\n", program->name, program->version);
    console_print("%s", kSearchingSimulatorText);
    while (!g_bridge.sim_connected) {
        run_session();
        if (stop_requested()) return end_on_user_request();
        // With STAY_RUNNING an ended session leads back into the search.
        if (g_bridge.sim_connected && begin_next_session()) continue;
        session_sleep(100);
        advance_spinner();
    }
    // One more attempt: with quit_requested still set it runs no pass.
    run_session();
    return 0;
}
