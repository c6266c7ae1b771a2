#include "exchange/PortRecord.h"

#include "exchange/PortRecordFolder.h"

#include <charconv>
#include <chrono>
#include <string_view>

namespace kronax {
namespace {

// The file stays open for the opening of its port, so that an exchange costs two small writes
// in place and no file to create or remove.
class FilePortRecord : public IPortRecord {
public:
    explicit FilePortRecord(std::unique_ptr<IRecordFile> file) : file_(std::move(file)) {}

    std::optional<PendingAnswer> Read() override { return ParsePendingAnswer(file_->Text()); }

    void Write(const PendingAnswer& pending) override { file_->Put(PendingAnswerText(pending)); }

    void Clear() override { file_->Put(NothingPendingText); }

private:
    std::unique_ptr<IRecordFile> file_;
};

class FilePortRecords : public IPortRecords {
public:
    std::unique_ptr<IPortRecord> Open(const std::string& port) override {
        auto file = OpenRecordFile(port);
        if (!file)
            return nullptr;
        return std::make_unique<FilePortRecord>(std::move(file));
    }

    std::int64_t WallClockMs() const override {
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        return std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
    }
};

} // namespace

std::string PendingAnswerText(const PendingAnswer& pending) {
    return std::to_string(pending.endMs) + " " + std::to_string(pending.command.size()) + "\n" +
           pending.command;
}

namespace {

// A decimal number that fills text exactly.
template <typename Number> std::optional<Number> WholeNumber(std::string_view text) {
    Number value{};
    const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || stop != text.data() + text.size())
        return std::nullopt;
    return value;
}

} // namespace

std::optional<PendingAnswer> ParsePendingAnswer(const std::string& text) {
    const std::size_t newline = text.find('\n');
    const std::size_t blank = text.find(' ');
    if (newline == std::string::npos || blank > newline)
        return std::nullopt;
    const std::string_view head(text);
    const auto endMs = WholeNumber<std::int64_t>(head.substr(0, blank));
    const auto size = WholeNumber<std::size_t>(head.substr(blank + 1, newline - blank - 1));
    if (!endMs || !size || *size == 0 || text.size() - newline - 1 < *size)
        return std::nullopt;
    return PendingAnswer{text.substr(newline + 1, *size), *endMs};
}

IPortRecords& SystemPortRecords() {
    static FilePortRecords records;
    return records;
}

} // namespace kronax
