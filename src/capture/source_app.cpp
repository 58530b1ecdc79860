#include "capture/source_app.h"

#include "services/handles.h"

#include <cwctype>

std::wstring process_name_of_window(HWND window) {
    if (!window) return {};
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (!pid) return {};
    ScopedHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
    if (!process) return {};
    wchar_t path[MAX_PATH] = {};
    DWORD len = MAX_PATH;
    if (!QueryFullProcessImageNameW(process.get(), 0, path, &len)) return {};
    std::wstring name(path, len);
    const size_t slash = name.find_last_of(L'\\');
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    for (auto& c : name) c = static_cast<wchar_t>(std::towlower(c));
    return name;
}

std::wstring foreground_process_name() { return process_name_of_window(GetForegroundWindow()); }

std::wstring clipboard_owner_process_name() {
    std::wstring name = process_name_of_window(GetClipboardOwner());
    if (name.empty()) name = foreground_process_name();
    return name;
}
