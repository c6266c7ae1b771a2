#include "protocol/TransferReport.h"

#include <algorithm>

namespace kronax {

int TransferReport::SucceededCount() const {
    return static_cast<int>(std::count_if(steps.begin(), steps.end(),
                                          [](const TransferStep& s) { return s.Succeeded(); }));
}

bool TransferReport::AllSucceeded() const {
    return !steps.empty() && FirstFailure() == nullptr;
}

const TransferStep* TransferReport::FirstFailure() const {
    const auto failed = std::find_if(steps.begin(), steps.end(),
                                     [](const TransferStep& s) { return !s.Succeeded(); });
    return failed == steps.end() ? nullptr : &*failed;
}

std::optional<std::string> TransferReport::PayloadOf(PayloadKind kind) const {
    for (const TransferStep& step : steps)
        if (step.kind == kind)
            return step.payload;
    return std::nullopt;
}

PayloadTexts TransferReport::Payloads() const {
    PayloadTexts payloads;
    for (PayloadKind kind : PayloadKinds)
        payloads[static_cast<std::size_t>(kind)] = PayloadOf(kind).value_or("");
    return payloads;
}

} // namespace kronax
