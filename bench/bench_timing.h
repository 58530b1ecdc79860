#pragma once
// How the benchmarks time a piece of work.

#include <chrono>
#include <functional>

// The mean wall time of one run of fn over passes runs, in milliseconds,
// after one run that warms caches and lazy set-up.
inline double mean_ms(int passes, const std::function<void()>& fn) {
    using Clock = std::chrono::steady_clock;
    fn();
    const auto start = Clock::now();
    for (int i = 0; i < passes; ++i) fn();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / passes;
}
