// The entry point of Korvane.exe.

#include "app/program.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return run_program(instance); }
