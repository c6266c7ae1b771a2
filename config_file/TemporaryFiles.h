#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kronax {

// The temporary files an update writes beside its target before renaming them over it, named
// "<target>.tmp<process id>-<count>", and their removal once their writer is gone.

// A fresh name beside target, held as in use by this process until the object goes.
class TemporaryName {
public:
    explicit TemporaryName(const std::filesystem::path& target);
    TemporaryName(const TemporaryName&) = delete;
    TemporaryName& operator=(const TemporaryName&) = delete;
    ~TemporaryName();

    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// The process id in entryName when it names a temporary file of the file called targetName.
std::optional<unsigned long> TemporaryOwner(std::string_view entryName,
                                            std::string_view targetName);

// Removes the temporary files beside target left by a writer that stopped before renaming them:
// one of a process that no longer runs, or one of this process that it no longer writes.
void RemoveStaleTemporaries(const std::filesystem::path& target);

// Platform parts, one file per platform.
unsigned long CurrentProcessId();
bool ProcessRuns(unsigned long processId);

} // namespace kronax
