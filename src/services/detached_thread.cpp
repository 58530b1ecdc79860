#include "services/detached_thread.h"

#include "services/handles.h"

#include <windows.h>

#include <memory>

namespace {

DWORD WINAPI run_task(void* parameter) {
    const std::unique_ptr<std::function<void()>> task(static_cast<std::function<void()>*>(parameter));
    (*task)();
    return 0;
}

// The thread running task; null, and task dropped, when none could start.
ScopedHandle start_thread(std::function<void()> task) {
    try {
        auto owned = std::make_unique<std::function<void()>>(std::move(task));
        ScopedHandle thread(CreateThread(nullptr, 0, run_task, owned.get(), 0, nullptr));
        if (thread) owned.release();  // the thread's now
        return thread;
    } catch (const std::bad_alloc&) {
        return ScopedHandle();
    }
}

}  // namespace

bool start_detached_task(std::function<void()> task) { return static_cast<bool>(start_thread(std::move(task))); }

WorkerThread::~WorkerThread() {
    if (thread_) CloseHandle(thread_);
}

bool WorkerThread::start(std::function<void()> task) {
    if (!thread_) thread_ = start_thread(std::move(task)).release();
    return thread_ != nullptr;
}

bool WorkerThread::wait(unsigned long timeout_ms) const {
    return !thread_ || WaitForSingleObject(thread_, timeout_ms) == WAIT_OBJECT_0;
}
