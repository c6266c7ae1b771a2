#pragma once

#include <map>
#include <mutex>
#include <ostream>
#include <string>

namespace kronax::cli {

// Standard output and standard error shared by the workers of several ports: each call prints
// its whole text at once, so the texts of different ports never mix within a line. A failed
// write to standard output is remembered, never raised, so that every board's exchange ends.
class Output {
public:
    Output(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

    // Text for people, shown as TerminalText shows it: no control character reaches the
    // terminal as it is.
    void Print(const std::string& text);
    void PrintError(const std::string& text);
    // Bytes for programs, as they are: JSON lines, a file's text, CSV.
    void PrintExact(const std::string& text);
    void PrintErrorExact(const std::string& text);

    // Whether a write to standard output failed.
    bool OutputFailed();

    // Shows a live progress line on standard error from now on; for a terminal only.
    void EnableProgress() { progressEnabled_ = true; }
    // Sets port's part of the progress line, or with an empty step takes it away.
    void SetProgress(const std::string& port, const std::string& step);

private:
    std::mutex mutex_;
    std::ostream& out_;
    std::ostream& err_;
    bool outputFailed_ = false;
    bool progressEnabled_ = false;
    bool progressShown_ = false;
    std::map<std::string, std::string> progress_; // step by port

    void ClearProgress();
    void DrawProgress();
};

} // namespace kronax::cli
