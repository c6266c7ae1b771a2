#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace kronax {

// The six parameter sets the board keeps, each carried as one fixed-length hexadecimal text.
enum class PayloadKind { SEN, CDM, ABV, TDF, MOD, MUX };

// Every kind in the order in which configurations are always written and read.
inline constexpr std::array<PayloadKind, 6> PayloadKinds = {PayloadKind::SEN, PayloadKind::CDM,
                                                            PayloadKind::ABV, PayloadKind::TDF,
                                                            PayloadKind::MOD, PayloadKind::MUX};

// Six payload texts, SEN to MUX, whatever holds them.
using PayloadTexts = std::array<std::string, PayloadKinds.size()>;

// The kind's name as it appears in commands and as a file key: "SEN", "CDM", ... "MUX".
// Any thread.
std::string_view KindName(PayloadKind kind);

// The number of characters of the kind's payload: 12 for SEN, 4 for CDM, ABV and TDF,
// 5 for MOD and MUX. Any thread.
std::size_t PayloadLength(PayloadKind kind);

} // namespace kronax
