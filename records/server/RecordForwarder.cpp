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

private:
    ForwardLimits limits_;
    ServerDeadline start_;
};

// The waiting records but those the server refused in this forwarding.
std::vector<BoardRecord> NextBatch(RecordStore& store, const std::set<std::string>& refused) {
    std::vector<BoardRecord> batch = store.Queued(BatchSize + refused.size());
    std::erase_if(batch,
                  [&refused](const BoardRecord& record) { return refused.contains(record.id); });
    if (batch.size() > BatchSize)
        batch.resize(BatchSize);
    return batch;
}

// Stores the batch one record at a time after the server refused it whole; returns those it
// took, adds the others to refused. Raises ERecordServer when the server goes away.
std::vector<BoardRecord> StoreEach(RecordServer& server, const std::vector<BoardRecord>& batch,
                                   const Deadlines& deadlines, std::set<std::string>& refused) {
    std::vector<BoardRecord> taken;
    for (const BoardRecord& record : batch) {
        try {
            server.Store({record}, deadlines.Next());
            taken.push_back(record);
        } catch (const ERecordServer& error) {
            if (error.Failure() != ServerFailure::Failed)
                throw;
            refused.insert(record.id);
        }
    }
    return taken;
}

} // namespace

ForwardReport ForwardQueued(RecordStore& store, const std::string& conninfo,
                            const ForwardLimits& limits, const ForwardProgress& progress) {
    ForwardReport report;
    const std::size_t total = store.QueuedCount();
    if (total == 0)
        return report;
    const Deadlines deadlines(limits);
    std::set<std::string> refused;
    try {
        PgConnection connection(conninfo, deadlines.Next());
        RecordServer server(connection);
        server.CheckSchema(deadlines.Next());
        for (auto batch = NextBatch(store, refused); !batch.empty();
             batch = NextBatch(store, refused)) {
            try {
                server.Store(batch, deadlines.Next());
            } catch (const ERecordServer& error) {
                if (error.Failure() != ServerFailure::Failed)
                    throw;
                report.failure = error;
                batch = StoreEach(server, batch, deadlines, refused);
            }
            store.MarkForwarded(batch, NowUtcMs());
            report.forwarded += batch.size();
            if (progress)
                progress(report.forwarded, total);
        }
    } catch (const ERecordServer& error) {
        report.failure = error;
    }
    report.queued = store.QueuedCount();
    return report;
}

} // namespace kronax::records
