#pragma once

#include <cstdlib>
#include <filesystem>
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

// Points XDG_RUNTIME_DIR, where the ports' records of unanswered commands are kept, at a new
// private folder for the object's life, so that no test meets what another left on a port.
class ScopedRecordFolder {
public:
    ScopedRecordFolder() : folder_(NewFolder()), runtime_("XDG_RUNTIME_DIR", folder_) {}
    ~ScopedRecordFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    ScopedRecordFolder(const ScopedRecordFolder&) = delete;
    ScopedRecordFolder& operator=(const ScopedRecordFolder&) = delete;

private:
    static std::string NewFolder() {
        char pattern[] = "/tmp/kronax-records-XXXXXX";
        const char* made = mkdtemp(pattern);
        return made == nullptr ? std::string("/nonexistent") : std::string(made);
    }

    std::string folder_;
    ScopedEnvironment runtime_;
};

// Points KRONAX_PORTS, the port list's device-map folder, at folder for the object's life, with
// a record folder of its own.
class ScopedPorts : public ScopedEnvironment {
public:
    explicit ScopedPorts(const std::string& folder) : ScopedEnvironment("KRONAX_PORTS", folder) {}

private:
    ScopedRecordFolder records_;
};

} // namespace kronax::test
