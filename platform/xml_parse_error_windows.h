// Where a file that MSXML's document could not load goes wrong, for the
// Windows side of xml_document.h.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

#include "platform/xml_document.h"

namespace platform {

// The bytes as the VARIANT MSXML parses from memory (a byte SAFEARRAY);
// false when out of memory. The caller clears it.
bool byte_array(const std::string& bytes, VARIANT* out);

// Fills result's line, column and reason from MSXML's SAX reader, which
// reports a position also where the document's parse error carries none
// (Wine's MSXML). Leaves result as it is when the reader finds no fault.
void locate_parse_error(const std::string& bytes, XmlLoadResult* result);

}  // namespace platform
