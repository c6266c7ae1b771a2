#include "form/FileNames.h"

#include <filesystem>
#include <system_error>

namespace kronax {
namespace {

std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return {text.begin(), text.end()};
}

} // namespace

std::string FileNameText(const std::string& fileName) {
    return Utf8(std::filesystem::path(fileName));
}

std::string NativeText(const std::string& text) {
    return FileNameText(text);
}

std::string BaseNameText(const std::string& fileName) {
    return Utf8(std::filesystem::path(fileName).filename());
}

std::string AbsoluteFileName(const std::string& fileName) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(fileName, error);
    return error ? fileName : absolute.lexically_normal().string();
}

} // namespace kronax
