#include "records/RecordOwner.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace kronax::records {
namespace {

struct Owner {
    long pid = 0;
    unsigned long long start = 0; // 0: not known
    std::string boot;             // empty: not known
    std::string host;
};

std::string FirstLine(const std::string& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

// The process's start in clock ticks after boot (field 22 of its stat file), or 0.
unsigned long long ProcessStart(long pid) {
    const std::string stat = FirstLine("/proc/" + std::to_string(pid) + "/stat");
    // The command name (field 2) may hold spaces and parentheses; the fields after it do not.
    const std::size_t nameEnd = stat.rfind(')');
    if (nameEnd == std::string::npos)
        return 0;
    std::istringstream fields(stat.substr(nameEnd + 1));
    std::string field;
    for (int index = 3; index < 22 && fields >> field; ++index) {
    }
    unsigned long long start = 0;
    return fields >> start ? start : 0;
}

std::string HostName() {
    std::array<char, 256> host{};
    return gethostname(host.data(), host.size() - 1) == 0 ? host.data() : "";
}

std::string Text(const Owner& owner) {
    return std::to_string(owner.pid) + " " + std::to_string(owner.start) + " " +
           (owner.boot.empty() ? "-" : owner.boot) + " " + owner.host;
}

std::optional<Owner> Parse(const std::string& text) {
    std::istringstream in(text);
    Owner owner;
    if (!(in >> owner.pid >> owner.start >> owner.boot >> owner.host) || owner.pid <= 0)
        return std::nullopt;
    if (owner.boot == "-")
        owner.boot.clear();
    return owner;
}

const Owner& This() {
    static const Owner self{static_cast<long>(getpid()), ProcessStart(getpid()),
                            FirstLine("/proc/sys/kernel/random/boot_id"), HostName()};
    return self;
}

bool Runs(long pid) {
    return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

} // namespace

const std::string& ThisProcessOwner() {
    static const std::string text = Text(This());
    return text;
}

std::optional<bool> OwnerEnded(const std::string& text) {
    const auto owner = Parse(text);
    const Owner& self = This();
    if (!owner || owner->host != self.host || self.host.empty())
        return std::nullopt;
    if (!owner->boot.empty() && !self.boot.empty() && owner->boot != self.boot)
        return true;
    if (!Runs(owner->pid))
        return true;
    // Without start times a running process of that id may be a later one: it cannot be told.
    if (owner->start == 0 || self.start == 0)
        return std::nullopt;
    return ProcessStart(owner->pid) != owner->start;
}

} // namespace kronax::records
