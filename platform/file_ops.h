// Files named by UTF-8 paths, for programs that change a user's file: a copy
// that never overwrites, and replacing a file in one step so that a crash
// leaves either the old file or the new one, never half of one.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

bool folder_exists(const char* path);
bool file_exists(const char* path);

enum class CopyOnce { copied, already_there, failed };

// Copies from to to unless to exists already; the copy is flushed to disk
// and appears whole or not at all.
CopyOnce copy_file_once(const char* from, const char* to);

// Puts from in the place of to (to may or may not exist), flushed to disk.
bool replace_file(const char* from, const char* to);

bool remove_file(const char* path);

// The whole file, byte for byte; false when it cannot be read.
bool read_file(const char* path, std::string* bytes);

// Creates the file or empties it, then writes the bytes, flushed to disk.
bool write_file(const char* path, const std::string& bytes);

// Makes the folder (an absolute path) and the missing ones above it.
bool make_folders(const char* path);

// A path as the programs name their files (Windows: the ANSI code page of
// GetModuleFileNameA, GetCurrentDirectoryA and the INI profile calls) in the
// UTF-8 of the calls above; false when it does not fit.
bool system_path_to_utf8(const char* path, char* out, size_t size);

// The system's words for the last failed call of this header (or of
// xml_document.h); never empty.
void last_error_text(char* out, size_t size);

}  // namespace platform
