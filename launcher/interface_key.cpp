#include "launcher/interface_key.h"

#include <cstdio>
#include <cstring>

#include "core/config.h"
#include "launcher/launcher_report.h"
#include "launcher/launcher_state.h"
#include "platform/env.h"
#include "platform/file_ops.h"
#include "platform/ini_reader.h"
#include "platform/ini_text_form.h"

namespace {

constexpr char kSection[] = "NET";
constexpr char kKey[] = "INTERFACE_INDEX";
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

// The UTF-8 name of the file ops for a path as the programs name files.
bool file_ops_name(const char* path, char* out, size_t size) {
    if (platform::system_path_to_utf8(path, out, size)) return true;
    report("cannot use the path %s", path);
    return false;
}

// Whether the programs' reader finds the key at value in text.
bool finds(const char* text, const char* value) {
    char found[16];
    return platform::ini_find_value(text, kSection, kKey, found, sizeof found) >= 0 &&
           std::strcmp(found, value) == 0;
}

void report_failure(const char* what, const char* path, const char* suffix) {
    char why[256];
    platform::last_error_text(why, sizeof why);
    report("cannot %s %s%s: %s", what, path, suffix, why);
}

}  // namespace

bool set_interface_key(std::string* bytes, uint32_t index, const char* path) {
    platform::IniForm form;
    std::string text;
    if (!platform::ini_text_from_file(*bytes, &form, &text)) {
        report("%s is UTF-16 text with a broken character, so INTERFACE_INDEX cannot be written into it without "
               "harm: open it in a text editor and save it again (as ANSI or Unicode)",
               path);
        return false;
    }
    char value[16];
    std::snprintf(value, sizeof value, "%u", index);
    platform::ini_set_value(&text, kSection, kKey, value, platform::kLineEnd);
    // The Windows profile functions read a UTF-8 byte-order mark as part of
    // the first line; other readers drop it. Both must find the key.
    bool marked = text.compare(0, 3, kUtf8Mark) == 0;
    if (marked && (!finds(text.c_str(), value) || !finds(text.c_str() + 3, value))) {
        report("%s starts with a UTF-8 byte-order mark just before its [NET] heading, so the programs and other "
               "readers of the file would not agree on that section: save it as ANSI (in Notepad: Save as, "
               "Encoding ANSI) or put a comment line at its top",
               path);
        return false;
    }
    if (!finds(text.c_str(), value)) {
        report("%s holds a NUL character (UTF-16 saved without a byte-order mark?), so INTERFACE_INDEX cannot be "
               "written where the programs find it: open it in a text editor and save it again (as ANSI or Unicode)",
               path);
        return false;
    }
    *bytes = platform::ini_file_from_text(form, text);
    return true;
}

ConfigPlace user_config_file(char* path, size_t size) {
    char name[kConfigPathSize * 2];
    platform::join_path(path, size, g_launcher.folder, kConfigFileName);
    if (platform::system_path_to_utf8(path, name, sizeof name) && platform::file_exists(name)) return CONFIG_BESIDE;
    char elsewhere[kConfigPathSize];
    config_file_path(elsewhere);
    if (!platform::system_path_to_utf8(elsewhere, name, sizeof name) || !platform::file_exists(name)) return CONFIG_NONE;
    std::snprintf(path, size, "%s", elsewhere);
    return CONFIG_APP_DATA;
}

bool read_config_text(const char* path, std::string* text) {
    char name[kConfigPathSize * 2];
    text->clear();
    if (!file_ops_name(path, name, sizeof name)) return false;
    if (!platform::file_exists(name)) return true;
    if (platform::read_file(name, text)) return true;
    report_failure("read", path, "");
    return false;
}

bool put_file(const char* path, const std::string& text) {
    char name[kConfigPathSize * 2], scratch[sizeof name + sizeof kScratchSuffix];
    if (!file_ops_name(path, name, sizeof name)) return false;
    std::snprintf(scratch, sizeof scratch, "%s%s", name, kScratchSuffix);
    std::string back;
    bool ok = false;
    if (!platform::write_file(scratch, text)) {
        report_failure("write", path, kScratchSuffix);
    } else if (!platform::read_file(scratch, &back) || back != text) {
        report("%s%s did not read back as written", path, kScratchSuffix);
    } else if (!platform::replace_file(scratch, name)) {
        report_failure("replace", path, "");
    } else {
        ok = true;
    }
    if (!ok) platform::remove_file(scratch);
    return ok;
}

bool write_interface_key(const char* path, uint32_t index) {
    std::string old_text, text;
    bool ok = read_config_text(path, &old_text);
    text = old_text;
    ok = ok && set_interface_key(&text, index, path);
    if (ok && !old_text.empty()) {
        char backup[kConfigPathSize + sizeof kBackupSuffix];
        std::snprintf(backup, sizeof backup, "%s%s", path, kBackupSuffix);
        ok = put_file(backup, old_text);
    }
    ok = ok && put_file(path, text);
    if (!ok) report("%s stays as it was", path);
    return ok;
}
