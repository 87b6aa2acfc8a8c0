// Where the programs run when their adapter was chosen for this run only: a
// folder of the launcher's own, per user (Windows:
// %LOCALAPPDATA%\AvionicsRelay\Relay-Launcher; Linux:
// ~/.cache/AvionicsRelay/Relay-Launcher), since the launcher's folder may
// not be writable. It holds what the programs read from their current
// folder: a copy of the user's Avionics-Panel.cfg with INTERFACE_INDEX set,
// and the SimConnect.cfg beside the launcher, if there is one.
#pragma once

#include <cstddef>
#include <cstdint>

// Fills the folder afresh and puts its path into folder. Reports and returns
// false when it cannot.
bool make_run_folder(uint32_t index, char* folder, size_t size);
