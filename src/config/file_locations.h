#pragma once
// Where the program and its files live. Each call asks the system afresh.
// A failed folder lookup leaves the folder part empty (the path then begins
// with a backslash); start-up goes on regardless.

#include <string>

// The running executable's full path.
std::wstring exe_path();
// The local application data folder + "\Korvane" (created at start; nothing
// is stored there).
std::wstring data_dir();
// The history database: the user profile folder + "\.korvane.db".
std::wstring db_path();
// The settings file, beside the database: db_path() + ".ini".
std::wstring ini_path();
