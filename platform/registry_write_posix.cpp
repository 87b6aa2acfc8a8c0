#include "platform/registry_write.h"

namespace platform {

bool registry_write_string(const char*, const char*, const char*) { return false; }

}  // namespace platform
