#include "storage/use_counts.h"

#include "storage/sql_stmt.h"

#include <windows.h>

#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <utility>

namespace {

// Off the UI thread, a write may wait out another's lock for longer; it
// holds nothing while it waits.
constexpr int kWriterBusyTimeoutMs = 5000;
// How long the quit waits for counts still being written.
constexpr DWORD kQuitWaitMs = 3000;

}  // namespace

struct UseCountWriter::Shared {
    explicit Shared(std::wstring file) : path(std::move(file)) {}

    const std::wstring path;
    std::mutex mutex;
    std::condition_variable wake;
    std::map<std::int64_t, std::int64_t> pending;  // entry id -> uses not yet written
    bool stop = false;
    std::atomic<bool> writing = false;  // from a count handed over until it is written

    void run();
};

// Each entry's uses are written at once, each as a transaction of its own:
// the file's write lock is held for one row at a time.
void UseCountWriter::Shared::run() {
    ScopedDb db;
    std::unique_lock lock(mutex);
    for (;;) {
        wake.wait(lock, [this] { return stop || !pending.empty(); });
        if (pending.empty()) break;
        const std::map<std::int64_t, std::int64_t> batch = std::exchange(pending, {});
        lock.unlock();
        if (!db) {
            if (sqlite3_open_v2(utf8_from_wide(path).c_str(), db.put(), SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
                sqlite3_busy_timeout(db.get(), kWriterBusyTimeoutMs);
            } else {
                // SQLite hands back a handle even when the open failed; kept,
                // it would fail every later count of the session.
                OutputDebugStringA(sqlite3_errmsg(db.get()));
                db.reset();
            }
        }
        ScopedStmt update = prepare_stmt(db.get(), "UPDATE history SET use_count=use_count+?1 WHERE id=?2");
        for (const auto& [id, uses] : batch) {
            if (!update) break;
            sqlite3_bind_int64(update.get(), 1, uses);
            sqlite3_bind_int64(update.get(), 2, id);
            if (sqlite3_step(update.get()) != SQLITE_DONE) OutputDebugStringA(sqlite3_errmsg(db.get()));
            sqlite3_reset(update.get());
        }
        update.reset();
        lock.lock();
        writing = !pending.empty();
    }
}

UseCountWriter::UseCountWriter(std::wstring path) : shared_(std::make_shared<Shared>(std::move(path))) {}

UseCountWriter::~UseCountWriter() {
    {
        std::lock_guard lock(shared_->mutex);
        shared_->stop = true;
    }
    shared_->wake.notify_all();
    thread_.wait(kQuitWaitMs);
}

bool UseCountWriter::writing() const { return shared_->writing; }

bool UseCountWriter::count(std::int64_t id) {
    if (!thread_.start([state = shared_] { state->run(); })) return false;
    {
        std::lock_guard lock(shared_->mutex);
        ++shared_->pending[id];
        shared_->writing = true;
    }
    shared_->wake.notify_one();
    return true;
}
