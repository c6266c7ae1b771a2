#pragma once

#include "records/server/RecordForwarder.h"

#include <condition_variable>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace kronax::records {

// Forwards the record store's queue to the records server on a thread of its own, so that the
// thread that owns the port never waits for the server. Each Forward() asks for one forwarding
// bounded as after an operation; asks that come while one runs are served by one more run.
class BackgroundForwarder {
public:
    // Called on the forwarder's thread after each forwarding; a store that could not be opened
    // or read is a report whose failure is Unconfigured and says why.
    using Done = std::function<void(const ForwardReport& report)>;

    // storeFile and conninfo as the record store and the server are named; done must be safe
    // to call from another thread.
    BackgroundForwarder(std::filesystem::path storeFile, std::string conninfo, Done done);
    // Waits for a forwarding under way (its time is bounded) and ends the thread.
    ~BackgroundForwarder();
    BackgroundForwarder(const BackgroundForwarder&) = delete;
    BackgroundForwarder& operator=(const BackgroundForwarder&) = delete;

    // Any thread; returns at once.
    void Forward();

private:
    void Run();
    ForwardReport ForwardOnce();

    const std::filesystem::path storeFile_;
    const std::string conninfo_;
    const Done done_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool asked_ = false;
    bool ending_ = false;
    std::thread thread_;
};

} // namespace kronax::records
