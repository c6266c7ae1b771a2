#pragma once

#include "protocol/CommandChannel.h"
#include "protocol/ConfigurationView.h"
#include "protocol/EntryStore.h"
#include "protocol/TransferReport.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kronax {

// The whole-configuration transfers. The target is the board (a command channel) or the
// configuration file open during a save or open flow (an entry store). All of them run on the
// thread that owns the port and the view.

// The section of a configuration file that holds the six payloads, one key per kind name.
inline constexpr std::string_view ConfigSection = "Kronax";

// How long the board may take to answer each configuration command, in milliseconds.
inline constexpr std::int32_t ConfigCommandTimeout = 1000;

// Sends "##SM" + kind + payload + CR for SEN to MUX, each payload made by payloadOf just before
// it goes out, whatever the earlier outcomes, and returns a step per command. Raises what the
// channel raises (the port's errors); the later payloads are not sent then.
TransferReport WritePayloads(const std::function<std::string(PayloadKind)>& payloadOf,
                             ICommandChannel& board);

// Target board: the payloads of what the view shows, as WritePayloads sends them.
TransferReport WriteConfiguration(const IConfigurationView& view, ICommandChannel& board);

// The six payload texts as they stand, as WritePayloads sends them.
TransferReport WritePayloadTexts(const PayloadTexts& texts, ICommandChannel& board);

// Only the payload texts of kinds (in the order SEN to MUX), as WritePayloads sends them, for a
// change of some settings that leaves the board's other payloads as they are.
TransferReport WritePayloadTexts(const PayloadTexts& texts, const std::vector<PayloadKind>& kinds,
                                 ICommandChannel& board);

// Writes each payload text under its kind name in section "Kronax", SEN to MUX. Raises what the
// file raises ("Unable to write to ..."); the later payloads are not written then.
void WritePayloadEntries(const PayloadTexts& texts, IEntryStore& configFile);

// Target file: the payloads of what the view shows, as WritePayloadEntries writes them.
void WriteConfiguration(const IConfigurationView& view, IEntryStore& configFile);

// Fetches one payload for a read. A step whose payload is complete is marked Received and is
// then decoded; any other step is reported as the source marked it.
using PayloadSource = std::function<TransferStep(PayloadKind kind)>;

// The one decoder of a configuration: fetches SEN to MUX from source and applies every complete
// and legal payload to the view; the parts of a missing, incomplete or illegal payload keep their
// values (or, for SEN to TDF, the values before the illegal group are applied). Afterwards,
// whatever the outcomes, AUX 1 is set to "== Off ==" when an "In Car" sensor type takes its CA
// input from CDMA, the combination for which a write never enables AUX 1. Raises what source
// raises; the values applied so far then stay.
TransferReport DecodeConfiguration(Transfer transfer, const PayloadSource& source,
                                   IConfigurationView& view);

// Target board: queries "??SM" + kind + CR; a reply is taken when it holds "!SM" and has the
// payload's length plus four characters.
TransferReport ReadConfiguration(IConfigurationView& view, ICommandChannel& board);

// Target file: the entries of section "Kronax"; a value is complete when it has the payload's
// length.
TransferReport ReadConfiguration(IConfigurationView& view, const IEntryStore& configFile);

// Six payload texts decoded as a file's entries are.
TransferReport DecodePayloadTexts(const PayloadTexts& texts, IConfigurationView& view);

// The six values section "Kronax" of the file holds, empty where a key is missing.
PayloadTexts ReadPayloadEntries(const IEntryStore& configFile);

} // namespace kronax
