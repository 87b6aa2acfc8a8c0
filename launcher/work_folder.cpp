#include "launcher/work_folder.h"

#include "core/config.h"
#include "launcher/launcher_report.h"
#include "platform/env.h"
#include "platform/file_ops.h"

namespace {

constexpr char kProductFolder[] = "AvionicsRelay";
constexpr char kOwnFolder[] = "Relay-Launcher";

}  // namespace

bool make_work_folder(char* folder, size_t size) {
    char root[kConfigPathSize], product[kConfigPathSize], name[kConfigPathSize * 2];
    if (!platform::local_cache_folder(root, sizeof root)) {
        report("there is no folder of the user's own for the launcher's files");
        return false;
    }
    if (!platform::join_path(product, sizeof product, root, kProductFolder) ||
        !platform::join_path(folder, size, product, kOwnFolder) ||
        !platform::system_path_to_utf8(folder, name, sizeof name) || !platform::make_folders(name)) {
        char why[256];
        platform::last_error_text(why, sizeof why);
        report("cannot make the folder %s%c%s%c%s: %s", root, platform::kPathSeparator, kProductFolder,
               platform::kPathSeparator, kOwnFolder, why);
        return false;
    }
    return true;
}
