// INTERFACE_INDEX in [NET] of Avionics-Panel.cfg, set by Relay-Launcher
// without harming the user's file: that one key changes, in the file's own
// form (a UTF-16 file gets UTF-16), and every other byte stays; the file as
// it was is kept beside it first; each new text goes to a scratch file that
// must read back as written before it takes the file's place, so a crash
// leaves the old file or the new one, never half.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "launcher/user_file_names.h"

// The file's bytes with INTERFACE_INDEX in [NET] set to index. Reports,
// naming path, and returns false, the bytes unchanged, when that cannot be
// done so that every reader of the file finds the key.
bool set_interface_key(std::string* bytes, uint32_t index, const char* path);

enum ConfigPlace : uint8_t {
    CONFIG_BESIDE,    // beside the launcher
    CONFIG_APP_DATA,  // none beside the launcher: the one in the application-data folder
    CONFIG_NONE,      // neither: a new one beside the launcher
};

// The Avionics-Panel.cfg the programs read, or the one to make; a path as
// the programs name files.
ConfigPlace user_config_file(char* path, size_t size);

// Reads the file at path (as the programs name files) into text; a missing
// file reads as empty. Reports and returns false when it cannot be read.
bool read_config_text(const char* path, std::string* text);

// Puts text in the place of the file at path. Reports and returns false on
// any failure, the file then as it was.
bool put_file(const char* path, const std::string& text);

// Sets the key in the user's file at path, made when missing, after keeping
// the file as it was in path + kBackupSuffix. Reports and returns false on
// any failure, the file then as it was.
bool write_interface_key(const char* path, uint32_t index);
