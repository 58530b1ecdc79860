#include "storage/sql_stmt.h"

#include <windows.h>

#include <algorithm>

int exec_sql(sqlite3* db, const std::string& sql_utf8) {
    if (!db) return SQLITE_MISUSE;
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql_utf8.c_str(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK && error) OutputDebugStringA(error);
    sqlite3_free(error);
    return rc;
}

ScopedStmt prepare_stmt(sqlite3* db, const std::string& sql_utf8) {
    ScopedStmt stmt;
    if (!db) return stmt;
    if (sqlite3_prepare_v2(db, sql_utf8.c_str(), -1, stmt.put(), nullptr) != SQLITE_OK) stmt.reset();
    return stmt;
}

StatementCache::Use::~Use() {
    if (!stmt_) return;
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

StatementCache::Use StatementCache::use(sqlite3* db, std::string_view sql_utf8) {
    auto found = statements_.find(sql_utf8);
    if (found == statements_.end()) {
        ScopedStmt stmt = prepare_stmt(db, std::string(sql_utf8));
        if (!stmt) return Use(nullptr);
        found = statements_.emplace(std::string(sql_utf8), std::move(stmt)).first;
    }
    return Use(found->second.get());
}

int bind_bytes(sqlite3_stmt* stmt, int index, const void* data, size_t size) {
    if (size == 0) return sqlite3_bind_null(stmt, index);
    return sqlite3_bind_blob64(stmt, index, data, static_cast<sqlite3_uint64>(size), SQLITE_TRANSIENT);
}

void bind_wide(sqlite3_stmt* stmt, int index, const std::wstring& text) {
    const std::string utf8 = utf8_from_wide(text);
    sqlite3_bind_text(stmt, index, utf8.c_str(), -1, SQLITE_TRANSIENT);
}

std::string read_value_start(sqlite3* db, const char* table, const char* column, std::int64_t rowid, size_t max_bytes) {
    std::string start;
    ScopedBlob blob;
    if (!db || sqlite3_blob_open(db, "main", table, column, rowid, 0, blob.put()) != SQLITE_OK) return start;
    start.resize(std::min(max_bytes, static_cast<size_t>(sqlite3_blob_bytes(blob.get()))));
    if (sqlite3_blob_read(blob.get(), start.data(), static_cast<int>(start.size()), 0) != SQLITE_OK) start.clear();
    return start;
}

template <typename Out>
static void read_blob_into(sqlite3_stmt* stmt, int column, Out& out) {
    const auto* p = static_cast<const unsigned char*>(sqlite3_column_blob(stmt, column));
    const int n = sqlite3_column_bytes(stmt, column);
    if (p && n >= 1) out.assign(p, p + n);
}

void read_blob(sqlite3_stmt* stmt, int column, std::string& out) { read_blob_into(stmt, column, out); }
void read_blob(sqlite3_stmt* stmt, int column, Bytes& out) { read_blob_into(stmt, column, out); }
