#include "cli/Output.h"

namespace kronax::cli {

void TOutput::Print(const std::string& text) {
    std::lock_guard lock(mutex_);
    out_ << text << std::flush;
    if (!out_) {
        outputFailed_ = true;
        out_.clear();
    }
}

void TOutput::PrintError(const std::string& text) {
    std::lock_guard lock(mutex_);
    err_ << text << std::flush;
    err_.clear();
}

bool TOutput::OutputFailed() {
    std::lock_guard lock(mutex_);
    return outputFailed_;
}

} // namespace kronax::cli
