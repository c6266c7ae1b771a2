#include "sim/LineAssembler.h"

namespace kronax::sim {

std::vector<std::string> LineAssembler::Take(const char* bytes, std::size_t count) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < count; ++i) {
        const char c = bytes[i];
        if (c == '\n')
            continue;
        if (c != '\r') {
            if (pending_.size() < Capacity)
                pending_ += c;
            continue;
        }
        if (!pending_.empty())
            lines.push_back(std::move(pending_));
        pending_.clear();
    }
    return lines;
}

} // namespace kronax::sim
