#pragma once
// Where the start of the program spends its time. The start path marks the
// end of each of its steps; Korvane.exe passes no recorder, so a mark costs a
// null test there. The start-up benchmark runs the same path with one.

#include <functional>
#include <vector>

class StartupSteps {
public:
    struct Step {
        const char* name;
        double ms;
    };

    // start: the performance-counter reading the first step began at;
    // finished: called once the start is over, with the recorder.
    explicit StartupSteps(long long start, std::function<void(const StartupSteps&)> finished = {});
    // The time since the previous mark (or the start) goes to step.
    void mark(const char* step);
    // Marks the last step and tells whoever waits for the start to end.
    void finish(const char* step);
    const std::vector<Step>& steps() const { return done; }

private:
    long long last;
    std::function<void(const StartupSteps&)> finished;
    std::vector<Step> done;
};

inline void mark_step(StartupSteps* steps, const char* step) {
    if (steps) steps->mark(step);
}
