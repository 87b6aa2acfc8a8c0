// An INI reader with the lookup rules of the Windows profile functions, for
// the POSIX side: section and key names compared without regard to case,
// blanks around names and values trimmed, the first matching section and key
// win. Portable, so it is tested on both platforms.
#pragma once

#include <cstdint>

namespace platform {

// Looks up key in section of the INI text. Copies at most size-1 characters
// of the value and returns the count; returns -1 when the key is absent.
int32_t ini_find_value(const char* text, const char* section, const char* key, char* out, uint32_t size);

// Copies the section's "key=value" lines as "key=value\0...\0\0"; returns the
// characters copied before the final NUL, 0 when absent or empty.
uint32_t ini_copy_section(const char* text, const char* section, char* out, uint32_t size);

}  // namespace platform
