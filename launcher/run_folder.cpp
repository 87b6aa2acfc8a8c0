#include "launcher/run_folder.h"

#include <string>

#include "core/config.h"
#include "launcher/interface_key.h"
#include "launcher/launcher_report.h"
#include "launcher/launcher_state.h"
#include "launcher/work_folder.h"
#include "platform/env.h"
#include "platform/file_ops.h"

namespace {

// What else the programs read from their current folder: the simulator
// client's own settings.
constexpr const char* kCopiedFiles[] = {"SimConnect.cfg"};

// The file of that name beside the launcher into the folder; where there is
// none, none is left from an earlier run either.
bool copy_from_launcher(const char* folder, const char* name) {
    char from[kConfigPathSize], to[kConfigPathSize], from_name[kConfigPathSize * 2], to_name[kConfigPathSize * 2];
    if (!platform::join_path(from, sizeof from, g_launcher.folder, name) ||
        !platform::join_path(to, sizeof to, folder, name) ||
        !platform::system_path_to_utf8(from, from_name, sizeof from_name) ||
        !platform::system_path_to_utf8(to, to_name, sizeof to_name)) {
        report("cannot name %s in %s", name, folder);
        return false;
    }
    if (!platform::file_exists(from_name)) {
        platform::remove_file(to_name);
        return true;
    }
    std::string text;
    return read_config_text(from, &text) && put_file(to, text);
}

}  // namespace

bool make_run_folder(uint32_t index, char* folder, size_t size) {
    if (!make_work_folder(folder, size)) return false;
    char user[kConfigPathSize], copy[kConfigPathSize];
    user_config_file(user, sizeof user);
    std::string text;
    if (!read_config_text(user, &text) || !platform::join_path(copy, sizeof copy, folder, kConfigFileName))
        return false;
    if (!set_interface_key(&text, index, user) || !put_file(copy, text)) return false;
    for (const char* file : kCopiedFiles) {
        if (!copy_from_launcher(folder, file)) return false;
    }
    return true;
}
