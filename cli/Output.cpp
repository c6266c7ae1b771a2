#include "cli/Output.h"

namespace kronax::cli {

void TOutput::Print(const std::string& text) {
    std::lock_guard lock(mutex_);
    out_ << text << std::flush;
}

void TOutput::PrintError(const std::string& text) {
    std::lock_guard lock(mutex_);
    err_ << text << std::flush;
}

} // namespace kronax::cli
