#pragma once
// Benchmarks that measure a phase in a process of its own start this very
// program again with other arguments and read what it prints.

#include "services/handles.h"

#include <windows.h>

#include <string>

struct BenchChild {
    ScopedHandle process;  // null when it could not be started
    ScopedHandle output;   // the read end of the child's standard output
};

// Starts this program with the given arguments, its standard output on a
// pipe and its standard error on ours.
inline BenchChild start_self(const std::wstring& arguments) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" " + arguments;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE read_end = nullptr, write_end = nullptr;
    if (!CreatePipe(&read_end, &write_end, &inherit, 0)) return {};
    BenchChild child;
    child.output.reset(read_end);
    SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = write_end;
    startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process{};
    const BOOL started =
        CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(write_end);
    if (!started) return {};
    CloseHandle(process.hThread);
    child.process.reset(process.hProcess);
    return child;
}
