// The link implementations' side of the failure seam in sim_link.h.
#pragma once

#include <cstdint>

#include "platform/sim_link.h"

namespace platform {

// The OS error armed for this fault, disarming it; 0 when none is armed (the
// programs' case: one relaxed load).
uint32_t link_take_fault(LinkFault fault);

}  // namespace platform
