#pragma once

#include <chrono>
#include <string>
#include <sys/socket.h>
#include <vector>

namespace kronax {

// One address a name stands for, as getaddrinfo gives it.
struct FoundAddress {
    sockaddr_storage address{};
    socklen_t size = 0;
    int family = 0;
    int socketType = 0;
    int protocol = 0;
};

// The outcome of a lookup: the addresses found, or why there are none.
struct NameLookupResult {
    enum class Outcome { Found, NotFound, TimedOut } outcome = Outcome::NotFound;
    std::vector<FoundAddress> addresses;
    int error = 0; // getaddrinfo's code when NotFound
};

// Looks host (and service, a port number or empty) up for a TCP connection, giving up at
// deadline: getaddrinfo runs on a thread of its own, so a name service that hangs costs no more
// than the time allowed; the thread is left to end alone then. Any thread. POSIX only.
NameLookupResult LookUpName(const std::string& host, const std::string& service,
                            std::chrono::steady_clock::time_point deadline);

} // namespace kronax
