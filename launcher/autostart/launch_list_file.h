// Reading and writing a user's exe.xml without ever damaging it: a file that
// does not read as a launch list is left alone; a change goes to a scratch
// file that must read back as intended before it replaces the old one, and
// the user's own file is kept once as exe.xml.relay-backup.
#pragma once

#include <string>

#include "platform/xml_document.h"

struct LaunchListFile {
    const char* label;  // the edition, for messages
    const char* path;
    platform::XmlDocument* doc;  // null when the file does not exist
    platform::XmlNode* root;
    bool existed;
};

// Opens path. A missing file gives no document (existed false). A file that
// cannot be read or is no launch list is reported, with what is wrong and
// where, and gives false.
bool open_launch_list(const char* label, const char* path, LaunchListFile* file);

// Puts text in the place of the file; expected_path is the entry's path the
// result must hold, or null for none. Reports and gives false on any
// failure, the file then unchanged.
bool write_launch_list(LaunchListFile* file, const std::string& text, const char* expected_path);

void close_launch_list(LaunchListFile* file);
