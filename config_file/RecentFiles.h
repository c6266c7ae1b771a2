#pragma once

#include "protocol/EntryStore.h"

#include <cstddef>
#include <string>
#include <vector>

namespace kronax {

// The configuration files the window opened or saved last, newest first, kept in the settings
// file under section "Recent Files", keys "File1" to "File5".

inline constexpr std::size_t RecentFileCount = 5;

// The remembered files, newest first; empty values are left out. Raises nothing.
std::vector<std::string> ReadRecentFiles(const IEntryStore& settings);

// Writes files (at most RecentFileCount), empty values for the keys left over. Raises the
// store's error ("Unable to write to ...").
void WriteRecentFiles(IEntryStore& settings, const std::vector<std::string>& files);

// files with fileName put first, an earlier mention of it removed and the oldest dropped
// beyond RecentFileCount. Pure.
std::vector<std::string> WithRecentFile(std::vector<std::string> files,
                                        const std::string& fileName);

} // namespace kronax
