#pragma once
// The one way the history database groups statements: a transaction for a
// scope. It begins when made, commits when commit() is called, and rolls back
// on every other way out. The HistoryDb operation that makes it holds the
// database mutex.

struct sqlite3;

class Transaction {
public:
    // Immediate takes the file's write lock at once, waiting out another
    // writer's lock for as long as the busy handler allows. Deferred takes
    // none: for a read snapshot only. A deferred transaction that reads
    // before it writes is refused the write at once while another holds the
    // lock, or once another has written since its read, and SQLite's busy
    // handler never runs for that.
    enum class Mode { Deferred, Immediate };

    explicit Transaction(sqlite3* db, Mode mode = Mode::Immediate);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Whether BEGIN took; without it the statements run one by one.
    explicit operator bool() const { return open_; }
    // COMMIT; false when nothing began or the commit failed (the scope's end
    // then rolls back).
    bool commit();

private:
    sqlite3* db_;
    bool open_;
};
