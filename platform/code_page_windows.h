// Character set names and Windows code pages, for writing a file in the
// encoding it declares.
#pragma once

#include <windows.h>

#include <string>

namespace platform {

// The Windows code page of a character set name ("Windows-1252", "UTF-8"),
// from the system's MIME database; 0 when unknown.
UINT code_page_of(const char* charset);

// Encodes text in code page cp; false when a character does not survive the
// round trip (no best-fit look-alikes, no '?').
bool encode_in_code_page(UINT cp, const std::wstring& text, std::string* out);

// Whether every ASCII character is the same single byte in code page cp, so
// that markup can be found and changed in the bytes (not so in UTF-16).
bool keeps_ascii(UINT cp);

}  // namespace platform
