#pragma once
// Worker threads that nobody waits for (a paste, a link title, a tone), and
// those that their owner waits for, within a limit.
//
// They are started with the system's own call rather than std::thread:
// under Wine, now and then a std::thread (MinGW's pthreads) started while
// another thread that used WinINet is ending never runs, and a paste or a
// link title would be lost without a word.

#include <functional>
#include <new>
#include <utility>

// Starts task on a thread of its own; false, and nothing else, when no
// thread can be started.
bool start_detached_task(std::function<void()> task);

// Starts fn(args...), with copies of args, on a thread of its own; false,
// and nothing else, when no thread can be started.
template <typename Fn, typename... Args>
bool start_detached(Fn fn, Args... args) {
    try {
        return start_detached_task([fn, args...] { fn(args...); });
    } catch (const std::bad_alloc&) {
        return false;
    }
}

// A worker thread of an object's own, started the same way, that the object
// asks to stop when it goes and waits for only so long: a thread that never
// ran, or hangs, must not hold the program's quit. So the thread works only
// on what it holds jointly with its owner (a shared_ptr in its task): one
// that starts or ends late touches nothing of an owner that is gone.
class WorkerThread {
public:
    WorkerThread() = default;
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;
    ~WorkerThread();  // lets the thread go, waiting for nothing

    // Starts task unless a thread was started already; false when none runs.
    bool start(std::function<void()> task);
    bool started() const { return thread_ != nullptr; }
    // Waits up to timeout_ms for the thread to end; true when it has ended,
    // or none was started.
    bool wait(unsigned long timeout_ms) const;

private:
    void* thread_ = nullptr;  // the thread's handle
};
