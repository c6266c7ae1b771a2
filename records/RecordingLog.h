#pragma once

#include "exchange/TickSource.h"
#include "exchange/TrafficLog.h"
#include "records/BoardRecord.h"

#include <vector>

namespace kronax::records {

// Passes every traffic-log line on to the log it wraps and keeps it for the record, with its
// offset from the moment the recording log was made or restarted. The thread that owns the port.
class RecordingLog : public ITrafficLog {
public:
    // inner and ticks must outlive the log.
    RecordingLog(ITrafficLog& inner, const ITickSource& ticks)
        : inner_(inner), ticks_(ticks), start_(ticks.TickCount()) {}

    void AppendLine(const std::string& line) override {
        lines_.push_back({static_cast<std::int64_t>(ticks_.TickCount() - start_), line});
        inner_.AppendLine(line);
    }

    const std::vector<RecordedLogLine>& Lines() const { return lines_; }

    // Forgets the lines kept so far and counts offsets from now.
    void Restart() {
        lines_.clear();
        start_ = ticks_.TickCount();
    }

private:
    ITrafficLog& inner_;
    const ITickSource& ticks_;
    std::uint32_t start_;
    std::vector<RecordedLogLine> lines_;
};

} // namespace kronax::records
