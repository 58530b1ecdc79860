#pragma once
// Prepared-statement helpers on the raw connection. They take no lock: the
// HistoryDb operation that calls them holds the database mutex.

#include "services/encoding.h"
#include "services/handles.h"

#include <sqlite3.h>

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace handle_traits {
struct DbTraits : NullInvalid<sqlite3*> {
    static void close(sqlite3* db) noexcept { ::sqlite3_close(db); }
};
struct StmtTraits : NullInvalid<sqlite3_stmt*> {
    static void close(sqlite3_stmt* s) noexcept { ::sqlite3_finalize(s); }
};
struct BlobTraits : NullInvalid<sqlite3_blob*> {
    static void close(sqlite3_blob* b) noexcept { ::sqlite3_blob_close(b); }
};
}  // namespace handle_traits

// A connection, closed once (its statements finalized before).
using ScopedDb = UniqueHandle<sqlite3*, handle_traits::DbTraits>;
// A prepared statement, finalized once.
using ScopedStmt = UniqueHandle<sqlite3_stmt*, handle_traits::StmtTraits>;
using ScopedBlob = UniqueHandle<sqlite3_blob*, handle_traits::BlobTraits>;

// Runs statements without results; SQLite's message of a failure goes to the
// debugger output. The result code (SQLITE_MISUSE without a connection).
int exec_sql(sqlite3* db, const std::string& sql_utf8);

// The statement, or an empty holder when it does not compile.
ScopedStmt prepare_stmt(sqlite3* db, const std::string& sql_utf8);

// Statements prepared once per connection and run again and again (those of
// every capture, and the per-entry read of every list). A use hands out the
// statement and, when it ends, resets it and clears its bindings, so that no
// statement holds a read of the file between operations and no binding
// outlives what it points to.
class StatementCache {
public:
    class Use {
    public:
        explicit Use(sqlite3_stmt* stmt) : stmt_(stmt) {}
        ~Use();
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;
        sqlite3_stmt* get() const { return stmt_; }
        explicit operator bool() const { return stmt_ != nullptr; }

    private:
        sqlite3_stmt* stmt_;
    };

    // The statement of sql on db, prepared on first use; empty when it does
    // not compile (it is then tried again next time).
    Use use(sqlite3* db, std::string_view sql_utf8);
    // Finalizes every statement: before the connection closes.
    void clear() { statements_.clear(); }

private:
    std::map<std::string, ScopedStmt, std::less<>> statements_;
};

// Binds bytes as a blob (copied at bind time), or NULL when there are none.
// The bind's result: bytes too many for SQLite or for memory leave the
// parameter NULL (SQLITE_TOOBIG, SQLITE_NOMEM).
int bind_bytes(sqlite3_stmt* stmt, int index, const void* data, size_t size);
inline int bind_bytes(sqlite3_stmt* stmt, int index, const std::string& bytes) {
    return bind_bytes(stmt, index, bytes.data(), bytes.size());
}
inline int bind_bytes(sqlite3_stmt* stmt, int index, const Bytes& bytes) {
    return bind_bytes(stmt, index, bytes.data(), bytes.size());
}
// Binds a text as UTF-8 (copied at bind time).
void bind_wide(sqlite3_stmt* stmt, int index, const std::wstring& text);

// The first max_bytes bytes (fewer when the value is shorter) of a text or
// blob value in the row rowid of table, read through an incremental handle:
// only the pages that hold them are read, however long the value goes on.
// Empty when the row is missing or the value is not text or a blob.
std::string read_value_start(sqlite3* db, const char* table, const char* column, std::int64_t rowid, size_t max_bytes);

// Replaces out by the column's bytes when it holds at least one byte; leaves
// out as it was otherwise.
void read_blob(sqlite3_stmt* stmt, int column, std::string& out);
void read_blob(sqlite3_stmt* stmt, int column, Bytes& out);
