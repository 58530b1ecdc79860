#pragma once
// The application filter: which source programs are recorded.

#include <string>
#include <vector>

// mode is "all", "whitelist" or "blacklist"; list holds process file names
// ("notepad.exe"), compared without regard to ASCII case. An empty name
// (an unknown program) is never blocked.
bool is_app_blocked(const std::wstring& mode, const std::vector<std::wstring>& list, const std::wstring& name);
