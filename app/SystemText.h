#pragma once

#include <QString>

#include <string_view>

namespace kronax {

// The program's own texts and the board's replies are 8-bit text in which the micro sign is the
// byte 0xB5; shown through Latin-1, every byte keeps its character.
inline QString FromSystemText(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace kronax
