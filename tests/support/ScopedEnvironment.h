#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

namespace kronax::test {

// Sets an environment variable for the object's life, then gives it back the value it had, or
// removes it when it had none. POSIX only, like the tests that point KRONAX_PORTS elsewhere.
class ScopedEnvironment {
public:
    ScopedEnvironment(std::string name, const std::string& value) : name_(std::move(name)) {
        if (const char* old = std::getenv(name_.c_str()))
            old_ = old;
        Set(value);
    }

    ~ScopedEnvironment() {
        if (old_)
            setenv(name_.c_str(), old_->c_str(), 1);
        else
            unsetenv(name_.c_str());
    }

    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    // A new value for the rest of the object's life; the old one still comes back at its end.
    void Set(const std::string& value) { setenv(name_.c_str(), value.c_str(), 1); }

private:
    std::string name_;
    std::optional<std::string> old_;
};

// Points KRONAX_PORTS, the port list's device-map folder, at folder for the object's life.
class ScopedPorts : public ScopedEnvironment {
public:
    explicit ScopedPorts(const std::string& folder) : ScopedEnvironment("KRONAX_PORTS", folder) {}
};

} // namespace kronax::test
