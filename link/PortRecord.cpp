#include "link/PortRecord.h"

#include "link/PortRecordFolder.h"

#include <charconv>
#include <chrono>
#include <fstream>
#include <iterator>

namespace kronax {
namespace {

class TFilePortRecords : public IPortRecords {
public:
    std::optional<std::string> Locate(const std::string& port) override {
        const auto file = PortRecordFile(port);
        if (!file)
            return std::nullopt;
        return file->string();
    }

    std::optional<PendingAnswer> Read(const std::string& where) override {
        std::ifstream in(std::filesystem::path(where), std::ios::binary);
        if (!in)
            return std::nullopt;
        return ParsePendingAnswer(
            std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()));
    }

    void Write(const std::string& where, const PendingAnswer& pending) override {
        std::ofstream out(std::filesystem::path(where), std::ios::binary | std::ios::trunc);
        out << PendingAnswerText(pending);
    }

    void Remove(const std::string& where) override {
        std::error_code ignored;
        std::filesystem::remove(std::filesystem::path(where), ignored);
    }

    std::int64_t WallClockMs() const override {
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        return std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
    }
};

} // namespace

std::string PendingAnswerText(const PendingAnswer& pending) {
    return std::to_string(pending.endMs) + "\n" + pending.command;
}

std::optional<PendingAnswer> ParsePendingAnswer(const std::string& text) {
    const std::size_t newline = text.find('\n');
    if (newline == std::string::npos)
        return std::nullopt;
    PendingAnswer pending;
    const char* end = text.data() + newline;
    const auto [stop, error] = std::from_chars(text.data(), end, pending.endMs);
    if (error != std::errc() || stop != end || newline + 1 == text.size())
        return std::nullopt;
    pending.command = text.substr(newline + 1);
    return pending;
}

IPortRecords& SystemPortRecords() {
    static TFilePortRecords records;
    return records;
}

} // namespace kronax
