#pragma once

#include <fstream>
#include <iterator>
#include <string>

namespace kronax::test {

// Replaces the file's bytes with content, creating the file.
inline void WriteFileText(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

// The file's bytes, or an empty text when it cannot be read.
inline std::string ReadFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

} // namespace kronax::test
