#pragma once

#include "records/RecordStore.h"

#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>

namespace kronax::records {

// The store failure an SQLite result code stands for.
StoreFailure FailureOf(int resultCode);

// Raises ERecordStore for resultCode with what was being done and SQLite's own message.
[[noreturn]] void RaiseStoreError(sqlite3* db, int resultCode, const std::string& doing);

// Runs sql, which takes no parameters and returns no rows. Raises ERecordStore.
void Execute(sqlite3* db, const char* sql, const std::string& doing);

// One prepared statement with parameters bound by position (from 1); finalised when destroyed.
class Statement {
public:
    // Raises ERecordStore.
    Statement(sqlite3* db, const std::string& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    void Bind(int index, const std::string& text);
    void Bind(int index, std::int64_t number);
    void Bind(int index, const std::optional<std::string>& text);
    void Bind(int index, const std::optional<std::int64_t>& number);

    // Back before the first row, every parameter unbound, to be run again.
    void Reset();

    // Moves to the next row: true when there is one, false when done. Raises ERecordStore.
    bool Step(const std::string& doing);

    std::string Text(int column) const;
    std::int64_t Number(int column) const;

private:
    sqlite3* db_;
    sqlite3_stmt* statement_ = nullptr;
};

} // namespace kronax::records
