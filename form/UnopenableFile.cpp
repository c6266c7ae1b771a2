#include "form/UnopenableFile.h"

#include <filesystem>
#include <fstream>

namespace kronax {

std::string UnopenableReason(const std::string& fileName) {
    namespace fs = std::filesystem;
    std::error_code error;
    const fs::file_status status = fs::status(fileName, error);
    if (!fs::exists(status))
        return "it does not exist";
    if (fs::is_directory(status))
        return "it is a folder";
    if (!fs::is_regular_file(status))
        return "it is not a regular file";
    // A regular file opens at once: this cannot wait as a FIFO would.
    if (!std::ifstream(fileName, std::ios::binary))
        return "it cannot be read";
    return {};
}

} // namespace kronax
