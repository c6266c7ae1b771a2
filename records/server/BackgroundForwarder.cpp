#include "records/server/BackgroundForwarder.h"

namespace kronax::records {
namespace {

ForwardReport Unforwarded(const std::string& why) {
    ForwardReport report;
    report.failure = ERecordServer(ServerFailure::Unconfigured, "records not forwarded: " + why);
    return report;
}

} // namespace

BackgroundForwarder::BackgroundForwarder(std::filesystem::path storeFile, std::string conninfo,
                                         Done done)
    : storeFile_(std::move(storeFile)), conninfo_(std::move(conninfo)), done_(std::move(done)),
      thread_([this] { Run(); }) {}

BackgroundForwarder::~BackgroundForwarder() {
    {
        std::lock_guard lock(mutex_);
        ending_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void BackgroundForwarder::Forward() {
    {
        std::lock_guard lock(mutex_);
        asked_ = true;
    }
    wake_.notify_one();
}

void BackgroundForwarder::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return asked_ || ending_; });
        if (ending_)
            return;
        asked_ = false;
        lock.unlock();
        const ForwardReport report = ForwardOnce();
        done_(report);
        lock.lock();
    }
}

ForwardReport BackgroundForwarder::ForwardOnce() {
    try {
        // A store of its own: the store's connection is not shared with the port's thread.
        RecordStore store(storeFile_);
        return ForwardQueued(store, conninfo_, AfterOperationLimits);
    } catch (const ERecordStore& error) {
        return Unforwarded(error.what());
    } catch (const std::exception& error) {
        // The thread's edge: nothing a server or a store holds may end the window.
        return Unforwarded(error.what());
    }
}

} // namespace kronax::records
