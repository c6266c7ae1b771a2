#include "protocol/BoardCopy.h"

#include "protocol/FieldCaptions.h"
#include "protocol/MemoryConfigurationView.h"
#include "protocol/PayloadCodec.h"

namespace kronax {
namespace {

std::size_t Index(PayloadKind kind) {
    return static_cast<std::size_t>(kind);
}

// shown with the board's value of one setting put in.
ConfigurationSnapshot WithBoardValue(ConfigurationSnapshot shown,
                                     const ConfigurationSnapshot& board, const Setting& setting) {
    if (const auto* field = std::get_if<NumberField>(&setting))
        StoreFieldValue(shown.configuration, *field, FieldValue(board.configuration, *field));
    else
        shown.Selected(std::get<Selection>(setting)) = board.Selected(std::get<Selection>(setting));
    return shown;
}

bool SameValue(const ConfigurationSnapshot& a, const ConfigurationSnapshot& b,
               const Setting& setting) {
    if (const auto* field = std::get_if<NumberField>(&setting))
        return FieldValue(a.configuration, *field) == FieldValue(b.configuration, *field);
    return a.Selected(std::get<Selection>(setting)) == b.Selected(std::get<Selection>(setting));
}

std::vector<Setting> AllSettings() {
    std::vector<Setting> settings;
    for (int i = 0; i < NumberFieldCount; ++i)
        settings.emplace_back(static_cast<NumberField>(i));
    for (int i = 0; i < SelectionCount; ++i)
        settings.emplace_back(static_cast<Selection>(i));
    return settings;
}

} // namespace

BoardCopy::BoardCopy() : payloads_(EncodePayloads(StartSnapshot())) {}

void BoardCopy::Take(const TransferReport& report) {
    if (report.transfer == Transfer::ReadFromFile)
        return;
    for (const TransferStep& step : report.steps)
        if (step.Succeeded() && step.payload && step.payload->size() == PayloadLength(step.kind))
            payloads_[Index(step.kind)] = *step.payload;
}

// The board's payloads are decoded over what is shown, so that what no payload carries stays as
// shown; a setting differs when putting the board's value in changes what would be sent.
std::vector<Setting> BoardCopy::Differences(const ConfigurationSnapshot& shown) const {
    MemoryConfigurationView board(shown);
    int modeCode = 0;
    for (PayloadKind kind : PayloadKinds)
        DecodePayload(kind, payloads_[Index(kind)], board, modeCode);
    const PayloadTexts sent = EncodePayloads(shown);
    std::vector<Setting> differences;
    for (const Setting& setting : AllSettings())
        if (!SameValue(shown, board.Snapshot(), setting) &&
            EncodePayloads(WithBoardValue(shown, board.Snapshot(), setting)) != sent)
            differences.push_back(setting);
    return differences;
}

std::string SettingName(const Setting& setting) {
    const std::string caption(std::holds_alternative<NumberField>(setting)
                                  ? NumberFieldCaption(std::get<NumberField>(setting))
                                  : SelectionCaption(std::get<Selection>(setting)));
    return caption.substr(0, caption.find(" ("));
}

} // namespace kronax
