// Where a program lives: the folder of its own executable, and moving the
// current directory there (Relay-Launcher works from its own folder, whatever
// folder it was started from).
#pragma once

#include <cstddef>

namespace platform {

// The folder of the running executable, without a trailing separator; false
// when it cannot be told or does not fit.
bool executable_folder(char* buf, size_t size);

// What follows a program's name in its file name: ".exe" on Windows.
extern const char kExecutableSuffix[];

// Makes folder the current directory; false on failure.
bool change_directory(const char* folder);

}  // namespace platform
