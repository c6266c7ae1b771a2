#pragma once

#include <mutex>
#include <ostream>
#include <string>

namespace kronax::cli {

// Standard output and standard error shared by the workers of several ports: each call prints
// its whole text at once, so the texts of different ports never mix within a line. A failed
// write to standard output is remembered, never raised, so that every board's exchange ends.
class TOutput {
public:
    TOutput(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

    void Print(const std::string& text);
    void PrintError(const std::string& text);

    // Whether a write to standard output failed.
    bool OutputFailed();

private:
    std::mutex mutex_;
    std::ostream& out_;
    std::ostream& err_;
    bool outputFailed_ = false;
};

} // namespace kronax::cli
