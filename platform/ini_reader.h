// An INI reader with the lookup rules of the Windows profile functions, for
// the POSIX side: section and key names compared without regard to case,
// blanks around names and values trimmed, the first matching section and key
// win. Portable, so it is tested on both platforms. Also the one change
// Relay-Launcher makes to a user's file, by the same rules.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Looks up key in section of the INI text. Copies at most size-1 characters
// of the value and returns the count; returns -1 when the key is absent.
int32_t ini_find_value(const char* text, const char* section, const char* key, char* out, uint32_t size);

// Copies the section's "key=value" lines as "key=value\0...\0\0"; returns the
// characters copied before the final NUL, 0 when absent or empty.
uint32_t ini_copy_section(const char* text, const char* section, char* out, uint32_t size);

// Sets key in section to value, where the lookup above finds it: the value
// of the first such key in the first such section is replaced; a missing key
// is added to that section (below a line that holds it commented out, else
// below the heading); a missing section is added at the end. Every other byte
// stays as it was. Added lines end as the text's first line does, or with
// line_end when it has none.
void ini_set_value(std::string* text, const char* section, const char* key, const char* value,
                   const char* line_end);

}  // namespace platform
