#include "records/server/RecordForwarder.h"

#include "records/RecordOrigin.h"
#include "records/server/RecordServer.h"

#include <algorithm>
#include <set>

namespace kronax::records {
namespace {

constexpr std::size_t BatchSize = 250;

class Deadlines {
public:
    explicit Deadlines(const ForwardLimits& limits) : limits_(limits), start_(ServerClock::now()) {}

    ServerDeadline Next() const {
        const ServerDeadline exchange = ServerClock::now() + limits_.exchange;
        return limits_.total ? std::min(exchange, start_ + *limits_.total) : exchange;
    }

    // The store's busy time-out for the time left: under a total limit, no more than it.
    int BusyTimeoutMs() const {
        if (!limits_.total)
            return RecordStore::DefaultBusyTimeoutMs;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            start_ + *limits_.total - ServerClock::now());
        return static_cast<int>(
            std::clamp<std::int64_t>(left.count(), 1, RecordStore::DefaultBusyTimeoutMs));
    }

private:
    ForwardLimits limits_;
    ServerDeadline start_;
};

// Keeps the store's busy time-out within the deadlines while a forwarding uses it, and gives it
// back after.
class BusyBound {
public:
    BusyBound(RecordStore& store, const Deadlines& deadlines)
        : store_(store), deadlines_(deadlines),
          before_(store.SetBusyTimeout(deadlines.BusyTimeoutMs())) {}
    ~BusyBound() { store_.SetBusyTimeout(before_); }
    BusyBound(const BusyBound&) = delete;
    BusyBound& operator=(const BusyBound&) = delete;

    RecordStore& Store() const {
        store_.SetBusyTimeout(deadlines_.BusyTimeoutMs());
        return store_;
    }

private:
    RecordStore& store_;
    const Deadlines& deadlines_;
    const int before_;
};

// The waiting records but those the server refused in this forwarding.
std::vector<BoardRecord> NextBatch(const BusyBound& bound, const std::set<std::string>& refused) {
    std::vector<BoardRecord> batch = bound.Store().Queued(BatchSize + refused.size());
    std::erase_if(batch,
                  [&refused](const BoardRecord& record) { return refused.contains(record.id); });
    if (batch.size() > BatchSize)
        batch.resize(BatchSize);
    return batch;
}

// Stores the batch one record at a time after the server refused it whole; returns those it
// took. One refused for what it holds is set aside; one refused otherwise is added to refused.
// Raises ERecordServer when the server goes away.
std::vector<BoardRecord> StoreEach(RecordServer& server, const std::vector<BoardRecord>& batch,
                                   const Deadlines& deadlines, const BusyBound& bound,
                                   std::set<std::string>& refused, ForwardReport& report) {
    std::vector<BoardRecord> taken;
    for (const BoardRecord& record : batch) {
        try {
            server.Store({record}, deadlines.Next());
            taken.push_back(record);
        } catch (const ERecordServer& error) {
            if (error.Failure() == ServerFailure::Refused) {
                bound.Store().SetAside(record, error.what(), NowUtcMs());
                ++report.setAside;
                report.refusal = error;
            } else if (error.Failure() == ServerFailure::Failed) {
                refused.insert(record.id);
                report.failure = error;
            } else {
                throw;
            }
        }
    }
    return taken;
}

} // namespace

ForwardReport ForwardQueued(RecordStore& store, const std::string& conninfo,
                            const ForwardLimits& limits, const ForwardProgress& progress,
                            const ForwardStop& stop) {
    ForwardReport report;
    const Deadlines deadlines(limits);
    const BusyBound bound(store, deadlines);
    try {
        CheckConnectionString(conninfo);
    } catch (const ERecordServer& error) {
        report.failure = error;
        report.queued = bound.Store().QueuedCount();
        return report;
    }
    const std::size_t total = bound.Store().QueuedCount();
    if (total == 0)
        return report;
    std::set<std::string> refused;
    bool tableChecked = false;
    try {
        PgConnection connection(conninfo, deadlines.Next());
        RecordServer server(connection);
        server.CheckSchema(deadlines.Next());
        for (auto batch = NextBatch(bound, refused); !batch.empty();
             batch = NextBatch(bound, refused)) {
            try {
                server.Store(batch, deadlines.Next());
            } catch (const ERecordServer& error) {
                if (error.Failure() != ServerFailure::Failed &&
                    error.Failure() != ServerFailure::Refused)
                    throw;
                // Records are set aside for their content only when the table is ours.
                if (!tableChecked)
                    server.CheckTable(deadlines.Next());
                tableChecked = true;
                batch = StoreEach(server, batch, deadlines, bound, refused, report);
            }
            bound.Store().MarkForwarded(batch, NowUtcMs());
            report.forwarded += batch.size();
            if (progress)
                progress(report.forwarded, total);
            if (stop && stop())
                break;
        }
    } catch (const ERecordServer& error) {
        report.failure = error;
    }
    report.queued = bound.Store().QueuedCount();
    return report;
}

} // namespace kronax::records
