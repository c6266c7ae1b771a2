#include "cli/Output.h"

#include "cli/Text.h"

namespace kronax::cli {

void Output::Print(const std::string& text) {
    PrintExact(TerminalText(text));
}

void Output::PrintExact(const std::string& text) {
    std::lock_guard lock(mutex_);
    ClearProgress();
    out_ << text << std::flush;
    if (!out_) {
        outputFailed_ = true;
        out_.clear();
    }
    DrawProgress();
}

void Output::PrintError(const std::string& text) {
    PrintErrorExact(TerminalText(text));
}

void Output::PrintErrorExact(const std::string& text) {
    std::lock_guard lock(mutex_);
    ClearProgress();
    err_ << text << std::flush;
    err_.clear();
    DrawProgress();
}

bool Output::OutputFailed() {
    std::lock_guard lock(mutex_);
    return outputFailed_;
}

void Output::SetProgress(const std::string& port, const std::string& step) {
    if (!progressEnabled_)
        return;
    std::lock_guard lock(mutex_);
    if (step.empty())
        progress_.erase(port);
    else
        progress_[port] = step;
    ClearProgress();
    DrawProgress();
}

void Output::ClearProgress() {
    if (progressShown_)
        err_ << "\r\x1b[K" << std::flush;
    progressShown_ = false;
}

void Output::DrawProgress() {
    if (progress_.empty())
        return;
    std::string line;
    for (const auto& [port, step] : progress_)
        line += (line.empty() ? "" : "  ") + port + ": " + step;
    err_ << line << std::flush;
    err_.clear();
    progressShown_ = true;
}

} // namespace kronax::cli
