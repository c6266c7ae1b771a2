#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace kronax::fuzz {

// Splits a fuzzer's input into the pieces a harness needs: single bytes for choices and texts
// separated by the byte Separator, so that the seed files stay readable.
class FuzzInput {
public:
    static constexpr char Separator = '\x01';

    FuzzInput(const std::uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size) {}

    bool Empty() const { return rest_.empty(); }

    // The next byte, or 0 when the input is used up.
    std::uint8_t Byte() {
        if (rest_.empty())
            return 0;
        const auto byte = static_cast<std::uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return byte;
    }

    // The text up to the next separator (which is consumed) or to the end.
    std::string Piece() {
        const std::size_t end = rest_.find(Separator);
        const std::string piece(rest_.substr(0, end));
        rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
        return piece;
    }

    std::string Rest() {
        const std::string rest(rest_);
        rest_ = {};
        return rest;
    }

private:
    std::string_view rest_;
};

// Stops the harness with a message libFuzzer reports as a crash, with the input saved.
[[noreturn]] void Fail(const char* what);

} // namespace kronax::fuzz
