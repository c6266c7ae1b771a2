#pragma once

#include "protocol/ConfigurationSnapshot.h"
#include "protocol/ConfigurationTransfer.h"
#include "protocol/PayloadKind.h"

#include <array>
#include <stdexcept>
#include <string>
#include <vector>

namespace kronax::cli {

// A configuration file that cannot serve; what() is one line naming the file and the reason.
class EFileProblem : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct LoadedFile {
    // The configuration the file holds, over the start values for the parts it lacks.
    ConfigurationSnapshot snapshot;
    // The values of the six entries as the file holds them, SEN to MUX; empty when missing.
    PayloadTexts payloads;
    // The window's report line of every entry that was not read: "INCOMPLETE CA parameters." ...
    std::vector<std::string> problems;
};

// Reads a configuration file as the window's Open does, with the same checks and texts.
// Raises EFileProblem when the file is missing, is a folder or no regular file (never opening
// it then), or cannot be read.
LoadedFile LoadConfigFile(const std::string& fileName);

// Raises EFileProblem unless fileName can take a new configuration: it must not be a folder
// and, without force, must not exist yet.
void CheckOutputFile(const std::string& fileName, bool force);

// Stores the configuration as the window's Save does (the six entries of section "Kronax",
// every other entry of an existing file kept), in one update of the file, so it is either as
// before or complete; a symbolic link is followed and its target written. Raises EFileProblem as
// CheckOutputFile does, or when the file cannot be written.
void SaveConfigFile(const std::string& fileName, const ConfigurationSnapshot& snapshot, bool force);

} // namespace kronax::cli
