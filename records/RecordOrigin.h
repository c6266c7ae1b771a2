#pragma once

#include "records/BoardRecord.h"
#include "records/RecordsLocation.h"

#include <cstdint>
#include <string>

namespace kronax::records {

// Where and when a record comes from.

// A random (version 4) UUID in its usual form, "8-4-4-4-12" lower-case hexadecimal digits.
std::string NewRecordId();

// Now, in milliseconds since 1970-01-01 UTC.
std::int64_t NowUtcMs();

// KRONAX_STATION when set and not empty, else the host's name.
std::string StationName(const EnvironmentLookup& environment);

// The name of the user running the program, or its numeric id when it has none.
std::string UserName();

// The record of an operation that ends now: outcome, under the id, start, origin and port of
// running, the record kept while it ran.
BoardRecord CompletedRecord(const BoardRecord& running, BoardRecord outcome);

} // namespace kronax::records
