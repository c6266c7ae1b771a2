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

// The name that stands for standard input or output instead of a file.
inline constexpr const char* StandardStream = "-";

struct LoadedFile {
    std::string name;  // as given, "-" for standard input
    std::string bytes; // the file as read
    // The configuration the file holds, over the start values for the parts it lacks.
    ConfigurationSnapshot snapshot;
    // The values of the six entries as the file holds them; empty when missing.
    PayloadTexts payloads;
    // For every entry that was not read, its kind and the window's report line:
    // "INCOMPLETE CA parameters." ...
    std::vector<std::pair<PayloadKind, std::string>> problems;
};

// Reads a configuration file ("-": standard input) as the window's Open does, with the same
// checks and texts. Raises EFileProblem when the file is missing, is a folder or no regular file
// (never opening it then), or cannot be read.
LoadedFile LoadConfigFile(const std::string& fileName);

// Makes sure fileName can take a configuration before any board is asked: its folder exists and
// is writable, and it is no folder, FIFO or device; without force it must not exist and is
// created empty at once, exclusively, so that two runs never store onto the same new file.
// Returns whether it created the file. "-" always serves. Raises EFileProblem.
bool ReserveOutputFile(const std::string& fileName, bool force);

// Stores the six payloads as the window's Save does (the six entries of section "Kronax", every
// other entry of an existing file kept), in one update of the file, so it is either as before or
// complete; a symbolic link is followed and its target written. Raises EFileProblem when the
// file cannot be written, naming the system's reason.
void SavePayloads(const std::string& fileName, const PayloadTexts& payloads);

// Stores snapshot's payloads as SavePayloads does; without force the file must not exist yet.
// Raises EFileProblem.
void SaveConfigFile(const std::string& fileName, const ConfigurationSnapshot& snapshot, bool force);

// The file text that holds the six payloads and nothing else.
std::string PayloadsFileText(const PayloadTexts& payloads);

} // namespace kronax::cli
