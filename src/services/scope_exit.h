#pragma once
// Runs a call when the scope ends, on every way out: for the undo steps that
// have no handle to own (a detached input state, a released capture).

#include <utility>

template <typename F>
class ScopeExit {
public:
    explicit ScopeExit(F undo) noexcept : undo_(std::move(undo)) {}
    ~ScopeExit() {
        if (armed_) undo_();
    }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

    // The undo is no longer wanted.
    void dismiss() noexcept { armed_ = false; }

private:
    F undo_;
    bool armed_ = true;
};
