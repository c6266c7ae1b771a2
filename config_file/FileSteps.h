#pragma once

#include <functional>
#include <system_error>

namespace kronax {

// Every step of a file update that changes the file system first calls FileStep, and fails with
// what it returns. Tests install a hook that fails a chosen step as the system would (a full
// disk), or throws there to stop the update as a crash would; without a hook no step fails.
using FileStepHook = std::function<std::error_code()>;

// Installs hook (an empty one removes it). Not for use while an update runs.
void SetFileStepHook(FileStepHook hook);

std::error_code FileStep();

} // namespace kronax
