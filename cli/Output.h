#pragma once

#include <mutex>
#include <ostream>
#include <string>

namespace kronax::cli {

// Standard output and standard error shared by the workers of several ports: each call prints
// its whole text at once, so the texts of different ports never mix within a line.
class TOutput {
public:
    TOutput(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

    void Print(const std::string& text);
    void PrintError(const std::string& text);

private:
    std::mutex mutex_;
    std::ostream& out_;
    std::ostream& err_;
};

} // namespace kronax::cli
