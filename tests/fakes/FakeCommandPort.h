#pragma once

#include "exchange/PortRecord.h"
#include "exchange/TickSource.h"
#include "exchange/TrafficLog.h"
#include "link/CommandPort.h"
#include "tests/support/TakeFirst.h"

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace kronax::test {

// A port whose receive queue is scripted: each read first lets the next scripted arrival land in
// the queue, then hands over what the queue holds; each wait for input lets the next of
// waitArrivals land (an empty one is a wake-up with nothing to read) and returns at once.
// Records every call in order.
class FakeCommandPort : public ICommandPort {
public:
    bool connected = true;
    std::string queue;                    // bytes already received, waiting to be read
    std::deque<std::string> arrivals;     // what lands in the queue at each later read
    std::deque<std::string> waitArrivals; // what lands in the queue at each later wait
    std::vector<std::uint32_t> waits;     // the time limit of every wait, in order
    bool failRead = false;
    std::vector<std::string> calls;
    std::string written;
    int reads = 0;
    PortOpening opening;

    bool Connected() const override { return connected; }
    PortOpening Opening() const override { return opening; }

    void PurgeBuffers(bool input, bool output) override {
        calls.push_back(std::string("purge ") + (input ? "in" : "") + (output ? "out" : ""));
        if (input)
            queue.clear();
    }

    int WriteText(const std::string& text) override {
        calls.push_back("write " + text);
        written += text;
        return static_cast<int>(text.size());
    }

    int ReadText(std::string& text, int count) override {
        calls.push_back("read");
        ++reads;
        if (failRead)
            throw std::runtime_error("read failed");
        if (auto next = TakeFirst(arrivals))
            queue += *next;
        text = queue.substr(0, static_cast<std::size_t>(count));
        queue.erase(0, text.size());
        return static_cast<int>(text.size());
    }

    void WaitForInput(std::uint32_t milliseconds) override {
        calls.push_back("wait " + std::to_string(milliseconds));
        waits.push_back(milliseconds);
        if (auto next = TakeFirst(waitArrivals))
            queue += *next;
    }
};

// Returns the scripted readings in order, then counts on by step from the last one.
class FakeTick : public ITickSource {
public:
    explicit FakeTick(std::vector<std::uint32_t> readings, std::uint32_t step = 1)
        : readings_(std::move(readings)), step_(step) {}

    std::uint32_t TickCount() const override {
        if (next_ < readings_.size())
            last_ = readings_[next_++];
        else
            last_ += step_;
        return last_;
    }

private:
    std::vector<std::uint32_t> readings_;
    std::uint32_t step_;
    mutable std::size_t next_ = 0;
    mutable std::uint32_t last_ = 0;
};

// Port records in memory, by port name, on a wall clock the test sets.
class FakePortRecords : public IPortRecords {
public:
    std::map<std::string, PendingAnswer> records;
    std::int64_t wallMs = 1'000'000;
    // Where every write and clearing is noted, e.g. a port's calls to see the order of both.
    std::vector<std::string>* journal = nullptr;
    // No record can be kept, as without a usable folder.
    bool unusable = false;

    std::unique_ptr<IPortRecord> Open(const std::string& port) override {
        return unusable ? nullptr : std::make_unique<Record>(*this, port);
    }
    std::int64_t WallClockMs() const override { return wallMs; }

private:
    class Record : public IPortRecord {
    public:
        Record(FakePortRecords& all, std::string port) : all_(all), port_(std::move(port)) {}
        std::optional<PendingAnswer> Read() override {
            const auto found = all_.records.find(port_);
            return found == all_.records.end() ? std::nullopt : std::optional(found->second);
        }
        void Write(const PendingAnswer& pending) override {
            Note("record " + std::to_string(pending.endMs) + " " + pending.command);
            all_.records[port_] = pending;
        }
        void Clear() override {
            Note("clear record");
            all_.records.erase(port_);
        }

    private:
        void Note(const std::string& call) {
            if (all_.journal)
                all_.journal->push_back(call);
        }
        FakePortRecords& all_;
        std::string port_;
    };
};

class FakeTrafficLog : public ITrafficLog {
public:
    std::vector<std::string> lines;
    void AppendLine(const std::string& line) override { lines.push_back(line); }
};

} // namespace kronax::test
