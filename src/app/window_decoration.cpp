#include "app/app.h"

#include "services/scoped.h"

#include <winternl.h>

namespace {

using DwmSetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, LPCVOID, DWORD);

// DWM is looked up on every call: the program must start on systems (and
// under emulators) without it.
HRESULT dwm_set_attribute(HWND window, DWORD attribute, DWORD value) {
    ScopedModule dwm(LoadLibraryW(L"dwmapi.dll"));
    if (!dwm) return E_NOTIMPL;
    auto fn = reinterpret_cast<DwmSetWindowAttributeFn>(
        reinterpret_cast<void*>(GetProcAddress(dwm.get(), "DwmSetWindowAttribute")));
    if (!fn) return E_NOTIMPL;
    return fn(window, attribute, &value, sizeof value);
}

using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);

// The real build number (GetVersionEx lies to programs without a matching manifest).
bool windows_build_at_least(DWORD build) {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!ntdll) return false;
    auto fn = reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
    if (!fn) return false;
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (fn(&info) != 0) return false;
    return info.dwMajorVersion > 10 || (info.dwMajorVersion == 10 && info.dwBuildNumber >= build);
}

constexpr DWORD kAttrDarkTitle = 20;
constexpr DWORD kAttrDarkTitleOld = 19;  // before Windows 10 20H1
constexpr DWORD kAttrCornerPreference = 33;
constexpr DWORD kAttrSystemBackdrop = 38;
constexpr DWORD kCornerRound = 2;
constexpr DWORD kBackdropMainWindow = 2;

}  // namespace

void apply_round_corners(HWND window) {
    if (!window || !windows_build_at_least(22000)) return;
    dwm_set_attribute(window, kAttrCornerPreference, kCornerRound);
}

void apply_dark_title_bar(HWND window, bool dark) {
    if (!window) return;
    if (FAILED(dwm_set_attribute(window, kAttrDarkTitle, dark ? TRUE : FALSE)))
        dwm_set_attribute(window, kAttrDarkTitleOld, dark ? TRUE : FALSE);
}

bool apply_system_backdrop(HWND window) {
    if (!window || !windows_build_at_least(22621)) return false;
    return SUCCEEDED(dwm_set_attribute(window, kAttrSystemBackdrop, kBackdropMainWindow));
}
