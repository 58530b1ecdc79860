#pragma once
// The whole life of Korvane.exe: one instance per user, then the App.

#include <windows.h>

class StartupSteps;

// Returns the process exit code: 0 when another instance runs (it is asked
// to show its window), 1 when the App cannot start. steps, when given,
// records how long each step of the start took.
int run_program(HINSTANCE instance, StartupSteps* steps = nullptr);
