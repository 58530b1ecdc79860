#pragma once
// Worker threads that nobody waits for: a paste, a link title, a tone.
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
