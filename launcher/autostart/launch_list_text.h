// Our entry in the launch list's own text. The parser checks and reads the
// file, but writing the file back through it would redo every other add-on's
// layout (empty elements, quote style, character references, blank lines
// around the root) and fails on a character reference the file's code page
// cannot hold. So our change is spliced into the file's bytes: the entry
// added after the last element, its values replaced, or cut out with the
// line it stood on; every other byte stays.
//
// The text is a file the parser found well-formed, in an encoding that keeps
// ASCII as single bytes (a Windows code page, UTF-8); values come in that
// encoding, not yet escaped. "Cannot follow" means the text holds what these
// rules do not read (a document type declaration); nothing is changed then.
#pragma once

#include <string>

enum class EntryChange { none, added, updated };

// A list with the simulator's header elements and no add-on, declared in
// encoding, as the simulator writes one.
std::string new_launch_list_text(const char* encoding);

// Entries of our name; -1 when the text cannot be followed.
int count_entries_in_text(const std::string& text);

// Adds our entry, or brings the first one up to date and cuts out the rest;
// false when the text cannot be followed.
bool put_entry_in_text(std::string* text, const std::string& path, const std::string& command_line,
                       EntryChange* change);

// Cuts out every entry of our name; returns how many, -1 when the text
// cannot be followed.
int remove_entries_from_text(std::string* text);
