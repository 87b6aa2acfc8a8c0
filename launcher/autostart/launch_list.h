// The simulator's add-on start list (exe.xml) as the parser reads it: a root
// <SimBase.Document Type="Launch"> holding one <Launch.Addon> per program.
// Changes are made in the file's text (launch_list_text.h).
#pragma once

#include <cstddef>

#include "platform/xml_document.h"

// The entry's <Name>, by which it is found again.
extern const char kAutostartEntryName[];

// The root when doc is a launch list; else null, with what is wrong in why.
platform::XmlNode* launch_list_root(platform::XmlDocument* doc, char* why, size_t size);

struct AutostartEntry {
    int count;  // entries of our name (more than one only if added by hand)
    char path[1024];
    char command_line[256];
    bool disabled;
};

// Reads the first entry of our name; count 0 when there is none.
void read_autostart_entry(platform::XmlDocument* doc, platform::XmlNode* root, AutostartEntry* entry);
