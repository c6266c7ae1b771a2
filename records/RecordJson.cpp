#include "records/RecordJson.h"

#include "protocol/PayloadKind.h"
#include "protocol/SystemText.h"

namespace kronax::records {
namespace {

using Json = nlohmann::ordered_json;

Json Text(const std::string& text) {
    return Utf8FromSystemText(text);
}

Json OptionalText(const std::optional<std::string>& text) {
    return text ? Text(*text) : Json(nullptr);
}

std::string TextOf(const nlohmann::json& json) {
    return SystemTextFromUtf8(json.get<std::string>());
}

std::optional<std::string> OptionalTextOf(const nlohmann::json& json) {
    if (json.is_null())
        return std::nullopt;
    return TextOf(json);
}

Json PayloadsJson(const std::optional<RecordedPayloads>& payloads) {
    if (!payloads)
        return nullptr;
    Json json = Json::object();
    for (std::size_t index = 0; index < PayloadKinds.size(); ++index)
        json[std::string(KindName(PayloadKinds[index]))] = OptionalText((*payloads)[index]);
    return json;
}

std::optional<RecordedPayloads> PayloadsOf(const nlohmann::json& json) {
    if (json.is_null())
        return std::nullopt;
    RecordedPayloads payloads;
    for (std::size_t index = 0; index < PayloadKinds.size(); ++index)
        payloads[index] = OptionalTextOf(json.at(std::string(KindName(PayloadKinds[index]))));
    return payloads;
}

Json BoardJson(const std::optional<BoardIdentityFields>& board) {
    if (!board)
        return nullptr;
    return {{"serial_number", Text(board->serialNumber)},
            {"pcb_version", Text(board->pcbVersion)},
            {"fpga_version", Text(board->fpgaVersion)},
            {"uc_version", Text(board->ucVersion)}};
}

std::optional<BoardIdentityFields> BoardOf(const nlohmann::json& json) {
    if (json.is_null())
        return std::nullopt;
    return BoardIdentityFields{TextOf(json.at("serial_number")), TextOf(json.at("pcb_version")),
                               TextOf(json.at("fpga_version")), TextOf(json.at("uc_version"))};
}

Json OptionalNumber(const std::optional<std::int64_t>& number) {
    return number ? Json(*number) : Json(nullptr);
}

} // namespace

nlohmann::ordered_json RecordToJson(const BoardRecord& record) {
    Json steps = Json::array();
    for (const RecordedStep& step : record.steps)
        steps.push_back({{"command", Text(step.command)},
                         {"outcome", step.outcome},
                         {"reply", Text(step.reply)}});
    Json traffic = Json::array();
    for (const RecordedLogLine& line : record.traffic)
        traffic.push_back({{"offset_ms", line.offsetMs}, {"line", Text(line.line)}});
    return {{"id", record.id},
            {"started_ms", record.startedMs},
            {"ended_ms", OptionalNumber(record.endedMs)},
            {"outcome", record.Outcome()},
            {"station", Text(record.station)},
            {"user", Text(record.user)},
            {"program", record.program},
            {"version", record.version},
            {"operation", record.operation},
            {"port",
             {{"name", Text(record.port.name)},
              {"path", Text(record.port.path)},
              {"vendor_id", Text(record.port.vendorId)},
              {"product_id", Text(record.port.productId)},
              {"usb_serial", Text(record.port.usbSerial)}}},
            {"board", BoardJson(record.board)},
            {"file", OptionalText(record.filePath)},
            {"file_sha256", OptionalText(record.fileSha256)},
            {"payloads_before", PayloadsJson(record.before)},
            {"payloads_sent", PayloadsJson(record.sent)},
            {"payloads_verified", PayloadsJson(record.verified)},
            {"payloads_received", PayloadsJson(record.received)},
            {"exit_code", record.exitCode ? Json(*record.exitCode) : Json(nullptr)},
            {"error_code", record.errorCode.empty() ? Json(nullptr) : Json(record.errorCode)},
            {"steps", steps},
            {"traffic", traffic}};
}

BoardRecord RecordFromJson(const nlohmann::json& json) {
    BoardRecord record;
    record.id = json.at("id").get<std::string>();
    record.startedMs = json.at("started_ms").get<std::int64_t>();
    if (!json.at("ended_ms").is_null())
        record.endedMs = json.at("ended_ms").get<std::int64_t>();
    record.station = TextOf(json.at("station"));
    record.user = TextOf(json.at("user"));
    record.program = json.at("program").get<std::string>();
    record.version = json.at("version").get<std::string>();
    record.operation = json.at("operation").get<std::string>();
    const nlohmann::json& port = json.at("port");
    record.port = {TextOf(port.at("name")), TextOf(port.at("path")), TextOf(port.at("vendor_id")),
                   TextOf(port.at("product_id")), TextOf(port.at("usb_serial"))};
    record.board = BoardOf(json.at("board"));
    record.filePath = OptionalTextOf(json.at("file"));
    record.fileSha256 = OptionalTextOf(json.at("file_sha256"));
    record.before = PayloadsOf(json.at("payloads_before"));
    record.sent = PayloadsOf(json.at("payloads_sent"));
    record.verified = PayloadsOf(json.at("payloads_verified"));
    record.received = PayloadsOf(json.at("payloads_received"));
    if (!json.at("exit_code").is_null())
        record.exitCode = json.at("exit_code").get<int>();
    if (!json.at("error_code").is_null())
        record.errorCode = json.at("error_code").get<std::string>();
    for (const nlohmann::json& step : json.at("steps"))
        record.steps.push_back({TextOf(step.at("command")), step.at("outcome").get<std::string>(),
                                TextOf(step.at("reply"))});
    for (const nlohmann::json& line : json.at("traffic"))
        record.traffic.push_back(
            {line.at("offset_ms").get<std::int64_t>(), TextOf(line.at("line"))});
    return record;
}

} // namespace kronax::records
