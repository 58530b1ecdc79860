#include "storage/transaction.h"

#include "storage/sql_stmt.h"

Transaction::Transaction(sqlite3* db, Mode mode)
    : db_(db), open_(exec_sql(db, mode == Mode::Immediate ? "BEGIN IMMEDIATE" : "BEGIN") == SQLITE_OK) {}

Transaction::~Transaction() {
    if (open_) exec_sql(db_, "ROLLBACK");
}

bool Transaction::commit() {
    if (!open_ || exec_sql(db_, "COMMIT") != SQLITE_OK) return false;
    open_ = false;
    return true;
}
