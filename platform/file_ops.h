// Files named by UTF-8 paths, for programs that change a user's file: a copy
// that never overwrites, and replacing a file in one step so that a crash
// leaves either the old file or the new one, never half of one.
#pragma once

#include <cstddef>

namespace platform {

bool folder_exists(const char* path);
bool file_exists(const char* path);

enum class CopyOnce { copied, already_there, failed };

// Copies from to to unless to exists already.
CopyOnce copy_file_once(const char* from, const char* to);

// Puts from in the place of to (to may or may not exist), flushed to disk.
bool replace_file(const char* from, const char* to);

bool remove_file(const char* path);

// The system's words for the last failed call of this header (or of
// xml_document.h); never empty.
void last_error_text(char* out, size_t size);

}  // namespace platform
