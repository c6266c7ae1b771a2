#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace kronax::sim {

// Collects received characters into command lines, as the board's input buffer does: a line ends
// with CR, LF is ignored, empty lines are dropped, and a line keeps at most Capacity characters;
// the rest of a longer line is discarded until its CR, so that a flood without CR costs no more
// memory than a full buffer. Pure; not thread-safe.
class LineAssembler {
public:
    static constexpr std::size_t Capacity = 256;

    // Takes count bytes and returns the lines they complete, without their CR.
    std::vector<std::string> Take(const char* bytes, std::size_t count);

    std::size_t Pending() const { return pending_.size(); }

private:
    std::string pending_;
};

} // namespace kronax::sim
