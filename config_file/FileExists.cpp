#include "config_file/FileExists.h"

#include "config_file/RegularFile.h"

namespace kronax {

bool FileExists(const std::string& fileName) {
    return IsRegularFile(fileName);
}

} // namespace kronax
