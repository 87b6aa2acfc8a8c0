#include "launcher/launcher_state.h"

#include <cstring>

LauncherState g_launcher;

void launcher_reset() {
    std::memset(&g_launcher, 0, sizeof g_launcher);
    for (int i = 0; i < PROGRAM_COUNT; ++i) {
        ProgramSlot* slot = &g_launcher.slots[i];
        slot->profile = program_profile(static_cast<ProgramId>(i));
        platform::child_clear(&slot->child);
        output_clear(&slot->output);
    }
    g_launcher.instance_socket = platform::kInvalidSocket;
}
