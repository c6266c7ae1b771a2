#pragma once

#include "sim/SimBoard.h"

#include <string>

namespace kronax::sim {

// The power-on default file: section "Kronax" with one key per kind, the layout of a saved
// configuration file, so that such a file can serve as the board's state.

// The payloads from file; a missing file, entry or invalid payload gives the start value.
Payloads LoadState(const std::string& file);

// Writes all six payloads to file; false when that failed.
bool SaveState(const std::string& file, const Payloads& payloads);

} // namespace kronax::sim
