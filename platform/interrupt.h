// Console interrupts (Ctrl+C, SIGINT, SIGTERM) turned into a flag that a
// program polls, so it can say goodbye to its peers before it ends.
#pragma once

namespace platform {

// Installs the handlers; afterwards an interrupt sets the flag instead of
// ending the process.
void install_interrupt_flag();
bool interrupt_requested();

}  // namespace platform
