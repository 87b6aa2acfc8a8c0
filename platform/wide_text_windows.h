// UTF-8 <-> UTF-16 for the Windows files of this layer: the portable code
// speaks UTF-8, the wide Windows calls take any path a user may have.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// False when text is not valid UTF-8.
bool utf8_to_wide(const char* text, std::wstring* out);

// False when the result does not fit out (size includes the NUL).
bool wide_to_utf8(const wchar_t* text, char* out, size_t size);

}  // namespace platform
