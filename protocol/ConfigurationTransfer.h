#pragma once

#include "protocol/CommandChannel.h"
#include "protocol/ConfigTarget.h"
#include "protocol/ConfigurationView.h"
#include "protocol/EntryStore.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kronax {

// The section of a configuration file that holds the six payloads, one key per kind name.
inline constexpr std::string_view ConfigSection = "Kronax";

// How long the board may take to answer each configuration command, in milliseconds.
inline constexpr std::int32_t ConfigCommandTimeout = 1000;

// What a whole-configuration transfer reaches: the configuration the window shows, the board,
// and the configuration file open during a save or open flow (null outside one).
struct TransferEndpoints {
    IConfigurationView& view;
    ICommandChannel& channel;
    IEntryStore* configFile = nullptr;
};

// Writes the six payloads, SEN to MUX, each built just before it goes out.
// Device: sends "##SM" + kind + payload + CR for every kind, whatever the earlier outcomes,
// and returns the report, one line per command: the command, " | ", the outcome, CR LF.
// File: writes each payload under its kind name in section "Kronax" of the configuration file
// and returns nothing.
// Raises what the channel raises (the port's errors) or what the file raises ("Unable to write
// to ..."); the transfer ends there and the later payloads are not sent or written.
// Raises std::invalid_argument for target File without a configuration file. UI thread.
std::optional<std::string> WriteConfiguration(ConfigTarget target,
                                              const TransferEndpoints& endpoints);

// Reads the six payloads, SEN to MUX, and applies every complete and legal one to the view;
// the parts of a missing, incomplete or illegal payload keep their values (or, for SEN to TDF,
// the values before the illegal group are applied). Returns the report, one line per kind.
// Device: queries "??SM" + kind + CR; a reply is taken when it holds "!SM" and has the
// payload's length plus four characters. File: reads the entries of section "Kronax".
// Afterwards, whatever the outcomes, AUX 1 is set to "== Off ==" when an "In Car" sensor type
// takes its CA input from CDMA, the combination for which a write never enables AUX 1.
// Raises like WriteConfiguration; the values applied so far then stay. UI thread.
std::string ReadConfiguration(ConfigTarget target, const TransferEndpoints& endpoints);

} // namespace kronax
