#include <sys/ioctl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "platform/console_screen.h"

namespace platform {

// Not from the background (a job started with &): the table would be drawn
// over the shell's lines.
bool console_enable_escapes() {
    const char* term = std::getenv("TERM");
    return isatty(STDOUT_FILENO) && tcgetpgrp(STDOUT_FILENO) == getpgrp() && term && *term &&
           std::strcmp(term, "dumb") != 0;
}

int console_columns() {
    winsize size = {};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0) return 0;
    return size.ws_col;
}

}  // namespace platform
