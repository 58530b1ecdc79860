#pragma once
// Optional system functions are looked up by name at run time, so that the
// program starts where they are missing (older systems, emulators).

#include <windows.h>

// The function `name` of module, typed; null when either is missing.
template <typename F>
F proc_address(HMODULE module, const char* name) {
    return module ? reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(module, name))) : nullptr;
}
