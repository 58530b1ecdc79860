#include "services/autostart.h"

#include "services/handles.h"

#include <windows.h>

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kValueName[] = L"Korvane";

}  // namespace

std::wstring autostart_command(const std::wstring& exe) { return L"\"" + exe + L"\""; }

bool is_autostart_enabled() {
    ScopedKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) return false;
    BYTE buffer[520];
    DWORD size = sizeof buffer;
    LSTATUS rc = RegQueryValueExW(key.get(), kValueName, nullptr, nullptr, buffer, &size);
    // A path longer than the buffer is still an autostart entry.
    return rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA;
}

bool set_autostart(bool on, const std::wstring& exe) {
    if (on && exe.empty()) return false;
    ScopedKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, key.put()) != ERROR_SUCCESS) return false;
    if (on) {
        const std::wstring value = autostart_command(exe);
        return RegSetValueExW(key.get(), kValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    const LSTATUS rc = RegDeleteValueW(key.get(), kValueName);
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}
