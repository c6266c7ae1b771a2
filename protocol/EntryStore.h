#pragma once

#include <string>

namespace kronax {

// Named text entries grouped in sections: what a configuration file offers the transfer code.
class IEntryStore {
public:
    virtual ~IEntryStore() = default;

    // The value under section and key, or defaultValue when the file, section or key is missing.
    virtual std::string ReadEntry(const std::string& section, const std::string& key,
                                  const std::string& defaultValue) const = 0;

    // Replaces or adds the entry. Raises std::runtime_error "Unable to write to <file name>"
    // when the entry cannot be written; the file is then left as it was before the call.
    virtual void WriteEntry(const std::string& section, const std::string& key,
                            const std::string& value) = 0;
};

} // namespace kronax
