#pragma once

namespace kronax {

// Where a whole configuration is written to or read from: the board over the serial line, or
// the configuration file open during a save or open flow.
enum class ConfigTarget { Device = 0, File = 1 };

} // namespace kronax
