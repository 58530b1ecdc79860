#pragma once
// How the benchmarks time a piece of work.

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

// The mean wall time of one run of fn over passes runs, in milliseconds,
// after one run that warms caches and lazy set-up.
inline double mean_ms(int passes, const std::function<void()>& fn) {
    using Clock = std::chrono::steady_clock;
    fn();
    const auto start = Clock::now();
    for (int i = 0; i < passes; ++i) fn();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / passes;
}

// The median wall time of fn over passes runs, in milliseconds; before runs
// ahead of each, untimed.
inline double median_ms(int passes, const std::function<void()>& before, const std::function<void()>& fn) {
    using Clock = std::chrono::steady_clock;
    std::vector<double> times;
    for (int i = 0; i < passes; ++i) {
        before();
        const auto start = Clock::now();
        fn();
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}
