#include "records/SqliteStatement.h"

namespace kronax::records {

StoreFailure FailureOf(int resultCode) {
    switch (resultCode & 0xFF) {
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_AUTH:
        return StoreFailure::Unopenable;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return StoreFailure::Corrupt;
    case SQLITE_READONLY:
        return StoreFailure::ReadOnly;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return StoreFailure::Busy;
    case SQLITE_FULL:
        return StoreFailure::Full;
    default:
        return StoreFailure::Other;
    }
}

void RaiseStoreError(sqlite3* db, int resultCode, const std::string& doing) {
    const std::string detail = db ? sqlite3_errmsg(db) : sqlite3_errstr(resultCode);
    throw ERecordStore(FailureOf(resultCode), doing + ": " + detail);
}

void Execute(sqlite3* db, const char* sql, const std::string& doing) {
    const int result = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (result != SQLITE_OK)
        RaiseStoreError(db, result, doing);
}

Statement::Statement(sqlite3* db, const std::string& sql) : db_(db) {
    const int result = sqlite3_prepare_v2(db, sql.c_str(), -1, &statement_, nullptr);
    if (result != SQLITE_OK)
        RaiseStoreError(db, result, "cannot prepare a query of the record store");
}

Statement::~Statement() {
    sqlite3_finalize(statement_);
}

void Statement::Reset() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

void Statement::Bind(int index, const std::string& text) {
    sqlite3_bind_text(statement_, index, text.data(), static_cast<int>(text.size()),
                      SQLITE_TRANSIENT);
}

void Statement::Bind(int index, std::int64_t number) {
    sqlite3_bind_int64(statement_, index, number);
}

void Statement::Bind(int index, const std::optional<std::string>& text) {
    if (text)
        Bind(index, *text);
    else
        sqlite3_bind_null(statement_, index);
}

void Statement::Bind(int index, const std::optional<std::int64_t>& number) {
    if (number)
        Bind(index, *number);
    else
        sqlite3_bind_null(statement_, index);
}

bool Statement::Step(const std::string& doing) {
    const int result = sqlite3_step(statement_);
    if (result == SQLITE_ROW)
        return true;
    if (result == SQLITE_DONE)
        return false;
    RaiseStoreError(db_, result, doing);
}

std::string Statement::Text(int column) const {
    const auto* text = sqlite3_column_text(statement_, column);
    const int size = sqlite3_column_bytes(statement_, column);
    return text ? std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(size))
                : std::string();
}

std::int64_t Statement::Number(int column) const {
    return sqlite3_column_int64(statement_, column);
}

} // namespace kronax::records
