#pragma once

#include <string>
#include <system_error>

namespace kronax {

// Why a file could not be used, where the system gives no error number of its own.
enum class FileError {
    NotRegularFile = 1,
    ReadOnlyFile,
    EntryNotWritable,
    TooLarge,
};

std::error_code make_error_code(FileError error);

// The reason as the front ends show it, in lower case: "no space left on device".
std::string ReasonText(const std::error_code& reason);

} // namespace kronax

template <> struct std::is_error_code_enum<kronax::FileError> : std::true_type {};
