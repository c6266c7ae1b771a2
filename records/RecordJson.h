#pragma once

#include "records/BoardRecord.h"

#include <nlohmann/json.hpp>

namespace kronax::records {

// The record as JSON: identifiers as keys, texts in UTF-8, absent values as null. This is the
// form the store keeps and the form exported and forwarded; RecordFromJson reads it back exactly.
nlohmann::ordered_json RecordToJson(const BoardRecord& record);

// Raises nlohmann::json::exception when json lacks a key or holds the wrong type.
BoardRecord RecordFromJson(const nlohmann::json& json);

} // namespace kronax::records
