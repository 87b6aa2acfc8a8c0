// The forms in which the Windows profile functions read an INI file: bytes
// (the system's code page; a UTF-8 byte-order mark is read as part of the
// first line), or UTF-16 in either byte order when the file starts with that
// byte-order mark. The INI rules work on the text; a changed text is written
// back in the file's own form, so a key added to a UTF-16 file is UTF-16
// too. Portable: the POSIX profile reader and the launcher's writer share it.
#pragma once

#include <string>

namespace platform {

enum class IniForm { bytes, utf16le, utf16be };

// The file's text: UTF-16 as UTF-8 without its mark, anything else as it is.
// False when UTF-16 bytes do not make whole characters (an odd length, a
// lone surrogate), which are then U+FFFD in text: such a file could not be
// written back as it was.
bool ini_text_from_file(const std::string& bytes, IniForm* form, std::string* text);

// Valid UTF-8 text in the file's form again, its mark first.
std::string ini_file_from_text(IniForm form, const std::string& text);

}  // namespace platform
