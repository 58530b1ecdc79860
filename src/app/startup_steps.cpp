#include "app/startup_steps.h"

#include <windows.h>

#include <utility>

namespace {

long long counter_now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

}  // namespace

StartupSteps::StartupSteps(long long start, std::function<void(const StartupSteps&)> on_finish)
    : last(start), finished(std::move(on_finish)) {}

void StartupSteps::mark(const char* step) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    const long long now = counter_now();
    done.push_back({step, 1000.0 * static_cast<double>(now - last) / static_cast<double>(frequency.QuadPart)});
    last = counter_now();  // the recording itself is nobody's step
}

void StartupSteps::finish(const char* step) {
    mark(step);
    if (finished) finished(*this);
}
