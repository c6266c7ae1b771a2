#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace kronax::sim {

// PostgreSQL cannot run on this machine: not installed, or its cluster cannot be made.
class EPostgresUnavailable : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A PostgreSQL server of a test's own: a new cluster in a scratch folder, listening on a Unix
// socket in that folder and on a free TCP port of 127.0.0.1. PostgreSQL refuses to run as root,
// so when the tests do, the cluster belongs to the user nobody. Its superuser is "kronax" with
// the password Password, trusted on the socket and asked for it over TCP.
class PostgresProcess {
public:
    static constexpr const char* Password = "kronax-test-password";

    // Makes the cluster and starts the server. Raises EPostgresUnavailable, or runtime_error
    // when the server does not start.
    PostgresProcess();
    ~PostgresProcess();
    PostgresProcess(const PostgresProcess&) = delete;
    PostgresProcess& operator=(const PostgresProcess&) = delete;

    // Starts the stopped server on the same socket and port.
    void Start();
    // Stops the server: cleanly, or at once as a crash or a power cut would.
    void Stop();
    void Kill();

    // A connection string over the socket (trusted, no password) and one over TCP whose
    // password comes from a password file holding password.
    std::string SocketConnection() const;
    std::string TcpConnection(const std::string& password = Password);

    std::uint16_t Port() const { return port_; }

private:
    void RunTool(const std::string& tool, const std::vector<std::string>& args) const;

    std::string folder_;
    std::string bin_;
    std::uint16_t port_ = 0;
    bool running_ = false;
    int passFiles_ = 0;
};

} // namespace kronax::sim
