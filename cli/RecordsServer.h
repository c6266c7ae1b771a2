#pragma once

#include "cli/Output.h"
#include "records/BoardRecord.h"
#include "records/RecordStore.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <optional>
#include <string>
#include <vector>

namespace kronax::cli {

// The shared records server of a line. A station names it with KRONAX_RECORDS_SERVER or with
// Server= in the section [Records] of kronax.ini in the user's settings folder. A build without
// libpq has no server: forwarding does nothing and the server commands say so.

// After a run's board operations: forwards what waits in the record store, in at most 2 s,
// never while a board waits. When records stay queued, says why in one line on standard error
// unless quiet. Does nothing when no server is named. Changes no exit code: the records are safe
// in the store.
void ForwardAfterRun(Output& output, bool quiet);

// Adds server-schema, init-server and sync to history; their callbacks set exitCode.
void SetUpServerCommands(CLI::App& history, Output& output, int& exitCode, bool errorIsTerminal);

// The records on the server that filter and station (empty: every station) select, newest
// first. Raises records::ERecordServer.
std::vector<records::BoardRecord> ServerRecords(const records::RecordFilter& filter,
                                                const std::string& station);

// "3 records wait to be forwarded to db.plant/kronax.\n" for the store's queue, then the records
// set aside, one line each: id, when and why.
std::string QueuedText(records::RecordStore& store);

// Whether this station forwards its records: a server is named and the build can reach one.
bool ForwardsRecords();

// The same as the JSON keys "queued" (the count), "server" (its name; null when none is named
// or the build has no client) and "set_aside" (id, at_ms and reason of each record set aside).
nlohmann::ordered_json QueuedJson(records::RecordStore& store);

} // namespace kronax::cli
