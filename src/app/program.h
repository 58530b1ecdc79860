#pragma once
// The whole life of Korvane.exe: one instance per user, then the App.

#include <windows.h>

class StartupSteps;

// Returns the process exit code: 0 when another instance runs (it is asked
// to show its window), 1 when the App cannot start. steps, when given,
// records how long each step of the start took.
int run_program(HINSTANCE instance, StartupSteps* steps = nullptr);

// A second start brings the running instance's window up. The new process
// holds the right to the foreground and ends at once: handed on (allow, with
// the running window's process) before the request, the running one may
// come to the front rather than behind with a flashing taskbar button.
using AllowForeground = BOOL(WINAPI*)(DWORD process_id);
void show_running_instance(HWND running, AllowForeground allow = AllowSetForegroundWindow);
