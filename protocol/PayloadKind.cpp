#include "protocol/PayloadKind.h"

namespace kronax {

std::string_view KindName(PayloadKind kind) {
    switch (kind) {
    case PayloadKind::SEN:
        return "SEN";
    case PayloadKind::CDM:
        return "CDM";
    case PayloadKind::ABV:
        return "ABV";
    case PayloadKind::TDF:
        return "TDF";
    case PayloadKind::MOD:
        return "MOD";
    case PayloadKind::MUX:
        return "MUX";
    }
    return {};
}

std::size_t PayloadLength(PayloadKind kind) {
    switch (kind) {
    case PayloadKind::SEN:
        return 12;
    case PayloadKind::CDM:
    case PayloadKind::ABV:
    case PayloadKind::TDF:
        return 4;
    case PayloadKind::MOD:
    case PayloadKind::MUX:
        return 5;
    }
    return 0;
}

} // namespace kronax
