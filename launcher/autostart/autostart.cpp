#include "launcher/autostart/autostart.h"

#include <cstring>
#include <string>

#include "core/console.h"
#include "launcher/autostart/launch_list.h"
#include "launcher/autostart/launch_list_file.h"
#include "launcher/autostart/launch_list_text.h"
#include "launcher/autostart/sim_editions.h"
#include "platform/file_ops.h"
#include "platform/user_folders.h"

const char kAutostartCommandLine[] = "--with-simulator";

namespace {

enum class Verb { on, off, status };

// Windows paths compare without regard to case.
bool same_path(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        char x = *a >= 'A' && *a <= 'Z' ? *a + 32 : *a;
        char y = *b >= 'A' && *b <= 'Z' ? *b + 32 : *b;
        if (x != y) return false;
    }
    return *a == *b;
}

// A new file says Windows-1252, as the simulator's own do, unless the path
// needs more.
const char* new_file_encoding(const char* launcher_path) {
    std::string bytes;
    return platform::xml_encode("Windows-1252", launcher_path, &bytes) == platform::XmlFit::fits ? "Windows-1252"
                                                                                                  : "UTF-8";
}

// A value in the bytes of the file's encoding; reported when it cannot be.
bool encoded(const LaunchListFile* file, const char* encoding, const char* value, std::string* bytes) {
    switch (platform::xml_encode(encoding, value, bytes)) {
        case platform::XmlFit::fits: return true;
        case platform::XmlFit::does_not_fit:
            console_print("%s: the path %s holds characters that %s cannot hold in its encoding (%s). Left "
                          "unchanged; put Relay-Launcher in a folder whose path has none of them.\n",
                          file->label, value, file->path, encoding);
            return false;
        case platform::XmlFit::unknown_encoding: break;
    }
    console_print("%s: %s is written in the encoding %s, which this program cannot write. Left unchanged.\n",
                  file->label, file->path, encoding);
    return false;
}

// The text is changed only where it shows the entries the parser reads.
bool text_followed(const LaunchListFile* file, const std::string& text) {
    int in_text = count_entries_in_text(text);
    if (in_text < 0) {
        console_print("%s: %s holds a document type declaration, which this program does not edit. Left "
                      "unchanged.\n",
                      file->label, file->path);
        return false;
    }
    AutostartEntry entry;
    read_autostart_entry(file->doc, file->root, &entry);
    if (in_text != entry.count) {
        console_print("%s: the entry \"%s\" in %s is written in a way this program does not edit (a character "
                      "reference or CDATA in its name). Left unchanged; edit it by hand.\n",
                      file->label, kAutostartEntryName, file->path);
        return false;
    }
    return true;
}

bool turn_on(LaunchListFile* file, const char* launcher_path) {
    const char* encoding = file->doc ? platform::xml_encoding(file->doc) : new_file_encoding(launcher_path);
    std::string text = file->doc ? platform::xml_file_bytes(file->doc) : new_launch_list_text(encoding);
    std::string path, command_line;
    EntryChange change;
    if (!encoded(file, encoding, launcher_path, &path) ||
        !encoded(file, encoding, kAutostartCommandLine, &command_line) || (file->doc && !text_followed(file, text))) {
        return false;
    }
    if (!put_entry_in_text(&text, path, command_line, &change)) {
        console_print("%s: cannot add the entry to %s. Left unchanged.\n", file->label, file->path);
        return false;
    }
    if (change == EntryChange::none) {
        console_print("%s: already registered in %s.\n", file->label, file->path);
        return true;
    }
    if (!write_launch_list(file, text, launcher_path)) return false;
    console_print("%s: %s in %s%s; the simulator starts %s %s.\n", file->label,
                  change == EntryChange::added ? "registered" : "updated", file->path,
                  file->existed ? "" : " (new file)", launcher_path, kAutostartCommandLine);
    return true;
}

bool turn_off(LaunchListFile* file) {
    std::string text = file->doc ? platform::xml_file_bytes(file->doc) : "";
    if (file->doc && !text_followed(file, text)) return false;
    int removed = file->doc ? remove_entries_from_text(&text) : 0;
    if (removed < 0) {
        console_print("%s: cannot remove the entry from %s. Left unchanged.\n", file->label, file->path);
        return false;
    }
    if (removed == 0) {
        console_print("%s: not registered in %s.\n", file->label, file->path);
        return true;
    }
    if (!write_launch_list(file, text, nullptr)) return false;
    console_print("%s: removed from %s.\n", file->label, file->path);
    return true;
}

void show(const LaunchListFile* file, const char* launcher_path) {
    AutostartEntry entry{};
    if (file->doc) read_autostart_entry(file->doc, file->root, &entry);
    if (entry.count == 0) {
        console_print("%s: not registered in %s%s.\n", file->label, file->path,
                      file->doc ? "" : " (no such file yet)");
        return;
    }
    console_print("%s: registered in %s: the simulator starts %s %s%s.\n", file->label, file->path, entry.path,
                  entry.command_line, entry.disabled ? " (switched off there: Disabled is True)" : "");
    if (!same_path(entry.path, launcher_path)) {
        console_print("%s: that is another copy than this one (%s); --autostart on registers this one.\n",
                      file->label, launcher_path);
    }
}

bool run_edition(Verb verb, const SimEdition& edition, const char* path, const char* launcher_path) {
    LaunchListFile file;
    if (!open_launch_list(edition.label, path, &file)) return false;
    bool ok = true;
    switch (verb) {
        case Verb::on: ok = turn_on(&file, launcher_path); break;
        case Verb::off: ok = turn_off(&file); break;
        case Verb::status: show(&file, launcher_path); break;
    }
    close_launch_list(&file);
    return ok;
}

}  // namespace

int autostart_run_for(const char* verb, const char* launcher_path) {
    if (!platform::xml_available()) {
        console_print("--autostart is a Windows feature: it registers Relay-Launcher with Microsoft Flight "
                      "Simulator on Windows.\n");
        return 2;
    }
    Verb v;
    if (std::strcmp(verb, "on") == 0) {
        v = Verb::on;
    } else if (std::strcmp(verb, "off") == 0) {
        v = Verb::off;
    } else if (std::strcmp(verb, "status") == 0) {
        v = Verb::status;
    } else {
        console_print("--autostart takes on, off or status, not \"%s\".\n", verb);
        return 1;
    }
    int installed = 0;
    bool ok = true;
    for (const SimEdition& edition : kSimEditions) {
        char folder[1024], file[1024];
        if (!edition_paths(edition, folder, file, sizeof file)) {
            console_print("%s: not installed (the user's profile folder is unknown).\n", edition.label);
        } else if (!platform::folder_exists(folder)) {
            console_print("%s: not installed (no folder %s).\n", edition.label, folder);
        } else {
            ++installed;
            ok = run_edition(v, edition, file, launcher_path) && ok;
        }
    }
    if (installed == 0) {
        console_print("No installation of Microsoft Flight Simulator found: none of these folders exists.\n");
        return 1;
    }
    return ok ? 0 : 1;
}

int autostart_run(const char* verb) {
    char self[1024] = "";
    if (platform::xml_available() && !platform::own_program_path(self, sizeof self)) {
        console_print("--autostart: cannot find this program's own path.\n");
        return 1;
    }
    return autostart_run_for(verb, self);
}
