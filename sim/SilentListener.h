#pragma once

#include <cstdint>

namespace kronax::sim {

// A socket on 127.0.0.1 that takes connections and never answers: a hanging server, closed with
// the object.
class SilentListener {
public:
    SilentListener();
    ~SilentListener();
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;

    std::uint16_t Port() const { return port_; }

private:
    int socket_;
    std::uint16_t port_ = 0;
};

} // namespace kronax::sim
