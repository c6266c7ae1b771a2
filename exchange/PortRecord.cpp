#include "exchange/PortRecord.h"

#include "exchange/PortRecordFolder.h"

#include <charconv>
#include <chrono>
#include <fstream>
#include <iterator>
#include <string_view>

namespace kronax {
namespace {

// The file stays open for the opening of its port, so that an exchange costs two small writes
// in place and no file to create or remove.
class FilePortRecord : public IPortRecord {
public:
    explicit FilePortRecord(const std::filesystem::path& file)
        : file_(file, std::ios::binary | std::ios::in | std::ios::out) {}

    bool IsOpen() const { return file_.is_open(); }

    // The stream library raises a failed read even from a stream that raises nothing else.
    std::optional<PendingAnswer> Read() override {
        file_.clear();
        file_.seekg(0);
        try {
            return ParsePendingAnswer(std::string(std::istreambuf_iterator<char>(file_),
                                                  std::istreambuf_iterator<char>()));
        } catch (const std::ios_base::failure&) {
            return std::nullopt;
        }
    }

    void Write(const PendingAnswer& pending) override { Put(PendingAnswerText(pending)); }

    void Clear() override { Put(NothingPendingText); }

private:
    void Put(const std::string& text) {
        file_.clear();
        file_.seekp(0);
        file_.write(text.data(), static_cast<std::streamsize>(text.size()));
        file_.flush();
    }

    std::fstream file_;
};

class FilePortRecords : public IPortRecords {
public:
    std::unique_ptr<IPortRecord> Open(const std::string& port) override {
        const auto file = PortRecordFile(port);
        if (!file)
            return nullptr;
        // Made when missing, kept as it is otherwise.
        std::ofstream(*file, std::ios::binary | std::ios::app);
        auto record = std::make_unique<FilePortRecord>(*file);
        if (!record->IsOpen())
            return nullptr;
        return record;
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
