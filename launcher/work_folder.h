// The launcher's own folder per user, for what it makes and may lose
// (Windows: %LOCALAPPDATA%\AvionicsRelay\Relay-Launcher; Linux:
// ~/.cache/AvionicsRelay/Relay-Launcher): the launcher's own folder may not
// be writable.
#pragma once

#include <cstddef>

// Makes the folder where it is missing and puts its path into folder.
// Reports and returns false when it cannot.
bool make_work_folder(char* folder, size_t size);
