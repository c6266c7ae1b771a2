#include "link/network/NameLookup.h"

#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <netdb.h>
#include <thread>

namespace kronax {

NameLookupResult LookUpName(const std::string& host, const std::string& service,
                            std::chrono::steady_clock::time_point deadline) {
    // Shared with the thread, which may outlive this call.
    struct Lookup {
        std::mutex mutex;
        std::condition_variable done;
        bool finished = false;
        NameLookupResult result;
    };
    const auto lookup = std::make_shared<Lookup>();
    std::thread([lookup, host, service] {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        NameLookupResult result;
        result.error =
            getaddrinfo(host.c_str(), service.empty() ? nullptr : service.c_str(), &hints, &found);
        for (const addrinfo* each = found; result.error == 0 && each; each = each->ai_next) {
            FoundAddress address;
            if (each->ai_addrlen > sizeof address.address)
                continue;
            std::memcpy(&address.address, each->ai_addr, each->ai_addrlen);
            address.size = each->ai_addrlen;
            address.family = each->ai_family;
            address.socketType = each->ai_socktype;
            address.protocol = each->ai_protocol;
            result.addresses.push_back(address);
        }
        if (found)
            freeaddrinfo(found);
        result.outcome = result.addresses.empty() ? NameLookupResult::Outcome::NotFound
                                                  : NameLookupResult::Outcome::Found;
        std::lock_guard lock(lookup->mutex);
        lookup->result = std::move(result);
        lookup->finished = true;
        lookup->done.notify_all();
    }).detach();
    std::unique_lock lock(lookup->mutex);
    if (!lookup->done.wait_until(lock, deadline, [&lookup] { return lookup->finished; })) {
        NameLookupResult timedOut;
        timedOut.outcome = NameLookupResult::Outcome::TimedOut;
        return timedOut;
    }
    return lookup->result;
}

} // namespace kronax
