#pragma once

#include "records/RecordStore.h"
#include "records/server/ServerError.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace kronax::records {

// How long forwarding may take. A front end forwarding after an operation bounds the whole of
// it, so a board never waits long for the server; a sync bounds each exchange only.
struct ForwardLimits {
    std::optional<std::chrono::milliseconds> total;
    std::chrono::milliseconds exchange;
};

// The limits after an operation: 2 s in all.
constexpr ForwardLimits AfterOperationLimits{std::chrono::milliseconds(2000),
                                             std::chrono::milliseconds(2000)};
// The limits of a sync: 10 s for each exchange.
constexpr ForwardLimits SyncLimits{std::nullopt, std::chrono::milliseconds(10000)};

struct ForwardReport {
    std::size_t forwarded = 0; // records stored on the server by this forwarding
    std::size_t queued = 0;    // records still waiting in the local store
    std::size_t setAside = 0;  // records this forwarding set aside
    // Why forwarding stopped before the queue was empty, or why a record stayed queued; one line
    // without a password.
    std::optional<ERecordServer> failure;
    // Why the server refused the last record set aside (Refused).
    std::optional<ERecordServer> refusal;
};

// Called after each batch: records forwarded so far, and how many were queued at the start.
using ForwardProgress = std::function<void(std::size_t forwarded, std::size_t total)>;
// Asked after each batch: true ends the forwarding there.
using ForwardStop = std::function<bool()>;

// Copies the records waiting in store to the server conninfo names, oldest first, in batches:
// each batch is stored on the server, then marked forwarded in store, so a forwarding broken at
// any point sends some records again (harmless: the server keeps a record once) and loses none.
// A record the server refuses for what it holds is set aside in store, one it refuses otherwise
// stays queued, and the others go on. A connection string that cannot be used fails it even
// when nothing waits. Under a total limit, waiting for the store's lock counts too: the store's
// busy time-out is lowered to what is left while it runs. Any thread; store errors (Busy, when
// the lock is not had in time) raise ERecordStore, server trouble ends up in the report.
ForwardReport ForwardQueued(RecordStore& store, const std::string& conninfo,
                            const ForwardLimits& limits, const ForwardProgress& progress = {},
                            const ForwardStop& stop = {});

} // namespace kronax::records
