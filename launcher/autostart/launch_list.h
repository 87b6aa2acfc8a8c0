// The simulator's add-on start list (exe.xml) as a document: a root
// <SimBase.Document Type="Launch"> holding one <Launch.Addon> per program.
// These rules find, add, update and remove our own entry and touch nothing
// else; new elements copy the indentation of their neighbours.
#pragma once

#include <cstddef>

#include "platform/xml_document.h"

// The entry's <Name>, by which it is found again.
extern const char kAutostartEntryName[];

// A new list with the simulator's header elements and no add-on, declared
// in encoding; null when the system cannot make one.
platform::XmlDocument* launch_list_create(const char* encoding);

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

// Adds the entry, or brings the first one up to date and removes the rest.
// changed tells whether the document differs now; false on failure.
bool put_autostart_entry(platform::XmlDocument* doc, platform::XmlNode* root, const char* path,
                         const char* command_line, bool* changed);

// Removes every entry of our name, with the line each stood on; returns how
// many, or -1 on failure.
int remove_autostart_entries(platform::XmlDocument* doc, platform::XmlNode* root);
