// Writing a text value under HKEY_CURRENT_USER, for the simulator stand-in,
// which publishes its TCP ports where the client looks for them. POSIX has no
// registry: the call does nothing and reports false.
#pragma once

namespace platform {

// Creates the key when missing and stores the value as REG_SZ; false on
// failure.
bool registry_write_string(const char* key_path, const char* value_name, const char* value);

}  // namespace platform
