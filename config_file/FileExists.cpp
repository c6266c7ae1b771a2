#include "config_file/FileExists.h"

#include <filesystem>
#include <system_error>

namespace kronax {

bool FileExists(const std::string& fileName) {
    std::error_code error;
    const auto status = std::filesystem::status(fileName, error);
    return !error && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

} // namespace kronax
