#pragma once
// Starting with Windows: the value "Korvane" under the current user's Run key,
// holding the executable's quoted path.

#include <string>

bool is_autostart_enabled();
// On writes the value for the executable at exe; off deletes it (a missing
// value is no error). False when that did not happen: the registry refused,
// or exe is empty (the caller could not know the path), in which case no
// value is written, since an empty one would start nothing.
bool set_autostart(bool on, const std::wstring& exe);

// The Run value for an executable: its path in double quotes, so that a path
// with blanks starts the right program.
std::wstring autostart_command(const std::wstring& exe);
