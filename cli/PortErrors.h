#pragma once

#include "link/PortFailure.h"

#include <string>

namespace kronax::cli {

// The stable machine code of a port failure for scripts: "port_busy", "port_permission_denied",
// "port_not_present", "port_vanished" or "port_error".
std::string PortErrorCode(const PortFailure& failure);

} // namespace kronax::cli
