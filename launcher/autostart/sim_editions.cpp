#include "launcher/autostart/sim_editions.h"

#include <cstdio>
#include <cstring>

#include "platform/user_folders.h"

const SimEdition kSimEditions[kSimEditionCount] = {
    {"Flight Simulator 2020 (Microsoft Store)", false, "Packages\\Microsoft.FlightSimulator_8wekyb3d8bbwe\\LocalCache"},
    {"Flight Simulator 2020 (Steam)", true, "Microsoft Flight Simulator"},
    {"Flight Simulator 2024 (Microsoft Store)", false, "Packages\\Microsoft.Limitless_8wekyb3d8bbwe\\LocalCache"},
    {"Flight Simulator 2024 (Steam)", true, "Microsoft Flight Simulator 2024"},
};

namespace {

// Windows paths only; the profile folder may end in a separator.
bool join(char* out, size_t size, const char* folder, const char* name) {
    size_t n = std::strlen(folder);
    const char* separator = n > 0 && folder[n - 1] == '\\' ? "" : "\\";
    int written = std::snprintf(out, size, "%s%s%s", folder, separator, name);
    return written > 0 && static_cast<size_t>(written) < size;
}

}  // namespace

bool edition_paths(const SimEdition& edition, char* folder, char* file, size_t size) {
    char profile[1024];
    bool found = edition.roaming ? platform::roaming_app_data_folder(profile, sizeof profile)
                                 : platform::local_app_data_folder(profile, sizeof profile);
    return found && join(folder, size, profile, edition.folder) && join(file, size, folder, "exe.xml");
}
