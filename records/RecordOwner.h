#pragma once

#include <optional>
#include <string>

namespace kronax::records {

// The process that keeps a record while it runs, as the store notes it: its id, its start (in
// clock ticks after boot), the boot and the host, so that a process id used again by a later
// process, or after a reboot, is never taken for the one that saved the record.

// This process, noted once. Any thread.
const std::string& ThisProcessOwner();

// Whether the process owner notes has ended for certain; nothing when that cannot be told from
// here: owner is empty or unreadable, or names another host. Any thread.
std::optional<bool> OwnerEnded(const std::string& owner);

} // namespace kronax::records
