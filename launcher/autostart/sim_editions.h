// Where each edition of the simulator keeps its add-on start list: 2020 and
// 2024 (which reads the same list), each from the Microsoft Store and from
// Steam. An edition counts as installed when the folder that holds the file
// exists; the file itself may not be there yet.
#pragma once

#include <cstddef>

struct SimEdition {
    const char* label;   // for messages: "Flight Simulator 2024 (Steam)"
    bool roaming;        // below the roaming application-data folder, else the local one
    const char* folder;  // the folder of exe.xml below that
};

constexpr int kSimEditionCount = 4;
extern const SimEdition kSimEditions[kSimEditionCount];

// The folder of the edition's exe.xml and the file's full path; false when
// the profile folder is unknown or the paths do not fit.
bool edition_paths(const SimEdition& edition, char* folder, char* file, size_t size);
