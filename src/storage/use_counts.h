#pragma once
// The use counts of pasted entries, written where no window waits for them.
// SQLite rewrites a whole row to change one number in it, a picture of
// megabytes included: written on the UI thread, the count would hold the
// window and the paste that long. So the counts go to a thread of their own,
// with a connection of its own to the same file. In WAL mode the program's
// own connection reads on meanwhile, its lock is never held for a count, and
// only a write of its own waits, while a count is being written: the file
// takes one writer at a time.

#include "services/detached_thread.h"

#include <cstdint>
#include <memory>
#include <string>

class UseCountWriter {
public:
    // path: the history file, opened (never created) at the first count, and
    // again at the next one after an open that failed.
    explicit UseCountWriter(std::wstring path);
    // Writes the counts it was handed before it goes, waiting for its thread
    // a few seconds at most: past that, the counts not yet written are lost,
    // and nothing else (each is a transaction of its own).
    ~UseCountWriter();
    UseCountWriter(const UseCountWriter&) = delete;
    UseCountWriter& operator=(const UseCountWriter&) = delete;

    // One more use of the entry id, written soon; false when no thread can
    // write it.
    bool count(std::int64_t id);
    // A count is waiting or being written: the file's write lock may be the
    // writer's.
    bool writing() const;

private:
    struct Shared;  // what the writer and its thread hold jointly

    std::shared_ptr<Shared> shared_;
    WorkerThread thread_;  // started by the first count
};
