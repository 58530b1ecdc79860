#pragma once
// What the program knows about source programs by their process names.

#include <string>

// Whether a process name or path is one of the browsers whose pages are
// read for their address and title.
bool is_browser_process(const std::wstring& name_or_path);

// The name a user knows the program by ("Chrome", "Microsoft Word"), from
// a stored process name or path.
std::wstring app_display_name(const std::wstring& process_name);
