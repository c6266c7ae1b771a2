#include "config_file/FileError.h"

#include <cctype>

namespace kronax {
namespace {

class FileErrorCategory : public std::error_category {
public:
    const char* name() const noexcept override { return "kronax file"; }

    std::string message(int value) const override {
        switch (static_cast<FileError>(value)) {
        case FileError::NotRegularFile:
            return "not a regular file";
        case FileError::ReadOnlyFile:
            return "the file is read-only";
        case FileError::EntryNotWritable:
            return "the entry would not read back as written";
        case FileError::TooLarge:
            return "larger than 1 MiB, more than any configuration or settings file holds";
        }
        return "unknown file error";
    }
};

} // namespace

std::error_code make_error_code(FileError error) {
    static const FileErrorCategory category;
    return {static_cast<int>(error), category};
}

std::string ReasonText(const std::error_code& reason) {
    std::string text = reason.message();
    if (!text.empty())
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

} // namespace kronax
