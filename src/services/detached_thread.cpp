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

}  // namespace

bool start_detached_task(std::function<void()> task) {
    auto owned = std::make_unique<std::function<void()>>(std::move(task));
    const ScopedHandle thread(CreateThread(nullptr, 0, run_task, owned.get(), 0, nullptr));
    if (!thread) return false;
    owned.release();  // the thread's now
    return true;
}
