#include "launcher/autostart/launch_list_file.h"

#include <cstdio>
#include <cstring>

#include "core/console.h"
#include "launcher/autostart/launch_list.h"
#include "launcher/user_file_names.h"
#include "platform/file_ops.h"

bool open_launch_list(const char* label, const char* path, LaunchListFile* file) {
    *file = LaunchListFile{label, path, nullptr, nullptr, false};
    platform::XmlLoadResult result;
    file->doc = platform::xml_load(path, &result);
    switch (result.status) {
        case platform::XmlLoadStatus::ok: break;
        case platform::XmlLoadStatus::missing: return true;
        case platform::XmlLoadStatus::unreadable:
            console_print("%s: cannot read %s: %s.\n", label, path, result.reason);
            return false;
        case platform::XmlLoadStatus::malformed: {
            char where[64] = "";
            if (result.line > 0) std::snprintf(where, sizeof where, "line %ld, column %ld: ", result.line, result.column);
            console_print("%s: %s is not valid XML: %s%s. Left unchanged; repair it or move it away, then try "
                          "again.\n",
                          label, path, where, result.reason);
            return false;
        }
    }
    file->existed = true;
    char why[256];
    file->root = launch_list_root(file->doc, why, sizeof why);
    if (!file->root) {
        console_print("%s: %s is not the simulator's add-on start list: %s. Left unchanged.\n", label, path, why);
        close_launch_list(file);
        return false;
    }
    return true;
}

namespace {

// The scratch file must hold the bytes written and read as a launch list
// holding exactly the intended entry (or none) before it may replace the
// user's file.
bool reads_back(const char* path, const std::string& text, const char* expected_path) {
    platform::XmlLoadResult result;
    platform::XmlDocument* doc = platform::xml_load(path, &result);
    char why[256];
    platform::XmlNode* root = doc ? launch_list_root(doc, why, sizeof why) : nullptr;
    AutostartEntry entry;
    if (root) read_autostart_entry(doc, root, &entry);
    bool ok = root && platform::xml_file_bytes(doc) == text &&
              (expected_path ? entry.count == 1 && std::strcmp(entry.path, expected_path) == 0 : entry.count == 0);
    platform::xml_close(doc);
    return ok;
}

}  // namespace

bool write_launch_list(LaunchListFile* file, const std::string& text, const char* expected_path) {
    char scratch[1100], backup[1100], error[256];
    std::snprintf(scratch, sizeof scratch, "%s%s", file->path, kScratchSuffix);
    std::snprintf(backup, sizeof backup, "%s%s", file->path, kBackupSuffix);
    if (file->existed) {
        switch (platform::copy_file_once(file->path, backup)) {
            case platform::CopyOnce::copied:
                console_print("%s: the file as it was is kept in %s.\n", file->label, backup);
                break;
            case platform::CopyOnce::already_there: break;
            case platform::CopyOnce::failed:
                platform::last_error_text(error, sizeof error);
                console_print("%s: cannot write the backup %s: %s. %s left unchanged.\n", file->label, backup, error,
                              file->path);
                return false;
        }
    }
    if (!platform::write_file(scratch, text)) {
        platform::last_error_text(error, sizeof error);
        platform::remove_file(scratch);
        console_print("%s: cannot write %s: %s. %s left unchanged.\n", file->label, scratch, error, file->path);
        return false;
    }
    if (!reads_back(scratch, text, expected_path)) {
        platform::remove_file(scratch);
        console_print("%s: the new file did not read back as written. %s left unchanged.\n", file->label,
                      file->path);
        return false;
    }
    if (!platform::replace_file(scratch, file->path)) {
        platform::last_error_text(error, sizeof error);
        platform::remove_file(scratch);
        console_print("%s: cannot replace %s: %s. Left unchanged.\n", file->label, file->path, error);
        return false;
    }
    return true;
}

void close_launch_list(LaunchListFile* file) {
    platform::xml_close(file->doc);
    file->doc = nullptr;
    file->root = nullptr;
}
